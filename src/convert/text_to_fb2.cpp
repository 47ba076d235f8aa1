#include "convert/text_to_fb2.h"

#include "convert/converter_common.h"
#include "convert/converter_title_info.h"
#include "convert/converter_typography.h"
#include "convert/text_to_fb2_layout.h"

#include <QRegularExpression>
#include <algorithm>

namespace lbv {

namespace {

constexpr std::size_t kNoLine = std::size_t(-1);
// The author and title lines, when the text names them, come before this many lines.
constexpr std::size_t kOpeningLines = 20;

std::size_t NextTextLine(const std::vector<TextLine>& lines, std::size_t from)
{
    for (std::size_t i = from; i < lines.size() && i < kOpeningLines; ++i)
        if (!lines[i].IsBlank())
            return i;
    return kNoLine;
}

QStringList NameWords(QStringView text)
{
    QStringList words;
    for (QStringView word : text.split(u' ', Qt::SkipEmptyParts))
        words.append(word.toString().toLower());
    words.sort();
    return words;
}

bool NamesAuthor(QStringView line, const Fb2Author& author)
{
    const QString written
        = QStringList {author.firstName, author.middleName, author.lastName, author.nickname}.join(
            u' ');
    return NameWords(line) == NameWords(written);
}

bool NamesTitle(QStringView line, const QString& title)
{
    return TidyTitle(line).compare(title, Qt::CaseInsensitive) == 0;
}

// A title stands on a line of its own, with a blank line (or nothing) after it, and doesn't
// end like a sentence.
bool CouldBeTitle(const std::vector<TextLine>& lines, std::size_t i)
{
    const TextLine& line = lines[i];
    const bool sentence
        = line.text.endsWith(u',') || (line.text.endsWith(u'.') && !line.text.endsWith(u".."));
    return !line.heading && line.text.size() <= 150 && !sentence
        && (i + 1 == lines.size() || lines[i + 1].IsBlank());
}

QString AuthorDisplayName(const Fb2Author& author)
{
    QStringList parts;
    for (const QString& part : {author.firstName, author.middleName, author.lastName})
        if (!part.isEmpty())
            parts.append(part);
    return parts.isEmpty() ? author.nickname : parts.join(u' ');
}

// Fills author and title, from the file's name or the opening lines; returns the first line of
// the text proper and sets `bodyTitle` to the lines that head the book.
std::size_t FindAuthorAndTitle(const std::vector<TextLine>& lines, const QString& path,
    const ConverterOptions& options, Fb2TitleInfo* info, QStringList* bodyTitle)
{
    Fb2Author author;
    QString title;
    const bool fromName = AuthorAndTitleFromFileName(path, &author, &title);
    std::size_t consumed = kNoLine;
    const std::size_t first = options.noDescription ? kNoLine : NextTextLine(lines, 0);
    const std::size_t second = first == kNoLine ? kNoLine : NextTextLine(lines, first + 1);
    if (first != kNoLine) {
        const QStringView firstText = lines[first].text;
        if (fromName) {
            // The text repeating its file's name heads the book rather than being its text.
            if (NamesAuthor(firstText, author)) {
                consumed = first;
                if (second != kNoLine && NamesTitle(lines[second].text, title))
                    consumed = second;
            } else if (NamesTitle(firstText, title)) {
                consumed = first;
            }
        } else if (!lines[first].heading && LooksLikePersonName(firstText) && second != kNoLine
            && CouldBeTitle(lines, second)) {
            author = ParseAuthorName(firstText);
            title = TidyTitle(lines[second].text);
            consumed = second;
        }
    }
    if (consumed != kNoLine) {
        for (std::size_t i = first; i <= consumed; ++i)
            if (!lines[i].IsBlank())
                bodyTitle->append(lines[i].text.toString());
    } else {
        if (title.isEmpty())
            title = FileTitle(path);
        if (!author.IsEmpty())
            bodyTitle->append(AuthorDisplayName(author));
        bodyTitle->append(title);
    }
    if (!author.IsEmpty())
        info->authors.append(author);
    info->title = title;
    return consumed == kNoLine ? 0 : consumed + 1;
}

// Writes the laid-out blocks into the body: sections begin at titles, text before the first
// title goes into an untitled section.
class TextWriter {
public:
    TextWriter(Fb2Builder& builder, const ConverterOptions& options, const QString& lang)
        : builder_(builder)
        , typography_(options.convertDash, !options.noQuotes, lang)
        , italics_(!options.noItalic)
    {
    }

    void BodyTitle(const QStringList& lines)
    {
        xmlNode* title = builder_.AppendBlock(builder_.Body(), "title");
        for (const QString& line : lines)
            Styled(builder_.AppendBlock(title, "p"), line);
    }

    void Write(const TextBlock& block)
    {
        if (block.kind != TextBlock::Kind::Stanza)
            poem_ = nullptr;
        switch (block.kind) {
        case TextBlock::Kind::Title: {
            section_ = builder_.AppendBlock(builder_.Body(), "section");
            xmlNode* title = builder_.AppendBlock(section_, "title");
            for (const QString& line : block.lines)
                Styled(builder_.AppendBlock(title, "p"), line);
            break;
        }
        case TextBlock::Kind::Paragraph:
            Styled(builder_.AppendBlock(Section(), "p"), block.lines.constFirst());
            break;
        case TextBlock::Kind::EmptyLine:
            builder_.AppendBlock(Section(), "empty-line");
            break;
        case TextBlock::Kind::Epigraph: {
            // Before the first section it is the whole book's epigraph.
            xmlNode* epigraph
                = builder_.AppendBlock(section_ ? section_ : builder_.Body(), "epigraph");
            for (const QString& line : block.lines)
                Styled(builder_.AppendBlock(epigraph, "p"), line);
            if (!block.textAuthor.isEmpty())
                Styled(builder_.AppendBlock(epigraph, "text-author"), block.textAuthor);
            break;
        }
        case TextBlock::Kind::Stanza: {
            if (block.poemStart || !poem_)
                poem_ = builder_.AppendBlock(Section(), "poem");
            xmlNode* stanza = builder_.AppendBlock(poem_, "stanza");
            for (const QString& verse : block.lines)
                Styled(builder_.AppendBlock(stanza, "v"), verse);
            break;
        }
        }
    }

private:
    xmlNode* Section()
    {
        if (!section_)
            section_ = builder_.AppendBlock(builder_.Body(), "section");
        return section_;
    }

    // The text with typography applied and _underscored_ words as emphasis.
    void Styled(xmlNode* element, const QString& line)
    {
        typography_.StartParagraph();
        const QString text = typography_.Apply(line);
        if (!italics_ || !text.contains(u'_')) {
            builder_.AppendText(element, text);
            return;
        }
        static const QRegularExpression underscored(
            QStringLiteral("(?<![\\w_])_(?=[^\\s_])(.+?)(?<=[^\\s_])_(?![\\w_])"),
            QRegularExpression::UseUnicodePropertiesOption);
        qsizetype done = 0;
        for (auto it = underscored.globalMatch(text); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            builder_.AppendText(element, QStringView(text).mid(done, match.capturedStart() - done));
            builder_.AppendText(builder_.AppendInline(element, "emphasis"), match.capturedView(1));
            done = match.capturedEnd();
        }
        builder_.AppendText(element, QStringView(text).mid(done));
    }

    Fb2Builder& builder_;
    Typography typography_;
    const bool italics_;
    xmlNode* section_ = nullptr;
    xmlNode* poem_ = nullptr;
};

} // namespace

ConversionResult ConvertTextBytesToFb2(
    const QByteArray& bytes, const QString& path, const ConverterOptions& options)
{
    if (LooksBinary(bytes))
        return ConversionFailure(QStringLiteral("\"%1\" is not a text file.").arg(path));
    QString text = DecodeDocumentText(bytes);
    ApplyRegexRules(options.onLoad, text);
    const std::vector<TextLine> lines = SplitTextLines(text, options.headers);

    Fb2TitleInfo info;
    info.lang = GuessLanguage(text);
    QStringList bodyTitle;
    const std::size_t from = FindAuthorAndTitle(lines, path, options, &info, &bodyTitle);
    const std::vector<TextBlock> blocks
        = LayOutText(lines, from, ChooseTextLayout(lines, options), options);
    if (std::none_of(blocks.begin(), blocks.end(),
            [](const TextBlock& block) { return block.kind != TextBlock::Kind::Title; }))
        return ConversionFailure(QStringLiteral("\"%1\" holds no text.").arg(path));

    Fb2Builder builder;
    if (!builder.Body())
        return ConversionFailure(QStringLiteral("Out of memory while building the document."));
    TextWriter writer(builder, options, info.lang);
    writer.BodyTitle(bodyTitle);
    for (const TextBlock& block : blocks)
        writer.Write(block);
    return FinishConversion(builder, info, options);
}

ConversionResult ConvertTextToFb2(const QString& path, const ConverterOptions& options)
{
    QByteArray bytes;
    QString message;
    if (!ReadDocumentBytes(path, &bytes, &message))
        return ConversionFailure(message);
    return ConvertTextBytesToFb2(bytes, path, options);
}

} // namespace lbv
