// Converts a 10 MB plain-text book (windows-1251, wrapped and indented, with chapters,
// dialogue, verse and _emphasis_) and a 10 MB HTML book to FB2 with the built-in converters,
// as the import does, and prints the time and MB/s of input (target for the text: well under a
// second). Each conversion runs three times and keeps its best processor time; the time to
// write the document's text, which the import does next, is printed too.
#include "convert/converter.h"
#include "convert/converter_factory.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"
#include "text/code_pages.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

using namespace lbv;

namespace {

constexpr qint64 kTargetBytes = 10 * 1024 * 1024;
constexpr int kRounds = 3;

const QStringList& Words()
{
    static const QStringList words = QStringLiteral(
        "море берег ветер дом река луна туман дорога город письмо окно сад яблоня утро вечер "
        "ночь снег зима лето поезд платформа фонарь тропинка вода трава свет тень голос песня "
        "она он они сказал ответила пошла смотрела вспомнила увидела долго тихо далеко рядом "
        "старый новый тёплый холодный красный синий пустой мокрый и а но в на за под над к с")
                                         .split(u' ');
    return words;
}

QString Sentence(QRandomGenerator& random)
{
    const QStringList& words = Words();
    QString sentence;
    const int length = 5 + int(random.bounded(12));
    for (int i = 0; i < length; ++i) {
        if (i > 0)
            sentence += u' ';
        sentence += words[int(random.bounded(words.size()))];
    }
    sentence[0] = sentence[0].toUpper();
    if (random.bounded(10) == 0)
        sentence.insert(sentence.indexOf(u' ') + 1, u'_').append(u'_');
    return sentence + u'.';
}

// Wraps a paragraph at 70 columns with a five-blank indent, as typewritten texts are.
void AppendWrapped(QString& text, const QString& paragraph)
{
    QString line = QStringLiteral("     ");
    for (const QString& word : paragraph.split(u' ')) {
        if (line.size() + word.size() + 1 > 70) {
            text += line + u"\r\n";
            line.clear();
        }
        if (!line.isEmpty() && !line.endsWith(u' '))
            line += u' ';
        line += word;
    }
    text += line + u"\r\n";
}

QString MakeText()
{
    QRandomGenerator random(7);
    QString text = QStringLiteral("Ирина Соколова\r\n\r\nДлинная книга\r\n\r\n");
    for (int chapter = 1; text.size() < kTargetBytes; ++chapter) {
        text += QStringLiteral("\r\nГлава %1\r\n\r\n").arg(chapter);
        for (int paragraph = 0; paragraph < 120; ++paragraph) {
            if (paragraph % 40 == 39) {
                for (int verse = 0; verse < 4; ++verse)
                    text += QStringLiteral("          ") + Sentence(random).left(30) + u"\r\n";
                continue;
            }
            QString body;
            if (paragraph % 5 == 0)
                body = QStringLiteral("- ") + Sentence(random) + QStringLiteral(" - сказал он.");
            else
                for (int i = 0; i < 4; ++i)
                    body += (i ? u" " : u"") + Sentence(random);
            AppendWrapped(text, body);
        }
    }
    return text;
}

QString MakeHtml()
{
    QRandomGenerator random(11);
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"><title>Длинная книга"
                                  "</title><meta name=\"author\" content=\"Ирина Соколова\">"
                                  "</head><body>\n<h1>Длинная книга</h1>\n");
    for (int chapter = 1; html.size() < kTargetBytes; ++chapter) {
        html += QStringLiteral("<h2 id=\"c%1\">Глава %1</h2>\n").arg(chapter);
        for (int paragraph = 0; paragraph < 120; ++paragraph)
            html += QStringLiteral("<p>%1 <i>%2</i> <a href=\"#c%3\">%4</a> %5</p>\n")
                        .arg(Sentence(random), Sentence(random))
                        .arg(chapter)
                        .arg(Sentence(random), Sentence(random));
    }
    return html + QStringLiteral("</body></html>\n");
}

double CpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

bool Save(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void Measure(const char* what, DocumentConverter& converter, const QString& path, qint64 bytes)
{
    double best = 1e9;
    double bestText = 1e9;
    qsizetype length = 0;
    for (int round = 0; round < kRounds; ++round) {
        const double start = CpuSeconds();
        const ConversionResult result = converter.Convert(path);
        const double converted = CpuSeconds();
        if (!result.Succeeded()) {
            std::printf("%s: failed: %s\n", what, qPrintable(result.message));
            return;
        }
        length = result.document->Xml().size();
        best = std::min(best, converted - start);
        bestText = std::min(bestText, CpuSeconds() - converted);
    }
    std::printf("%-28s %6.2f MB in %.3f s (%.1f MB/s); FB2 text of %lld characters in %.3f s\n",
        what, double(bytes) / (1024 * 1024), best, double(bytes) / (1024 * 1024) / best,
        static_cast<long long>(length), bestText);
}

} // namespace

int main()
{
    QTemporaryDir dir;
    InstallAppSettings(std::make_unique<SettingsStore>(std::make_unique<MemorySettingsBackend>()));
    const auto converter = CreateAny2Fb2Converter();
    QString error;
    if (!ApplyConverterProperties(*converter, ReadConverterProperties(AppSettings()), &error)) {
        std::printf("options refused: %s\n", qPrintable(error));
        return 1;
    }
    QByteArray text;
    ConvertFromUnicode(CodePageIndex(1251), MakeText(), text, error);
    const QByteArray html = MakeHtml().toUtf8();
    const QString textPath = dir.filePath(QStringLiteral("Ирина Соколова - Длинная книга.txt"));
    const QString htmlPath = dir.filePath(QStringLiteral("book.html"));
    if (!Save(textPath, text) || !Save(htmlPath, html)) {
        std::printf("can't write the books into %s\n", qPrintable(dir.path()));
        return 1;
    }
    Measure("plain text (windows-1251)", *converter, textPath, text.size());
    Measure("HTML (UTF-8)", *converter, htmlPath, html.size());
    return 0;
}
