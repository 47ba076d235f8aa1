#include "text/book_encoding.h"

#include "text/code_pages.h"
#include "text/utf.h"

#include <algorithm>

namespace lbv {
namespace {

// A declaration that does not close within this many bytes is not one.
constexpr qsizetype kLongestDeclaration = 512;

// UTF-16 and UTF-32 named in a declaration that itself reads as ASCII bytes cannot be true; such
// files exist and are really in an 8-bit code page.
bool IsWideUnicode(int number)
{
    return number == 1200 || number == 1201 || number == 12000 || number == 12001;
}

bool IsXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The value of the encoding pseudo-attribute of an XML declaration at the start of the bytes,
// in either quotes; empty when there is no declaration or no encoding in it.
QByteArrayView DeclaredEncoding(QByteArrayView bytes)
{
    if (!bytes.startsWith("<?xml"))
        return {};
    const QByteArrayView head = bytes.first(std::min(bytes.size(), kLongestDeclaration));
    const qsizetype end = head.indexOf("?>");
    if (end < 0)
        return {};
    const QByteArrayView declaration = head.first(end);
    for (qsizetype at = declaration.indexOf("encoding"); at >= 0;
         at = declaration.indexOf("encoding", at + 1)) {
        if (at == 0 || !IsXmlSpace(declaration[at - 1]))
            continue;
        qsizetype pos = at + 8;
        while (pos < declaration.size() && IsXmlSpace(declaration[pos]))
            ++pos;
        if (pos >= declaration.size() || declaration[pos] != '=')
            continue;
        ++pos;
        while (pos < declaration.size() && IsXmlSpace(declaration[pos]))
            ++pos;
        if (pos >= declaration.size() || (declaration[pos] != '"' && declaration[pos] != '\''))
            continue;
        const char quote = declaration[pos];
        const qsizetype close = declaration.indexOf(quote, pos + 1);
        if (close < 0)
            return {};
        return declaration.sliced(pos + 1, close - pos - 1);
    }
    return {};
}

// Whether bytes declared UTF-8 are in fact in another code page: more bytes break the UTF-8 rules
// than form valid multi-byte characters. A few stray bytes in a UTF-8 book, or a character cut
// off at the end of a prefix, leave it UTF-8.
bool FalselyDeclaredUtf8(QByteArrayView bytes)
{
    qsizetype valid = 0;
    qsizetype invalid = 0;
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const int length = *p >= 0xF0 ? 4 : *p >= 0xE0 ? 3 : *p >= 0xC2 ? 2 : 1;
        if (length > 1 && end - p >= length
            && IsValidUtf8(reinterpret_cast<const char*>(p), length)) {
            ++valid;
            p += length;
        } else {
            ++invalid;
            ++p;
        }
    }
    return invalid > valid;
}

} // namespace

BookEncoding ChooseBookEncoding(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return {CodePageIndex(65001), 3};
    if (bytes.startsWith("\xFF\xFE"))
        return {CodePageIndex(1200), 2};
    if (bytes.startsWith("\xFE\xFF"))
        return {CodePageIndex(1201), 2};
    // "<?" in UTF-16 without a mark, as the XML recommendation's detection table has it.
    if (bytes.startsWith(QByteArrayView("<\0?\0", 4)))
        return {CodePageIndex(1200), 0};
    if (bytes.startsWith(QByteArrayView("\0<\0?", 4)))
        return {CodePageIndex(1201), 0};

    const QByteArrayView declared = DeclaredEncoding(bytes);
    if (!declared.isEmpty()) {
        const int page = FindCodePage(QString::fromLatin1(declared));
        // Books saved in an 8-bit code page under a copied UTF-8 declaration are common; their
        // bytes tell the truth.
        const bool falseUtf8 = CodePageNumber(page) == 65001 && FalselyDeclaredUtf8(bytes);
        if (page >= 0 && !IsWideUnicode(CodePageNumber(page)) && !falseUtf8)
            return {page, 0};
    }
    return {DetectCodePageIndex(bytes), 0};
}

qsizetype XmlDeclarationLength(QStringView text)
{
    if (!text.startsWith(u"<?xml") || text.size() < 6
        || (!IsXmlSpace(char(text[5].unicode())) && text[5] != u'?'))
        return 0;
    const qsizetype end = text.indexOf(u"?>");
    return end < 0 ? 0 : end + 2;
}

QString DecodeBookBytes(QByteArrayView bytes, int* codePage)
{
    const BookEncoding encoding = ChooseBookEncoding(bytes);
    if (codePage)
        *codePage = encoding.codePage;
    return ConvertToUnicode(encoding.codePage, bytes.sliced(encoding.markLength));
}

} // namespace lbv
