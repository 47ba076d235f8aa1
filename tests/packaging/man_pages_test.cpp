// Each manual page names exactly the options (and, for libravon-cli, the commands with their
// options) that the program's --help prints, so neither can fall behind the other.
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

using Options = QSet<QString>;

QString HelpText(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The page as plain text: escaped hyphens become hyphens and font changes go.
QString ManText(const QString& name)
{
    QFile file(QStringLiteral(LBV_PACKAGING_DIR "/man/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    text.remove(QRegularExpression(QStringLiteral("\\\\f[BIRP]")));
    return text;
}

// "-name" and "--name" words; a hyphen inside a word ("e-books", "UTF-8") is not one.
Options OptionsIn(const QString& text)
{
    static const QRegularExpression option(QStringLiteral("(?<![\\w-])--?[a-z][a-z-]*"));
    Options options;
    for (const QRegularExpressionMatch& match : option.globalMatch(text))
        options.insert(match.captured());
    return options;
}

QString Sorted(const Options& options)
{
    QStringList list(options.begin(), options.end());
    list.sort();
    return list.join(u' ');
}

// The text of each ".SS" subsection of section `section`, by subsection name.
QMap<QString, QString> Subsections(const QString& man, const QString& section)
{
    QMap<QString, QString> result;
    const qsizetype start = man.indexOf(QStringLiteral("\n.SH ") + section + u'\n');
    if (start < 0)
        return result;
    const qsizetype end = man.indexOf(QStringLiteral("\n.SH "), start + 1);
    const QStringList parts
        = man.mid(start, end < 0 ? -1 : end - start).split(QStringLiteral("\n.SS "));
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const qsizetype lineEnd = parts[i].indexOf(u'\n');
        result.insert(parts[i].left(lineEnd).trimmed(), parts[i].mid(lineEnd));
    }
    return result;
}

} // namespace

TEST(ManPages, CliPageDescribesEveryCommandWithExactlyItsOptions)
{
    const QString help = HelpText(QStringLiteral(LBV_CLI_PROGRAM), {QStringLiteral("--help")});
    ASSERT_FALSE(help.isEmpty());
    QMap<QString, Options> fromHelp;
    static const QRegularExpression commandLine(
        QStringLiteral("^  ([a-z][a-z-]*) "), QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch& match : commandLine.globalMatch(help)) {
        const QString command = match.captured(1);
        // Each command's own --help: its usage line and summary.
        const QString usage
            = HelpText(QStringLiteral(LBV_CLI_PROGRAM), {command, QStringLiteral("--help")});
        ASSERT_FALSE(usage.isEmpty()) << command.toStdString();
        fromHelp.insert(command, OptionsIn(usage));
    }
    ASSERT_GE(fromHelp.size(), 10);

    const QString man = ManText(QStringLiteral("libravon-cli.1"));
    const QMap<QString, QString> sections = Subsections(man, QStringLiteral("COMMANDS"));
    EXPECT_EQ(QStringList(sections.keys()).join(u' ').toStdString(),
        QStringList(fromHelp.keys()).join(u' ').toStdString());
    for (auto it = fromHelp.cbegin(); it != fromHelp.cend(); ++it)
        EXPECT_EQ(Sorted(OptionsIn(sections.value(it.key()))).toStdString(),
            Sorted(it.value()).toStdString())
            << "command " << it.key().toStdString();
    EXPECT_TRUE(man.contains(QStringLiteral("--help")));
}

TEST(ManPages, MkdicPageNamesExactlyTheOptionsOfItsHelp)
{
    const QString help = HelpText(QStringLiteral(LBV_MKDIC_PROGRAM), {QStringLiteral("--help")});
    ASSERT_FALSE(help.isEmpty());
    EXPECT_EQ(Sorted(OptionsIn(ManText(QStringLiteral("libravon-mkdic.1")))).toStdString(),
        Sorted(OptionsIn(help)).toStdString());
}

#ifdef LBV_GUI_PROGRAM
TEST(ManPages, ProgramPageNamesExactlyTheOptionsOfItsHelp)
{
    const QString help = HelpText(QStringLiteral(LBV_GUI_PROGRAM), {QStringLiteral("--help")});
    ASSERT_FALSE(help.isEmpty());
    EXPECT_EQ(Sorted(OptionsIn(ManText(QStringLiteral("libravon.1")))).toStdString(),
        Sorted(OptionsIn(help)).toStdString());
}
#endif

TEST(ManPages, PagesAndTheLatestReleaseCarryTheProjectVersion)
{
    for (const char* page : {"libravon.1", "libravon-cli.1", "libravon-mkdic.1"})
        EXPECT_TRUE(ManText(QString::fromLatin1(page))
                        .section(u'\n', 0, 0)
                        .contains(QStringLiteral("\"Libravon " LBV_VERSION "\"")))
            << page;
    QFile metainfo(QStringLiteral(LBV_PACKAGING_DIR "/com.marrowfield.Libravon.metainfo.xml"));
    ASSERT_TRUE(metainfo.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(metainfo.readAll());
    static const QRegularExpression release(QStringLiteral("<release version=\"([^\"]+)\""));
    EXPECT_EQ(release.match(text).captured(1), QStringLiteral(LBV_VERSION));
}
