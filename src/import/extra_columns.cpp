#include "import/extra_columns.h"

#include "settings/program_folders.h"
#include "text/utf.h"

#include <QFile>
#include <QFileInfo>
#include <mutex>

namespace lbv {
namespace {

std::mutex columnsMutex;
std::shared_ptr<const ExtraColumnList> installedColumns;

bool IsSkippedLine(QByteArrayView line)
{
    if (line.isEmpty())
        return true;
    const char first = line.front();
    return first == '\0' || first == '\t' || first == '\n' || first == ' ' || first == '#';
}

} // namespace

ExtraColumnList BuiltInExtraColumns()
{
    const QString titleInfo = QStringLiteral("/fb:FictionBook/fb:description/fb:title-info/");
    return {
        {QStringLiteral("Language"), titleInfo + u"fb:lang"},
        {QStringLiteral("Source language"), titleInfo + u"fb:src-lang"},
        {QStringLiteral("Sequence name"), titleInfo + u"fb:sequence@name"},
        {QStringLiteral("Sequence number"), titleInfo + u"fb:sequence@number"},
    };
}

ExtraColumnList ParseExtraColumns(const QByteArray& text)
{
    ExtraColumnList columns;
    QByteArrayView rest(text);
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    while (!rest.isEmpty()) {
        const qsizetype end = rest.indexOf('\n');
        const QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (IsSkippedLine(line))
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QString name = FromUtf8(line.data(), equals).trimmed();
        if (name.isEmpty())
            continue;
        const QByteArrayView value = line.sliced(equals + 1);
        columns.append({name, FromUtf8(value.data(), value.size()).trimmed()});
    }
    return columns;
}

std::optional<ExtraColumnList> LoadExtraColumns(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // A definitions file is a few lines; more than this is not one.
    constexpr qint64 kLargestFile = 1024 * 1024;
    return ParseExtraColumns(file.read(kLargestFile));
}

QString ExtraColumnsPath()
{
    return ProgramFilePath(QStringLiteral("extras.dat"));
}

std::shared_ptr<const ExtraColumnList> ExtraColumns()
{
    const std::lock_guard lock(columnsMutex);
    if (!installedColumns)
        installedColumns = std::make_shared<const ExtraColumnList>(
            LoadExtraColumns(ExtraColumnsPath()).value_or(BuiltInExtraColumns()));
    return installedColumns;
}

void InstallExtraColumns(ExtraColumnList columns)
{
    auto list = std::make_shared<const ExtraColumnList>(std::move(columns));
    const std::lock_guard lock(columnsMutex);
    installedColumns = std::move(list);
}

} // namespace lbv
