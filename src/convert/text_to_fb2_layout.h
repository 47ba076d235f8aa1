#pragma once
// How plain text is laid out, read from its lines: where paragraphs begin (at indented lines,
// after blank lines, or at every line), which lines are section titles, epigraphs and verse.
// The result is a list of blocks that the text converter writes as FB2.
#include "convert/converter_options.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

namespace lbv {

struct TextLine {
    QStringView raw; // without the line break and trailing blanks
    QStringView text; // without leading blanks either
    int indent = 0; // columns of leading blanks (a tab reaches the next multiple of 8)
    bool heading = false; // matches the headers expression
    bool IsBlank() const { return text.isEmpty(); }
};

// Splits decoded text at CR LF, LF or CR. The views point into `text`, which must outlive them.
std::vector<TextLine> SplitTextLines(const QString& text, const QRegularExpression& headers);

enum class TextLayout {
    LinePerParagraph, // every line is a paragraph (broken lines may be joined)
    Indented, // an indented line starts a paragraph
    EmptyLines, // blank lines separate paragraphs
    PreserveForm, // every line a paragraph, its blanks kept
};

// The layout the options ask for, or the one the text shows when the text type is Auto.
TextLayout ChooseTextLayout(const std::vector<TextLine>& lines, const ConverterOptions& options);

struct TextBlock {
    enum class Kind { Title, Paragraph, EmptyLine, Epigraph, Stanza };
    Kind kind = Kind::Paragraph;
    QStringList lines; // a title's or epigraph's lines, a stanza's verses, a paragraph's text
    QString textAuthor; // an epigraph's author line
    bool poemStart = false; // a stanza that begins a poem
};

// Lays out lines[from..] (the lines before `from` were taken as the book's author and title).
std::vector<TextBlock> LayOutText(const std::vector<TextLine>& lines, std::size_t from,
    TextLayout layout, const ConverterOptions& options);

} // namespace lbv
