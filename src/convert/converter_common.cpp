#include "convert/converter_common.h"

#include "text/code_pages.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace lbv {

ConversionResult ConversionFailure(const QString& message)
{
    return ConversionResult {nullptr, message};
}

QString SourceTooLargeMessage(const QString& path, qint64 size)
{
    return QStringLiteral("\"%1\" is too large to convert (%2 MB; the limit is %3 MB).")
        .arg(path)
        .arg(size / (1024 * 1024))
        .arg(kMaxSourceBytes / (1024 * 1024));
}

bool ReadDocumentBytes(const QString& path, QByteArray* bytes, QString* message)
{
    QFile file(path);
    if (QFileInfo(path).isDir()) {
        *message = QStringLiteral("Can't open \"%1\": it is a folder.").arg(path);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *message = QStringLiteral("Can't open \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    const qint64 size = file.size();
    if (size == 0) {
        *message = QStringLiteral("\"%1\" is empty.").arg(path);
        return false;
    }
    if (size > kMaxSourceBytes) {
        *message = SourceTooLargeMessage(path, size);
        return false;
    }
    *bytes = file.readAll();
    if (bytes->size() != size) {
        *message = QStringLiteral("Can't read \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool HasUtf16ByteOrderMark(const QByteArray& bytes)
{
    return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
}

bool LooksBinary(const QByteArray& bytes)
{
    return !HasUtf16ByteOrderMark(bytes)
        && QByteArrayView(bytes.constData(), qMin<qsizetype>(bytes.size(), 64 * 1024))
               .contains('\0');
}

QString DecodeDocumentText(const QByteArray& bytes, int codePageIndex)
{
    if (HasUtf16ByteOrderMark(bytes)) {
        QStringDecoder decoder(
            bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
            QStringDecoder::Flag::Stateless);
        return decoder.decode(QByteArrayView(bytes.constData() + 2, bytes.size() - 2));
    }
    if (codePageIndex < 0 || bytes.startsWith("\xEF\xBB\xBF"))
        codePageIndex = DetectCodePageIndex(bytes);
    return ConvertToUnicode(codePageIndex, bytes);
}

QString KeepBlanks(QStringView line)
{
    constexpr QChar kNoBreakSpace(0xA0);
    QString kept;
    kept.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'\t') {
            kept.append(QString(4, kNoBreakSpace));
        } else if (c == u' ') {
            const bool nextBlank
                = i + 1 < line.size() && (line[i + 1] == u' ' || line[i + 1] == u'\t');
            const bool run = kept.isEmpty() || kept.back() == kNoBreakSpace || nextBlank;
            kept.append(run ? kNoBreakSpace : c);
        } else {
            kept.append(c);
        }
    }
    return kept;
}

void PrepareGenreForImport(XmlDocument& document, QStringView placeholder)
{
    document.SetSelectionNamespaces(FictionBookSelectionNamespaces(document.Doc()));
    const QString path = QStringLiteral("/fb:FictionBook/fb:description/fb:title-info/fb:genre");
    for (xmlNode* genre : SelectNodes(document.Node(), path)) {
        const QString text = NodeText(genre);
        if (!text.isEmpty() && text != placeholder)
            continue;
        SetNodeText(genre, {});
        if (xmlNode* empty = xmlNewDocText(genre->doc, BAD_CAST ""))
            xmlAddChild(genre, empty);
    }
}

ConversionResult ApplyResultRules(XmlDocumentPtr document, const ConverterOptions& options)
{
    if (options.onResult.isEmpty())
        return {std::move(document), {}};
    QString text = document->Xml();
    ApplyRegexRules(options.onResult, text);
    QString error;
    XmlDocumentPtr rewritten = LoadXmlText(text, &error);
    if (!rewritten)
        return ConversionFailure(
            QStringLiteral("The expressions run on the result left it unreadable: ") + error);
    PrepareGenreForImport(*rewritten);
    return {std::move(rewritten), {}};
}

ConversionResult FinishConversion(
    Fb2Builder& builder, const Fb2TitleInfo& info, const ConverterOptions& options)
{
    XmlDocumentPtr document = builder.Finish(info);
    if (!document)
        return ConversionFailure(QStringLiteral("Out of memory while building the document."));
    return ApplyResultRules(std::move(document), options);
}

} // namespace lbv
