#include "reader/text_folding.h"

namespace lbv {

FoldedMeasure MeasureFolded(QStringView text)
{
    FoldedMeasure m;
    bool inSpace = false;
    bool seenText = false;
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == kSoftHyphen)
            continue;
        if (IsFoldedSpace(c)) {
            if (!seenText)
                m.leadingBlank = true;
            inSpace = true;
            continue;
        }
        if (inSpace && seenText)
            ++m.length;
        inSpace = false;
        seenText = true;
        ++m.length;
    }
    m.trailingBlank = inSpace && seenText;
    if (!seenText)
        m.leadingBlank = m.trailingBlank = false;
    return m;
}

FoldedMeasure MeasureFoldedUtf8(const char* text, int size)
{
    FoldedMeasure m;
    bool inSpace = false;
    bool seenText = false;
    for (int i = 0; i < size; ++i) {
        const uchar c = uchar(text[i]);
        if (c <= 0x20) {
            if (!seenText)
                m.leadingBlank = true;
            inSpace = true;
            continue;
        }
        if ((c & 0xC0) == 0x80)
            continue; // continuation bytes belong to the character already counted
        if (c == 0xC2 && i + 1 < size && uchar(text[i + 1]) == 0xAD) {
            ++i; // a soft hyphen
            continue;
        }
        if (inSpace && seenText)
            ++m.length;
        inSpace = false;
        seenText = true;
        m.length += c >= 0xF0 ? 2 : 1; // outside the BMP: a surrogate pair
    }
    m.trailingBlank = inSpace && seenText;
    if (!seenText)
        m.leadingBlank = m.trailingBlank = false;
    return m;
}

QString FoldWhitespace(QStringView text)
{
    QString out;
    out.reserve(text.size());
    bool inSpace = false;
    bool seenText = false;
    for (QChar c : text) {
        if (IsFoldedSpace(c.unicode())) {
            inSpace = true;
            continue;
        }
        // Soft hyphens are kept but, being no characters of their own, end no stretch.
        if (c.unicode() != kSoftHyphen) {
            if (inSpace && seenText)
                out.append(u' ');
            inSpace = false;
            seenText = true;
        }
        out.append(c);
    }
    return out;
}

int AppendFolded(QStringView text, uint16_t attribute, bool markHyphens, ParagraphView& view,
    bool& hyphenPending)
{
    int added = 0;
    bool inSpace = false;
    bool seenText = false;
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == kSoftHyphen) {
            hyphenPending = markHyphens;
            continue;
        }
        if (IsFoldedSpace(c)) {
            inSpace = true;
            continue;
        }
        if (inSpace && seenText) {
            view.text.append(u' ');
            view.attributes.push_back(attribute);
            ++added;
            hyphenPending = false;
        }
        inSpace = false;
        seenText = true;
        view.text.append(qc);
        view.attributes.push_back(hyphenPending ? uint16_t(attribute | kAttrHyphenBreak) : attribute);
        hyphenPending = false;
        ++added;
    }
    return added;
}

void FitToLength(ParagraphView& view, int length)
{
    if (view.text.size() > length) {
        view.text.truncate(length);
        view.attributes.resize(std::size_t(length));
        return;
    }
    const qsizetype missing = length - view.text.size();
    view.text.append(QString(missing, u' '));
    view.attributes.resize(std::size_t(length), 0);
}

} // namespace lbv
