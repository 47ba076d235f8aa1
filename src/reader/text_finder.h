#pragma once
// Find in the open book: Knuth-Morris-Pratt over the paragraphs of one body, so a search that
// runs to the body's end reads every paragraph once and never steps back in the text.
#include "reader/document_source.h"
#include "reader/page_layout.h"

#include <QString>
#include <optional>
#include <vector>

namespace lbv {

// Without match case both sides are folded one UTF-16 unit at a time, keeping every offset of
// the paragraph where it was (locale lower-casing may change a text's length).
char16_t FoldForFind(char16_t unit);

class TextFinder {
public:
    // The document must outlive the finder.
    explicit TextFinder(DocumentSource& document);

    // A new search from the first paragraph of the body; nothing for an empty text or no hit.
    std::optional<FoundRange> FindFirst(int body, const QString& text, bool matchCase);
    // Goes on after the last hit; nothing when no search ran or the body holds no more.
    std::optional<FoundRange> FindNext();

    const QString& Text() const { return text_; }
    bool MatchCase() const { return matchCase_; }

private:
    std::optional<FoundRange> SearchFrom(int paragraph, int offset);
    int MatchIn(QStringView text, int from) const;

    DocumentSource& document_;
    QString text_; // as the user typed it
    QString pattern_; // folded unless matchCase_
    std::vector<int> failure_; // longest proper border of each prefix of pattern_
    bool matchCase_ = false;
    int body_ = 0;
    std::optional<FoundRange> last_;
};

} // namespace lbv
