#pragma once
// The reader page's mouse: taps on the progress bar, on bookmarks, links and words, and drags
// that select text for the selection's menu (copy, add a bookmark, look up). Also the current
// dictionary, opened at the first lookup or when the dictionary setting changes.
#include "reader/dictionary_list.h"
#include "reader/page_hit_test.h"

#include <QPoint>
#include <memory>
#include <optional>

class QPainter;

namespace lbv {

class CReaderView;
class PageTransform;
class TextPopup;

class ReaderMouse {
public:
    // The view owns the mouse and outlives it; page is the view's shown page.
    ReaderMouse(CReaderView& view, const Page& page);
    ~ReaderMouse();

    // Client coordinates of the view; global ones place the selection's menu.
    void Press(const QPoint& client);
    void Move(const QPoint& client);
    void Release(const QPoint& client, const QPoint& global);

    // The selection over the painted page.
    void PaintSelection(QPainter& painter, const PageTransform& transform) const;

    // The text of the last selection made, until the next press; Find starts with it.
    const QString& SelectedText() const { return selectedText_; }

    // The dictionary setting changed: the list is read again and the current one opened.
    void ReloadDictionary();

private:
    void Tap(const QPoint& client);
    void TapProgressBar(int x);
    void TapText(const PageHit& hit);
    void Lookup(const QString& word, int anchorTop, int anchorBottom);
    void ShowPopup(const QString& text, int anchorTop, int anchorBottom);
    void RunSelectionMenu(const QPoint& global);
    // Null after telling the user why it can't be opened.
    Dictionary* CurrentDictionary();
    std::optional<PageHit> HitAt(const QPoint& client) const;
    PageTransform Transform() const;
    // The selection belongs to the page it was made on.
    bool SelectionShown() const;

    CReaderView& view_;
    const Page& page_;
    DictionaryList dictionaries_;
    std::unique_ptr<Dictionary> dictionary_;
    std::unique_ptr<TextPopup> popup_;
    std::optional<QPoint> pressed_;
    bool dragging_ = false;
    std::optional<PageHit> anchor_;
    std::optional<PageSelection> selection_;
    ReadingPosition selectionPage_;
    QString selectedText_;
};

} // namespace lbv
