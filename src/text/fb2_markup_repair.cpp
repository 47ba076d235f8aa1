#include "text/fb2_markup_repair.h"

#include <QString>
#include <libxml/HTMLparser.h>
#include <vector>

namespace lbv {
namespace {

// libxml2 refuses documents nested deeper than 256 elements; deeper start tags are dropped.
constexpr qsizetype kMaxDepth = 200;
// Real books use a handful of each; the bounds keep every lookup short whatever the input.
constexpr std::size_t kMaxAttributes = 64;
constexpr std::size_t kMaxBindings = 256;
constexpr qsizetype kLongestEntityName = 32;
// Nine decimal digits always fit and already exceed the last code point.
constexpr qsizetype kLongestCharacterReference = 9;
constexpr char16_t kXlinkNamespace[] = u"http://www.w3.org/1999/xlink";
constexpr char16_t kUndeclaredNamespace[] = u"urn:x-undeclared-prefix:";

// Elements that never hold anything; written unclosed, they would swallow what follows.
constexpr const char16_t* kEmptyElements[] = {u"empty-line", u"image"};
// Elements whose text ends where the next block starts, when their end tag is missing.
constexpr const char16_t* kParagraphElements[]
    = {u"p", u"v", u"subtitle", u"text-author", u"td", u"th"};
constexpr const char16_t* kInlineElements[]
    = {u"emphasis", u"strong", u"strikethrough", u"sub", u"sup", u"code", u"style", u"a"};
constexpr const char16_t* kBlockElements[] = {u"p", u"v", u"subtitle", u"text-author", u"td", u"th",
    u"section", u"title", u"epigraph", u"poem", u"stanza", u"cite", u"empty-line", u"table", u"tr",
    u"body", u"annotation", u"binary"};

template<std::size_t N> bool OneOf(QStringView name, const char16_t* const (&names)[N])
{
    for (const char16_t* candidate : names)
        if (name == QStringView(candidate))
            return true;
    return false;
}

bool AllowedCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF)
        || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool IsAsciiHexLetter(QChar c)
{
    return (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool IsNameStart(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_'
        || (u >= 0xC0 && !c.isSurrogate() && c.isLetter());
}

bool IsNameChar(QChar c)
{
    const char16_t u = c.unicode();
    return IsNameStart(c) || (u >= '0' && u <= '9') || u == '-' || u == '.'
        || (u >= 0xB7 && !c.isSurrogate() && (c.isLetterOrNumber() || c.isMark()));
}

bool IsNcName(QStringView name)
{
    if (name.isEmpty() || !IsNameStart(name.front()))
        return false;
    for (const QChar c : name)
        if (!IsNameChar(c))
            return false;
    return true;
}

// "prefix:local" or "local" with both parts valid names.
bool IsQName(QStringView name)
{
    const qsizetype colon = name.indexOf(u':');
    if (colon < 0)
        return IsNcName(name);
    return IsNcName(name.first(colon)) && IsNcName(name.sliced(colon + 1));
}

QStringView PrefixOf(QStringView qname)
{
    const qsizetype colon = qname.indexOf(u':');
    return colon < 0 ? QStringView() : qname.first(colon);
}

QStringView LocalOf(QStringView qname)
{
    return qname.sliced(qname.indexOf(u':') + 1);
}

struct Attribute {
    QStringView name;
    QStringView value;
};

struct Binding {
    QString prefix;
    QString uri;
};

struct OpenElement {
    QString name;
    std::size_t bindingsBefore;
};

class Repairer {
public:
    explicit Repairer(QStringView text)
        : in_(text)
    {
        out_.reserve(text.size() + text.size() / 8);
    }

    QByteArray Run();

private:
    bool InRoot() const { return !open_.empty(); }

    void Markup();
    void StartTag();
    void EndTag();
    void SkipComment();
    void Cdata();
    void SkipDeclaration();

    // Appends the character at `at` of `s` (a pair of surrogates counts as one), escaped for
    // text or, with `quote`, for an attribute value; returns the position after it.
    qsizetype AppendCharacter(QStringView s, qsizetype at, QString& out, bool quote) const;
    // The reference at `at` ("&..."), repaired; returns the position after what was read.
    qsizetype AppendReference(QStringView s, qsizetype at, QString& out) const;
    void AppendValue(QStringView value, QString& out) const;

    // Whether a prefix is neither bound in scope nor predefined.
    bool NeedsBinding(QStringView prefix) const;
    // False when a binding would be needed but the bound on bindings is reached.
    bool CanBind(QStringView prefix) const;
    QString UriOf(QStringView prefix) const;
    void Close(std::size_t index);
    void CloseOpenParagraph();

    QStringView in_;
    qsizetype at_ = 0;
    QString out_;
    std::vector<OpenElement> open_;
    std::vector<Binding> bindings_;
    bool rootSeen_ = false;
};

QByteArray Repairer::Run()
{
    if (in_.startsWith(QChar(0xFEFF)))
        at_ = 1;
    while (at_ < in_.size()) {
        const QChar c = in_[at_];
        if (c == u'<')
            Markup();
        else if (!InRoot())
            ++at_; // text outside the root element has nowhere to go
        else if (c == u'&')
            at_ = AppendReference(in_, at_, out_);
        else
            at_ = AppendCharacter(in_, at_, out_, false);
    }
    if (!rootSeen_)
        return {};
    // A truncated book: everything still open ends here, the root last.
    Close(0);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + out_.toUtf8();
}

void Repairer::Markup()
{
    const QStringView rest = in_.sliced(at_);
    if (rest.startsWith(u"<!--"))
        SkipComment();
    else if (rest.startsWith(u"<![CDATA["))
        Cdata();
    else if (rest.startsWith(u"<!") || rest.startsWith(u"<?"))
        SkipDeclaration();
    else if (rest.startsWith(u"</"))
        EndTag();
    else if (rest.size() > 1 && IsNameStart(rest[1]))
        StartTag();
    else if (InRoot())
        at_ = AppendCharacter(in_, at_, out_, false); // a lone "<" in the text
    else
        ++at_;
}

void Repairer::SkipComment()
{
    const qsizetype end = in_.indexOf(u"-->", at_ + 4);
    at_ = end < 0 ? in_.size() : end + 3;
}

void Repairer::Cdata()
{
    const qsizetype start = at_ + 9;
    const qsizetype end = in_.indexOf(u"]]>", start);
    const qsizetype stop = end < 0 ? in_.size() : end;
    at_ = end < 0 ? in_.size() : end + 3;
    if (!InRoot())
        return;
    // Kept as escaped text: the same characters without the section's own rules.
    const QStringView body = in_.sliced(start, stop - start);
    for (qsizetype i = 0; i < body.size();)
        i = AppendCharacter(body, i, out_, false);
}

// A DOCTYPE (its internal subset too), another "<!" construct or a processing instruction: none
// carries text, and DTDs are never read.
void Repairer::SkipDeclaration()
{
    if (in_.sliced(at_).startsWith(u"<?")) {
        const qsizetype end = in_.indexOf(u"?>", at_ + 2);
        at_ = end < 0 ? in_.size() : end + 2;
        return;
    }
    int depth = 0;
    QChar quote;
    for (qsizetype i = at_ + 2; i < in_.size(); ++i) {
        const QChar c = in_[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'[') {
            ++depth;
        } else if (c == u']') {
            depth = std::max(depth - 1, 0);
        } else if (c == u'>' && depth == 0) {
            at_ = i + 1;
            return;
        }
    }
    at_ = in_.size();
}

void Repairer::EndTag()
{
    qsizetype i = at_ + 2;
    const qsizetype nameStart = i;
    while (i < in_.size() && (IsNameChar(in_[i]) || in_[i] == u':'))
        ++i;
    const QStringView name = in_.sliced(nameStart, i - nameStart);
    while (i < in_.size() && in_[i] != u'>' && in_[i] != u'<')
        ++i;
    at_ = i < in_.size() && in_[i] == u'>' ? i + 1 : i;
    // The root is never closed early: what follows a misplaced end tag stays in the book.
    for (std::size_t index = open_.size(); index-- > 1;) {
        if (open_[index].name == name) {
            Close(index);
            return;
        }
    }
}

void Repairer::StartTag()
{
    qsizetype i = at_ + 1;
    while (i < in_.size() && (IsNameChar(in_[i]) || in_[i] == u':'))
        ++i;
    const QStringView name = in_.sliced(at_ + 1, i - at_ - 1);
    std::vector<Attribute> attributes;
    bool empty = false;
    for (;;) {
        while (i < in_.size() && IsBlank(in_[i]))
            ++i;
        if (i >= in_.size()) {
            at_ = in_.size(); // a tag cut off by the end of the file is dropped
            return;
        }
        const QChar c = in_[i];
        if (c == u'>') {
            ++i;
            break;
        }
        if (c == u'<')
            break; // an unclosed tag ends where the next one starts
        if (c == u'/') {
            ++i;
            if (i < in_.size() && in_[i] == u'>') {
                ++i;
                empty = true;
                break;
            }
            continue;
        }
        const qsizetype attributeStart = i;
        while (i < in_.size() && !IsBlank(in_[i]) && in_[i] != u'=' && in_[i] != u'>'
            && in_[i] != u'<' && in_[i] != u'/')
            ++i;
        if (i == attributeStart) { // "=" without a name
            ++i;
            continue;
        }
        const QStringView attributeName = in_.sliced(attributeStart, i - attributeStart);
        while (i < in_.size() && IsBlank(in_[i]))
            ++i;
        QStringView value = attributeName; // an attribute without value names itself
        if (i < in_.size() && in_[i] == u'=') {
            ++i;
            while (i < in_.size() && IsBlank(in_[i]))
                ++i;
            if (i < in_.size() && (in_[i] == u'"' || in_[i] == u'\'')) {
                // A value cannot hold "<": one whose quote does not close before the next tag
                // (or the end) ends with its tag instead.
                const QChar quote = in_[i];
                qsizetype j = i + 1;
                qsizetype tagEnd = -1;
                for (; j < in_.size() && in_[j] != quote && in_[j] != u'<'; ++j)
                    if (in_[j] == u'>' && tagEnd < 0)
                        tagEnd = j;
                if (j < in_.size() && in_[j] == quote) {
                    value = in_.sliced(i + 1, j - i - 1);
                    i = j + 1;
                } else {
                    const qsizetype end = tagEnd >= 0 ? tagEnd : j;
                    value = in_.sliced(i + 1, end - i - 1);
                    i = end;
                }
            } else {
                const qsizetype valueStart = i;
                while (i < in_.size() && !IsBlank(in_[i]) && in_[i] != u'>' && in_[i] != u'<')
                    ++i;
                value = in_.sliced(valueStart, i - valueStart);
            }
        }
        if (attributes.size() < kMaxAttributes)
            attributes.push_back({attributeName, value});
    }
    at_ = i;

    const QStringView local = LocalOf(name);
    if (!IsQName(name) || open_.size() >= kMaxDepth || !CanBind(PrefixOf(name)))
        return; // the tag goes, its text stays
    if (OneOf(local, kBlockElements))
        CloseOpenParagraph();
    empty = empty || OneOf(local, kEmptyElements);

    const std::size_t bindingsBefore = bindings_.size();
    QString tag = u'<' + name.toString();
    auto declared = [&](QStringView prefix) {
        for (std::size_t b = bindingsBefore; b < bindings_.size(); ++b)
            if (bindings_[b].prefix == prefix)
                return true;
        return false;
    };
    // Declarations first, each prefix once: later ones may refer to them.
    for (const Attribute& attribute : attributes) {
        const bool isDefault = attribute.name == u"xmlns";
        if (!isDefault && !attribute.name.startsWith(u"xmlns:"))
            continue;
        const QStringView prefix = isDefault ? QStringView() : attribute.name.sliced(6);
        if ((!isDefault
                && (!IsNcName(prefix) || attribute.value.isEmpty() || prefix == u"xml"
                    || prefix == u"xmlns"))
            || declared(prefix) || bindings_.size() >= kMaxBindings)
            continue;
        bindings_.push_back({prefix.toString(), attribute.value.toString()});
        tag += u' ' + attribute.name.toString() + u"=\"";
        AppendValue(attribute.value, tag);
        tag += u'"';
    }
    auto bind = [&](QStringView prefix, QStringView localName) {
        if (!NeedsBinding(prefix))
            return;
        const bool xlink = prefix == u"l" || prefix == u"xlink" || localName == u"href";
        const QString uri = xlink ? QString::fromUtf16(kXlinkNamespace)
                                  : QString::fromUtf16(kUndeclaredNamespace) + prefix;
        bindings_.push_back({prefix.toString(), uri});
        tag += u" xmlns:" + prefix.toString() + u"=\"" + uri + u'"';
    };
    bind(PrefixOf(name), local);
    std::vector<std::pair<QString, QStringView>> written; // namespace URI and local name
    for (const Attribute& attribute : attributes) {
        if (attribute.name == u"xmlns" || attribute.name.startsWith(u"xmlns:")
            || !IsQName(attribute.name))
            continue;
        const QStringView prefix = PrefixOf(attribute.name);
        const QStringView attributeLocal = LocalOf(attribute.name);
        if (!CanBind(prefix))
            continue;
        bind(prefix, attributeLocal);
        const QString uri = prefix.isEmpty() ? QString() : UriOf(prefix);
        bool duplicate = false;
        for (const auto& [seenUri, seenLocal] : written)
            duplicate = duplicate || (seenUri == uri && seenLocal == attributeLocal);
        if (duplicate)
            continue;
        written.emplace_back(uri, attributeLocal);
        tag += u' ' + attribute.name.toString() + u"=\"";
        AppendValue(attribute.value, tag);
        tag += u'"';
    }
    rootSeen_ = true;
    // An empty root is opened like any other, to be closed at the end.
    if (empty && !open_.empty()) {
        out_ += tag + u"/>";
        bindings_.resize(bindingsBefore);
        return;
    }
    out_ += tag + u'>';
    open_.push_back({name.toString(), bindingsBefore});
}

void Repairer::AppendValue(QStringView value, QString& out) const
{
    for (qsizetype i = 0; i < value.size();)
        i = value[i] == u'&' ? AppendReference(value, i, out)
                             : AppendCharacter(value, i, out, true);
}

qsizetype Repairer::AppendCharacter(QStringView s, qsizetype at, QString& out, bool quote) const
{
    const QChar c = s[at];
    if (c.isHighSurrogate() && at + 1 < s.size() && s[at + 1].isLowSurrogate()) {
        out += c;
        out += s[at + 1];
        return at + 2;
    }
    if (c.isSurrogate() || !AllowedCharacter(c.unicode()))
        return at + 1;
    switch (c.unicode()) {
    case u'<':
        out += u"&lt;";
        break;
    case u'>':
        out += u"&gt;";
        break;
    case u'&':
        out += u"&amp;";
        break;
    case u'"':
        out += quote ? QStringView(u"&quot;") : QStringView(u"\"");
        break;
    default:
        out += c;
    }
    return at + 1;
}

qsizetype Repairer::AppendReference(QStringView s, qsizetype at, QString& out) const
{
    qsizetype i = at + 1;
    if (i < s.size() && s[i] == u'#') {
        const bool hex = i + 1 < s.size() && (s[i + 1] == u'x' || s[i + 1] == u'X');
        i += hex ? 2 : 1;
        const qsizetype digitsStart = i;
        while (i < s.size() && i - digitsStart <= kLongestCharacterReference
            && (IsAsciiDigit(s[i]) || (hex && IsAsciiHexLetter(s[i]))))
            ++i;
        bool ok = false;
        const uint code = s.sliced(digitsStart, i - digitsStart).toUInt(&ok, hex ? 16 : 10);
        if (i > digitsStart && i < s.size() && s[i] == u';' && ok) {
            // A reference to a character XML forbids says nothing worth keeping.
            if (AllowedCharacter(code))
                out += QStringLiteral("&#%1;").arg(code);
            return i + 1;
        }
        out += u"&amp;";
        return at + 1;
    }
    while (i < s.size() && i - at <= kLongestEntityName && s[i].unicode() < 0x80
        && QChar(s[i]).isLetterOrNumber())
        ++i;
    if (i > at + 1 && i < s.size() && s[i] == u';') {
        const QStringView name = s.sliced(at + 1, i - at - 1);
        for (const char16_t* predefined : {u"amp", u"lt", u"gt", u"quot", u"apos"}) {
            if (name == QStringView(predefined)) {
                out += s.sliced(at, i - at + 1);
                return i + 1;
            }
        }
        const QByteArray latin = name.toLatin1();
        if (const htmlEntityDesc* entity
            = htmlEntityLookup(reinterpret_cast<const xmlChar*>(latin.constData()))) {
            const char32_t code = entity->value;
            out += QString::fromUcs4(&code, 1);
            return i + 1;
        }
    }
    out += u"&amp;"; // an "&" that starts no reference is text
    return at + 1;
}

bool Repairer::NeedsBinding(QStringView prefix) const
{
    if (prefix.isEmpty() || prefix == u"xml")
        return false;
    for (const Binding& binding : bindings_)
        if (binding.prefix == prefix)
            return false;
    return true;
}

bool Repairer::CanBind(QStringView prefix) const
{
    return bindings_.size() < kMaxBindings || !NeedsBinding(prefix);
}

QString Repairer::UriOf(QStringView prefix) const
{
    for (auto it = bindings_.rbegin(); it != bindings_.rend(); ++it)
        if (it->prefix == prefix)
            return it->uri;
    return {};
}

void Repairer::Close(std::size_t index)
{
    while (open_.size() > index) {
        out_ += u"</" + open_.back().name + u'>';
        bindings_.resize(open_.back().bindingsBefore);
        open_.pop_back();
    }
}

// A paragraph whose end tag is missing ends where the next block starts, with the inline
// elements still open inside it.
void Repairer::CloseOpenParagraph()
{
    for (std::size_t index = open_.size(); index-- > 1;) {
        const QStringView local = LocalOf(open_[index].name);
        if (OneOf(local, kParagraphElements)) {
            Close(index);
            return;
        }
        if (!OneOf(local, kInlineElements))
            return;
    }
}

} // namespace

QByteArray RepairFb2Markup(QStringView text)
{
    return Repairer(text).Run();
}

} // namespace lbv
