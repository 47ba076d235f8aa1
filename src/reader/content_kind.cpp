#include "reader/content_kind.h"

#include "text/messages.h"

namespace lbv {
namespace {

constexpr int kLinesSampled = 50;
constexpr int kLongLine = 80;

// The sample with any byte order mark dropped and UTF-16 narrowed to bytes: characters past
// ASCII become "?", which is all the kind detection needs.
QByteArray NarrowSample(QByteArrayView sample)
{
    const bool bomBig = sample.startsWith("\xFE\xFF");
    const bool bomLittle = sample.startsWith("\xFF\xFE");
    const bool bigEndian = bomBig || sample.startsWith(QByteArrayView("\0<", 2));
    const bool littleEndian = bomLittle || sample.startsWith(QByteArrayView("<\0", 2));
    if (!bigEndian && !littleEndian)
        return (sample.startsWith("\xEF\xBB\xBF") ? sample.sliced(3) : sample).toByteArray();
    QByteArray narrow;
    for (qsizetype i = bomBig || bomLittle ? 2 : 0; i + 1 < sample.size(); i += 2) {
        const char low = sample[littleEndian ? i : i + 1];
        const char high = sample[littleEndian ? i + 1 : i];
        narrow.append(high == 0 ? low : '?');
    }
    return narrow;
}

// XML with or without its declaration: an FB2 book may start with its root element (or a
// comment before it) in any code page, or be UTF-16. A declaration must come first.
bool LooksLikeXml(QByteArrayView sample)
{
    const QByteArray text = NarrowSample(sample);
    if (text.startsWith("<?xml"))
        return true;
    const QByteArray start = text.trimmed();
    return start.startsWith('<') && !start.startsWith("<?xml") && start.contains("FictionBook");
}

} // namespace

FileKind FileKindByName(const QString& name, bool insideArchive)
{
    if (name.size() <= 4)
        return FileKind::Other;
    const QString last4 = name.right(4).toLower();
    for (const char* extension : {".txt", ".xml", ".prc", ".pdb", ".fb2", ".dic"})
        if (last4 == QLatin1String(extension))
            return FileKind::Document;
    if (last4 == u".zip")
        return insideArchive ? FileKind::Other : FileKind::Archive;
    if (last4 == u".png" || last4 == u".jpg" || name.right(5).toLower() == u".jpeg")
        return FileKind::Image;
    return FileKind::Other;
}

int DetectTextMode(QByteArrayView sample)
{
    const char lineEnd = sample.contains('\n') ? '\n' : '\r';
    const int base = lineEnd == '\n' ? kTextLinePerParagraph : kTextMacLinePerParagraph;
    int lines = 0, indented = 0;
    qsizetype start = 0;
    while (start < sample.size() && lines < kLinesSampled) {
        qsizetype end = sample.indexOf(lineEnd, start);
        if (end < 0)
            end = sample.size();
        if (sample[start] == ' ')
            ++indented;
        if (lines >= 5 && end - start > kLongLine)
            return base;
        ++lines;
        start = end + 1;
    }
    return (lines > 10 && indented > 3) ? base + 1 : base;
}

int DetectContentKind(QByteArrayView sample)
{
    sample = sample.first(std::min<qsizetype>(sample.size(), kContentSampleSize));
    if (LooksLikeXml(sample))
        return kDocumentFb2;
    if (sample.startsWith("\x89PNG\r\n\x1A\n"))
        return kDocumentPng;
    if (sample.size() >= 10 && uchar(sample[0]) == 0xFF && uchar(sample[1]) == 0xD8
        && (sample.sliced(6, 4) == "JFIF" || sample.sliced(6, 4) == "Exif"))
        return kDocumentJpeg;
    return DetectTextMode(sample);
}

QString TextModeName(int mode)
{
    static constexpr Msg kNames[] = {Msg::TextModeLinePerParagraph, Msg::TextModeIndentedFirstLine,
        Msg::TextModeMacLinePerParagraph, Msg::TextModeMacIndentedFirstLine};
    if (mode < 0 || mode > 3)
        return {};
    return MessageText(kNames[mode]);
}

} // namespace lbv
