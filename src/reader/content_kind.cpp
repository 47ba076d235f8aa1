#include "reader/content_kind.h"

#include "text/messages.h"

namespace lbv {
namespace {

constexpr int kLinesSampled = 50;
constexpr int kLongLine = 80;

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
    QByteArrayView text = sample;
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    if (text.startsWith("<?xml"))
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
