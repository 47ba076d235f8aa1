#include "reader/fb2_parser.h"

#include "reader/fb2_stylesheet.h"
#include "reader/text_folding.h"
#include "text/code_page_detection.h"
#include "text/code_pages.h"
#include "text/messages.h"
#include "text/utf.h"

#include <QStringDecoder>
#include <algorithm>
#include <cstring>
#include <expat.h>
#include <string>
#include <vector>

namespace lbv {
namespace {

constexpr int kStyleStackDepth = 64;
// Nested negative indents add up; past any sensible width they stop growing.
constexpr int kIndentCeiling = 1 << 20;
constexpr int64_t kLargestBlock = 1 << 30;
constexpr int kEncodingSample = 64 * 1024;

// The code page of a book that names none and is no UTF-8, as its text shows (the import reads
// such a book so too); -1 where expat can tell the encoding by itself.
int UndeclaredCodePage(ByteSource& source)
{
    QByteArray sample(kEncodingSample, Qt::Uninitialized);
    sample.resize(qsizetype(std::max<int64_t>(source.ReadAt(0, sample.data(), sample.size()), 0)));
    if (sample.startsWith("<?xml") || sample.startsWith("\xEF\xBB\xBF")
        || sample.startsWith("\xFF\xFE") || sample.startsWith("\xFE\xFF")
        || sample.startsWith(QByteArrayView("<\0", 2))
        || sample.startsWith(QByteArrayView("\0<", 2)))
        return -1;
    // The sample may end inside a character.
    for (int cut = 0; cut < 4 && cut <= sample.size(); ++cut)
        if (IsValidUtf8(sample.constData(), sample.size() - cut))
            return -1;
    // Only the text between the tags tells the language.
    QByteArray text;
    bool inTag = false;
    for (const char c : std::as_const(sample)) {
        if (c == '<' || c == '>')
            inTag = c == '<';
        else if (!inTag)
            text.append(c);
    }
    return CodePageIndex(DetectCodePage(text));
}

struct StyleState {
    uint16_t bits = 0;
    uint8_t align = 0;
    int32_t left = 0;
    int32_t right = 0;
    int32_t first = 0;
};

int ApplyIndent(int current, int value)
{
    if (value == kInherit)
        return current;
    if (value >= 0)
        return value;
    return std::min(current - value, kIndentCeiling);
}

void SetBit(uint16_t& bits, uint16_t bit, uint8_t value)
{
    if (value == 1)
        bits |= bit;
    else if (value == 0)
        bits &= uint16_t(~bit);
}

void ApplyStyle(const ElementStyle& row, StyleState& s)
{
    if (row.size != kInherit)
        s.bits = uint16_t((s.bits & ~kAttrSizeMask) | (uint8_t(row.size) & kAttrSizeMask));
    SetBit(s.bits, kAttrBold, row.bold);
    SetBit(s.bits, kAttrItalic, row.italic);
    SetBit(s.bits, kAttrUnderline, row.underline);
    if (row.colour != kInherit)
        s.bits = uint16_t((s.bits & ~(7u << kAttrColourShift)) | (row.colour & 7u) << kAttrColourShift);
    if (row.align != kInherit)
        s.align = row.align;
    s.left = ApplyIndent(s.left, row.leftIndent);
    s.right = ApplyIndent(s.right, row.rightIndent);
    s.first = ApplyIndent(s.first, row.firstLineIndent);
}

uint32_t PackIndents(const StyleState& s)
{
    const auto clamp = [](int v) { return uint32_t(std::clamp(v, 0, kMaxIndent)); };
    return clamp(s.right) | clamp(s.left) << 10 | clamp(s.first) << 20;
}

const char* LocalName(const char* name)
{
    const char* bar = std::strrchr(name, '|');
    return bar ? bar + 1 : name;
}

// Whether an expat name "uri|local" is in the FictionBook 2.1 namespace.
bool InFictionBook21(const char* name)
{
    constexpr std::size_t length = sizeof(kFictionBook21Namespace) - 1;
    return std::strncmp(name, kFictionBook21Namespace, length) == 0 && name[length] == '|';
}

// FictionBook, in the 2.0 or the 2.1 namespace.
bool IsFictionBookRoot(const char* name)
{
    const char* bar = std::strrchr(name, '|');
    if (!bar || std::strcmp(bar + 1, "FictionBook") != 0)
        return false;
    return IsFictionBookNamespace(std::string(name, bar).c_str());
}

const char* Attribute(const char** attributes, const char* local)
{
    for (; *attributes; attributes += 2)
        if (std::strcmp(LocalName(attributes[0]), local) == 0)
            return attributes[1];
    return nullptr;
}

bool IsBlankBytes(const char* s, int length)
{
    for (int i = 0; i < length; ++i)
        if (uchar(s[i]) > 0x20)
            return false;
    return true;
}

class Parser {
public:
    Parser(ByteSource& source, const ElementStyleTable& styles, const LoadObserver& observer,
        Fb2Model& model)
        : source_(source), styles_(styles), observer_(observer), model_(model),
          footnoteRow_(styles.Find("|>footnote")), hyperlinkRow_(styles.Find("|>link")),
          keywordRow_(styles.Find(">keyword"))
    {
    }

    bool Run(int codePage, int blockSize, QString& error);

private:
    struct Frame {
        int row;
        bool raisedStylesheet;
    };
    struct OpenLink {
        uint32_t start;
        uint32_t target;
        uint32_t segment;
    };

    static void XMLCALL OnStart(void* self, const XML_Char* name, const XML_Char** attributes)
    {
        static_cast<Parser*>(self)->Start(name, attributes);
    }
    static void XMLCALL OnEnd(void* self, const XML_Char*) { static_cast<Parser*>(self)->End(); }
    static void XMLCALL OnText(void* self, const XML_Char* s, int length)
    {
        static_cast<Parser*>(self)->Text(s, length);
    }
    static void XMLCALL OnCdataStart(void* self) { static_cast<Parser*>(self)->cdata_ = true; }
    static void XMLCALL OnCdataEnd(void* self) { static_cast<Parser*>(self)->cdata_ = false; }
    static void XMLCALL OnDeclaration(void* self, const XML_Char*, const XML_Char* encoding, int);
    static int XMLCALL OnUnknownEncoding(void* self, const XML_Char* name, XML_Encoding* info);

    void Start(const char* name, const char** attributes);
    void End();
    void Text(const char* s, int length);

    void Fail(Msg message);
    QStringView Utf16(const char* s, int length);
    uint32_t Intern(QStringView text);
    uint32_t InternUtf8(const char* s) { return Intern(Utf16(s, int(std::strlen(s)))); }

    void Push(const ElementStyle& row);
    void Pop();

    uint32_t SegmentRuns() const { return model_.runs.size() - firstRun_; }
    void OpenParagraph();
    void CloseParagraph();
    void BeginSegment();
    void FinishSegment();
    void MakeRoomForRuns(uint32_t count);
    void AppendEmptyParagraph();
    void AppendImageParagraph(uint32_t id);
    bool AppendRun(const TextRun& run);
    // The piece as the handler got it (UTF-8) or as text made up by the parser.
    struct Piece {
        const char* utf8 = nullptr;
        int size = 0;
        QStringView text;
        int64_t byteIndex = -1;
        int byteCount = 0; // 0: not read straight from the document's bytes
    };
    void AddText(const Piece& piece);
    void AddSynthetic(QStringView text) { AddText(Piece {nullptr, 0, text}); }
    bool EmitBlank(uint16_t style);
    void AddInlineImage(uint32_t id);
    void AddBinaryText(const char* s, int length, int64_t byteIndex, int byteCount);
    void DescriptionHeading(const char* name, const char** attributes, uint32_t behaviour);

    ByteSource& source_;
    const ElementStyleTable& styles_;
    const LoadObserver& observer_;
    Fb2Model& model_;
    const int footnoteRow_;
    const int hyperlinkRow_;
    const int keywordRow_;

    XML_Parser parser_ = nullptr;
    QString failure_;
    bool rootSeen_ = false;
    bool cdata_ = false;
    QStringDecoder utf8_ {QStringDecoder::Utf8};
    std::vector<char16_t> utf16_;
    int64_t total_ = 0;

    std::vector<Frame> frames_;
    StyleState style_;
    StyleState saved_[kStyleStackDepth];
    int styleDepth_ = 0;
    std::vector<OpenLink> links_;

    int textDepth_ = 0;
    int sectionLevel_ = 0;
    int stylesheetDepth_ = 0;
    StylesheetReader stylesheet_;
    uint32_t titleFirst_ = 0;

    int paragraphDepth_ = 0;
    uint32_t segment_ = 0; // changes whenever a new paragraph segment starts
    uint32_t firstRun_ = 0;
    uint32_t firstLink_ = 0;
    uint32_t length_ = 0;
    bool pendingBlank_ = false;
    bool lastBlankAfter_ = false;
    uint16_t lastStyle_ = 0;

    bool binaryOpen_ = false;
    int64_t binaryEnd_ = -1;
};

void XMLCALL Parser::OnDeclaration(void* self, const XML_Char*, const XML_Char* encoding, int)
{
    auto* parser = static_cast<Parser*>(self);
    if (!encoding || parser->model_.decoding.kind != SourceDecoding::Utf8)
        return;
    const QByteArrayView name(encoding);
    if (name.compare("ISO-8859-1", Qt::CaseInsensitive) == 0
        || name.compare("US-ASCII", Qt::CaseInsensitive) == 0)
        parser->model_.decoding.kind = SourceDecoding::Latin1;
}

int XMLCALL Parser::OnUnknownEncoding(void* self, const XML_Char* name, XML_Encoding* info)
{
    const char16_t* table = CodePageTable(FindCodePage(QString::fromLatin1(name)));
    if (!table)
        return XML_STATUS_ERROR;
    for (int i = 0; i < 256; ++i)
        info->map[i] = table[i];
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    auto* parser = static_cast<Parser*>(self);
    parser->model_.decoding.kind = SourceDecoding::Table;
    std::copy(table, table + 256, parser->model_.decoding.table.begin());
    return XML_STATUS_OK;
}

bool Parser::Run(int codePage, int blockSize, QString& error)
{
    total_ = source_.Size();
    if (total_ > int64_t(UINT32_MAX)) {
        error = MessageText(Msg::XmlParserOutOfMemory); // byte offsets are 32 bits
        return false;
    }
    if (codePage < 0)
        codePage = UndeclaredCodePage(source_);
    const QByteArray forced = codePage >= 0 ? CodePageName(codePage).toLatin1() : QByteArray();
    parser_ = XML_ParserCreateNS(forced.isEmpty() ? nullptr : forced.constData(), '|');
    if (!parser_) {
        error = MessageText(Msg::XmlParserOutOfMemory);
        return false;
    }
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser_, OnText);
    XML_SetCdataSectionHandler(parser_, OnCdataStart, OnCdataEnd);
    XML_SetXmlDeclHandler(parser_, OnDeclaration);
    XML_SetUnknownEncodingHandler(parser_, OnUnknownEncoding, this);

    if (observer_.progress)
        observer_.progress(0, total_);
    bool ok = true;
    for (int64_t position = 0;;) {
        // Expat rescans an unfinished token from its start on every block; growing the block
        // with the token keeps one huge attribute, comment or name linear.
        const int64_t parsed = XML_GetCurrentByteIndex(parser_);
        const int64_t pending = parsed > 0 ? position - parsed : 0;
        const int wanted = int(std::clamp<int64_t>(2 * pending, blockSize, kLargestBlock));
        auto* buffer = static_cast<char*>(XML_GetBuffer(parser_, wanted));
        if (!buffer) {
            failure_ = MessageText(Msg::XmlParserOutOfMemory);
            ok = false;
            break;
        }
        const int64_t got = std::max<int64_t>(source_.ReadAt(position, buffer, wanted), 0);
        if (position == 0 && got >= 2) {
            const uchar b0 = uchar(buffer[0]), b1 = uchar(buffer[1]);
            if ((b0 == 0xFF && b1 == 0xFE) || (b0 == '<' && b1 == 0))
                model_.decoding.kind = SourceDecoding::Utf16Le;
            else if ((b0 == 0xFE && b1 == 0xFF) || (b0 == 0 && b1 == '<'))
                model_.decoding.kind = SourceDecoding::Utf16Be;
        }
        position += got;
        const bool final = got < wanted;
        if (XML_ParseBuffer(parser_, int(got), final) != XML_STATUS_OK) {
            ok = false;
            break;
        }
        if (final)
            break;
    }
    if (!ok) {
        if (failure_.isEmpty())
            failure_ = MessageText(Msg::XmlParseError)
                           .arg(QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(parser_))))
                           .arg(XML_GetCurrentLineNumber(parser_))
                           .arg(XML_GetCurrentColumnNumber(parser_) + 1);
        error = failure_;
    }
    XML_ParserFree(parser_);
    parser_ = nullptr;
    if (ok && !model_.bodies.empty()) {
        model_.bodies.push_back({0, model_.bodies.front().firstParagraph - 1,
            model_.strings.Add(u"#Description")});
    }
    return ok;
}

void Parser::Fail(Msg message)
{
    if (failure_.isEmpty())
        failure_ = MessageText(message);
    XML_StopParser(parser_, XML_FALSE);
}

QStringView Parser::Utf16(const char* s, int length)
{
    if (utf16_.size() < std::size_t(length))
        utf16_.resize(std::size_t(length));
    auto* begin = reinterpret_cast<QChar*>(utf16_.data());
    const QChar* end = utf8_.appendToBuffer(begin, QByteArrayView(s, length));
    utf8_.resetState();
    return QStringView(begin, end - begin);
}

uint32_t Parser::Intern(QStringView text)
{
    const uint32_t handle
        = model_.strings.Add(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
            std::size_t(text.size())));
    if (handle == StringPool::kNone)
        Fail(Msg::XmlParserOutOfMemory);
    return handle;
}

void Parser::Push(const ElementStyle& row)
{
    if (styleDepth_ < kStyleStackDepth)
        saved_[styleDepth_] = style_;
    ++styleDepth_;
    ApplyStyle(row, style_);
}

void Parser::Pop()
{
    if (styleDepth_ == 0)
        return;
    --styleDepth_;
    if (styleDepth_ < kStyleStackDepth)
        style_ = saved_[styleDepth_];
}

void Parser::BeginSegment()
{
    ++segment_;
    firstRun_ = model_.runs.size();
    firstLink_ = model_.links.size();
    length_ = 0;
    pendingBlank_ = false;
    lastBlankAfter_ = false;
}

void Parser::FinishSegment()
{
    const uint32_t runs = SegmentRuns();
    if (runs > 0 && (model_.runs.back().attributes & kRunBlankAfter)) {
        model_.runs.back().attributes &= ~kRunBlankAfter;
        --length_;
    }
    if (runs == 0 || length_ == 0) {
        AppendEmptyParagraph();
        return;
    }
    if (uint64_t(model_.totalLength) + length_ > UINT32_MAX - 64) {
        Fail(Msg::XmlParserOutOfMemory);
        return;
    }
    const uint32_t links = std::min(model_.links.size() - firstLink_, kMaxPerParagraph);
    model_.paragraphs.push_back({PackIndex(firstRun_, runs), model_.totalLength,
        PackIndex(firstLink_, links), PackIndents(style_), style_.align});
    model_.totalLength += length_;
}

// A paragraph inside a paragraph (or one with more runs than a record can count) goes on as a
// new paragraph rather than losing the text gathered so far.
void Parser::OpenParagraph()
{
    if (paragraphDepth_ > 0)
        FinishSegment();
    ++paragraphDepth_;
    BeginSegment();
}

void Parser::CloseParagraph()
{
    if (paragraphDepth_ == 0)
        return;
    FinishSegment();
    if (--paragraphDepth_ > 0)
        BeginSegment();
}

void Parser::MakeRoomForRuns(uint32_t count)
{
    if (SegmentRuns() + count > kMaxPerParagraph) {
        FinishSegment();
        BeginSegment();
    }
}

void Parser::AppendEmptyParagraph()
{
    model_.paragraphs.push_back({0, model_.totalLength, 0, 0, 0});
}

void Parser::AppendImageParagraph(uint32_t id)
{
    model_.paragraphs.push_back({id, model_.totalLength, 0, PackIndents(style_),
        uint32_t(style_.align) | kImageParagraphFlag});
    model_.totalLength += kImageParagraphLength;
}

bool Parser::AppendRun(const TextRun& run)
{
    if (model_.runs.size() >= kIndexLimit - 1) {
        Fail(Msg::XmlParserOutOfMemory);
        return false;
    }
    model_.runs.push_back(run);
    return true;
}

// A blank of its own is an empty inline run with a blank before it.
bool Parser::EmitBlank(uint16_t style)
{
    if (!AppendRun({0, 0, uint32_t(style) | kRunInline | kRunBlankBefore}))
        return false;
    ++length_;
    lastBlankAfter_ = true;
    lastStyle_ = style;
    return true;
}

void Parser::AddText(const Piece& piece)
{
    const FoldedMeasure measure
        = piece.utf8 ? MeasureFoldedUtf8(piece.utf8, piece.size) : MeasureFolded(piece.text);
    if (measure.length == 0) {
        if (SegmentRuns() > 0)
            pendingBlank_ = true;
        return;
    }
    MakeRoomForRuns(2);
    bool blankBefore
        = SegmentRuns() > 0 && !lastBlankAfter_ && (measure.leadingBlank || pendingBlank_);
    if (blankBefore && pendingBlank_ && style_.bits != lastStyle_) {
        if (!EmitBlank(lastStyle_))
            return;
        blankBefore = false;
    }
    pendingBlank_ = false;
    const uint32_t attributes = style_.bits | (cdata_ ? kRunCdata : 0)
        | (blankBefore ? kRunBlankBefore : 0) | (measure.trailingBlank ? kRunBlankAfter : 0);
    TextRun run;
    if (measure.length > 4 && piece.byteCount > 0 && piece.byteIndex >= 0) {
        run = {uint32_t(piece.byteIndex), uint32_t(piece.byteCount), attributes};
    } else {
        const QString folded
            = FoldWhitespace(piece.utf8 ? Utf16(piece.utf8, piece.size) : piece.text);
        if (folded.size() <= 2) {
            const uint32_t second = folded.size() > 1 ? folded[1].unicode() : 0;
            run = {folded[0].unicode() | second << 16, uint32_t(folded.size()),
                attributes | kRunInline};
        } else {
            const uint32_t handle = Intern(folded);
            if (handle == StringPool::kNone)
                return;
            run = {handle, uint32_t(folded.size()), attributes | kRunPooled};
        }
    }
    if (!AppendRun(run))
        return;
    length_ += uint32_t(measure.length) + (blankBefore ? 1 : 0) + (measure.trailingBlank ? 1 : 0);
    lastBlankAfter_ = measure.trailingBlank;
    lastStyle_ = style_.bits;
}

void Parser::AddInlineImage(uint32_t id)
{
    MakeRoomForRuns(2);
    if (pendingBlank_ && SegmentRuns() > 0 && !lastBlankAfter_ && !EmitBlank(lastStyle_))
        return;
    pendingBlank_ = false;
    model_.images.push_back(id);
    if (!AppendRun({model_.images.size() - 1, 1, style_.bits | kAttrInlineImage | kRunImage}))
        return;
    ++length_;
    lastBlankAfter_ = false;
    lastStyle_ = style_.bits;
}

// Base64 text is kept as byte ranges; ranges separated only by line breaks are merged, since
// the decoder skips whatever is not base64 anyway.
void Parser::AddBinaryText(const char* s, int length, int64_t byteIndex, int byteCount)
{
    const bool blank = IsBlankBytes(s, length);
    if (byteCount <= 0) {
        if (!blank) {
            const QStringView text = Utf16(s, length);
            const uint32_t handle = Intern(text);
            if (handle != StringPool::kNone)
                AppendRun({handle, uint32_t(text.size()), kRunPooled});
        }
        binaryEnd_ = -1;
        return;
    }
    const int64_t end = byteIndex + byteCount;
    if (blank) {
        if (byteIndex == binaryEnd_)
            binaryEnd_ = end;
        return;
    }
    const BinaryRecord& binary = model_.binaries.back();
    if (byteIndex == binaryEnd_ && model_.runs.size() > binary.firstRun) {
        TextRun& last = model_.runs.back();
        if (!(last.attributes & kRunPooled)) {
            last.length = uint32_t(end - last.data);
            binaryEnd_ = end;
            return;
        }
    }
    AppendRun({uint32_t(byteIndex), uint32_t(byteCount), 0});
    binaryEnd_ = end;
}

void Parser::DescriptionHeading(const char* name, const char** attributes, uint32_t behaviour)
{
    const bool item = behaviour & kBehaviourDescriptionItem;
    if (item)
        AddSynthetic(u"\u00A0\u00A0");
    Push(styles_.Row(keywordRow_));
    AddSynthetic(Utf16(LocalName(name), int(std::strlen(LocalName(name)))));
    Pop();
    if (behaviour & kBehaviourDescriptionHeading) {
        CloseParagraph();
        return;
    }
    if (item && *attributes) {
        QString list = QStringLiteral(" (");
        for (const char** a = attributes; *a; a += 2) {
            if (a != attributes)
                list += u' ';
            list += QString::fromUtf8(LocalName(a[0])) + u'=' + QString::fromUtf8(a[1]);
        }
        list += u')';
        AddSynthetic(list);
    }
    AddSynthetic(u": ");
}

void Parser::Start(const char* name, const char** attributes)
{
    if (!rootSeen_) {
        rootSeen_ = true;
        if (!IsFictionBookRoot(name)) {
            Fail(Msg::NotFictionBook2);
            return;
        }
    }
    // The table keys 2.1 elements like 2.0 ones through their "|local" form.
    const int rowIndex
        = styles_.Find(QByteArrayView(InFictionBook21(name) ? std::strrchr(name, '|') : name));
    const uint32_t b = styles_.Row(rowIndex).behaviour;
    Frame frame {rowIndex, false};

    if (b & kBehaviourBody) {
        if (model_.bodies.empty())
            AppendEmptyParagraph();
        const char* bodyName = Attribute(attributes, "name");
        model_.bodies.push_back({model_.paragraphs.size(), 0,
            bodyName && *bodyName ? InternUtf8(bodyName) : StringPool::kNone});
    }
    if (b & kBehaviourTextContext)
        ++textDepth_;
    if (b & kBehaviourSection)
        ++sectionLevel_;
    if (b & kBehaviourEmptyLine)
        AppendEmptyParagraph();
    if (b & kBehaviourStyle)
        Push(styles_.Row(rowIndex));
    if (b & kBehaviourNamedStyle) {
        const char* styleName = Attribute(attributes, "name");
        const ElementStyle* rule = styleName ? stylesheet_.Find(QString::fromUtf8(styleName)) : nullptr;
        Push(rule ? *rule : ElementStyle());
    }
    if (b & kBehaviourStylesheet) {
        const char* type = Attribute(attributes, "type");
        if ((type && std::strcmp(type, "text/css") == 0) || stylesheetDepth_ > 0) {
            if (stylesheetDepth_++ == 0)
                stylesheet_.Reset();
            frame.raisedStylesheet = true;
        }
    }
    if (b & kBehaviourTitle)
        titleFirst_ = model_.paragraphs.size();
    if (b & kBehaviourAnchor) {
        if (const char* id = Attribute(attributes, "id")) {
            const QStringView key = Utf16(id, int(std::strlen(id)));
            const std::u16string_view view(
                reinterpret_cast<const char16_t*>(key.utf16()), std::size_t(key.size()));
            if (!model_.anchors.contains(view)) {
                const uint32_t handle = Intern(key);
                if (handle != StringPool::kNone)
                    model_.anchors.emplace(model_.strings.View(handle), model_.paragraphs.size());
            }
        }
    }
    if (b & kBehaviourLink) {
        const char* type = Attribute(attributes, "type");
        const bool note = type && std::strcmp(type, "note") == 0;
        Push(styles_.Row(note ? footnoteRow_ : hyperlinkRow_));
        const char* href = Attribute(attributes, "href");
        links_.push_back({paragraphDepth_ > 0 ? length_ : 0,
            href ? InternUtf8(href) : StringPool::kNone, segment_});
    }
    if ((textDepth_ > 0 && (b & kBehaviourParagraph)) || (b & kBehaviourDescriptionHeading))
        OpenParagraph();
    if ((b & (kBehaviourDescriptionHeading | kBehaviourDescriptionItem)) && paragraphDepth_ > 0)
        DescriptionHeading(name, attributes, b);
    if (b & kBehaviourBinary) {
        const char* id = Attribute(attributes, "id");
        const char* type = Attribute(attributes, "content-type");
        if (id && type) {
            const uint32_t idHandle = InternUtf8(id);
            model_.binaries.push_back(
                {idHandle, InternUtf8(type), 0, model_.runs.size()});
            model_.binaryById.emplace(model_.strings.View(idHandle), model_.binaries.size() - 1);
            binaryOpen_ = true;
            binaryEnd_ = -1;
        }
    }
    if (b & kBehaviourImage) {
        const char* href = Attribute(attributes, "href");
        if (href && href[0] == '#') {
            const uint32_t id = InternUtf8(href + 1);
            if (id != StringPool::kNone) {
                if (paragraphDepth_ > 0)
                    AddInlineImage(id);
                else
                    AppendImageParagraph(id);
            }
        }
    }
    frames_.push_back(frame);
}

void Parser::End()
{
    if (frames_.empty())
        return;
    const Frame frame = frames_.back();
    frames_.pop_back();
    const uint32_t b = styles_.Row(frame.row).behaviour;

    if (textDepth_ > 0 && (b & kBehaviourParagraph))
        CloseParagraph();
    if (b & (kBehaviourNamedStyle | kBehaviourStyle))
        Pop();
    if (frame.raisedStylesheet)
        --stylesheetDepth_;
    if ((b & kBehaviourLink) && !links_.empty()) {
        const OpenLink link = links_.back();
        links_.pop_back();
        const bool sameParagraph = paragraphDepth_ > 0 && link.segment == segment_;
        if (link.target != StringPool::kNone && sameParagraph
            && model_.links.size() - firstLink_ < kMaxPerParagraph
            && model_.links.size() < kIndexLimit - 1)
            model_.links.push_back({link.start, length_ - link.start, link.target});
        Pop();
    }
    if (b & kBehaviourSection)
        --sectionLevel_;
    if (b & kBehaviourSpaceAfter)
        pendingBlank_ = true;
    if ((b & kBehaviourTitle) && !model_.bodies.empty() && sectionLevel_ > 0 && observer_.contents) {
        const BodyEntry& body = model_.bodies.back();
        observer_.contents({int(titleFirst_ - body.firstParagraph),
            int(model_.paragraphs.size() - titleFirst_), int(model_.bodies.size() - 1),
            sectionLevel_});
    }
    if (b & kBehaviourEmptyLineAfter)
        AppendEmptyParagraph();
    if (b & kBehaviourTextContext)
        --textDepth_;
    if ((b & kBehaviourBody) && !model_.bodies.empty()) {
        BodyEntry& body = model_.bodies.back();
        body.paragraphCount = model_.paragraphs.size() - body.firstParagraph;
        AppendEmptyParagraph();
    }
    if ((b & kBehaviourBinary) && binaryOpen_) {
        BinaryRecord& binary = model_.binaries.back();
        binary.runCount = model_.runs.size() - binary.firstRun;
        binaryOpen_ = false;
    }
    if (observer_.progress)
        observer_.progress(XML_GetCurrentByteIndex(parser_), total_);
}

void Parser::Text(const char* s, int length)
{
    if (length <= 0 || (stylesheetDepth_ == 0 && !binaryOpen_ && paragraphDepth_ == 0))
        return;
    const int64_t byteIndex = XML_GetCurrentByteIndex(parser_);
    const int byteCount = XML_GetCurrentByteCount(parser_);
    if (binaryOpen_) {
        AddBinaryText(s, length, byteIndex, byteCount);
        return;
    }
    if (stylesheetDepth_ > 0)
        stylesheet_.Feed(Utf16(s, length));
    if (paragraphDepth_ > 0)
        AddText(Piece {s, length, {}, byteIndex, byteCount});
}

} // namespace

bool ParseFb2(ByteSource& source, int codePage, int blockSize, const ElementStyleTable& styles,
    const LoadObserver& observer, Fb2Model& model, QString& error)
{
    Parser parser(source, styles, observer, model);
    return parser.Run(codePage, blockSize, error);
}

} // namespace lbv
