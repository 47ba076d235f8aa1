#include "gui/reader/reader_mouse.h"

#include "gui/common/font_color.h"
#include "gui/reader/page_painter.h"
#include "gui/reader/reader_dialogs.h"
#include "gui/reader/reader_view.h"
#include "gui/reader/text_popup.h"
#include "reader/book_progress.h"
#include "reader/entry_navigation.h"
#include "reader/key_map.h"
#include "reader/page_transform.h"
#include "reader/popup_layout.h"
#include "reader/reader_session.h"
#include "text/messages.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QPainter>

namespace lbv {

namespace {

QRect BoxRect(const PageTransform& transform, const PageBox& box)
{
    return ClientRect(transform, box.x, box.y, box.width, box.height);
}

} // namespace

ReaderMouse::ReaderMouse(CReaderView& view, const Page& page)
    : view_(view)
    , page_(page)
    , dictionaries_(DictionaryList::Load(view.store_))
{
}

ReaderMouse::~ReaderMouse() = default;

PageTransform ReaderMouse::Transform() const
{
    return PageTransform(view_.width(), view_.height(), view_.Session().Parameters().orientation);
}

std::optional<PageHit> ReaderMouse::HitAt(const QPoint& client) const
{
    ReaderSession& session = view_.Session();
    if (!session.IsOpen())
        return std::nullopt;
    const PagePoint point = Transform().ToPage(client.x(), client.y());
    return HitTest(page_, session.Formatter()->Geometry(), point.x, point.y);
}

bool ReaderMouse::SelectionShown() const
{
    const ReadingPosition& start = page_.start;
    return selection_ && view_.Session().IsOpen() && start.body == selectionPage_.body
        && start.paragraph == selectionPage_.paragraph && start.offset == selectionPage_.offset;
}

void ReaderMouse::Press(const QPoint& client)
{
    pressed_ = client;
    dragging_ = false;
    anchor_ = HitAt(client);
    selection_.reset();
    selectedText_.clear();
}

void ReaderMouse::Move(const QPoint& client)
{
    if (!pressed_)
        return;
    if (!dragging_) {
        if ((client - *pressed_).manhattanLength() < QApplication::startDragDistance())
            return;
        dragging_ = true;
        // The reading mark would turn the page under the selection.
        view_.StopAutoscroll();
    }
    const std::optional<PageHit> current = HitAt(client);
    if (!current)
        return;
    if (!anchor_)
        anchor_ = current;
    selection_ = SelectionBetween(page_, *anchor_, *current);
    selectionPage_ = page_.start;
    view_.update();
}

void ReaderMouse::Release(const QPoint& client, const QPoint& global)
{
    if (!pressed_)
        return;
    const bool dragged = dragging_;
    pressed_.reset();
    dragging_ = false;
    anchor_.reset();
    if (!dragged) {
        Tap(client);
        return;
    }
    if (SelectionShown())
        RunSelectionMenu(global);
    selection_.reset();
    view_.update();
}

void ReaderMouse::Tap(const QPoint& client)
{
    view_.StopAutoscroll();
    ReaderSession& session = view_.Session();
    if (!session.IsOpen())
        return;
    const PageTransform transform = Transform();
    const PagePoint point = transform.ToPage(client.x(), client.y());
    if (view_.ProgressBarHeight() > 0
        && point.y >= transform.PageHeight() - kProgressBarTapHeight) {
        TapProgressBar(point.x);
        return;
    }
    if (const auto hit = HitTest(page_, session.Formatter()->Geometry(), point.x, point.y))
        TapText(*hit);
}

void ReaderMouse::TapProgressBar(int x)
{
    const ProgressBarState state = view_.ProgressState();
    const ProgressBarTap tap = lbv::TapProgressBar(
        LayOutProgressBarFor(state, Transform().PageWidth()), x, state.length);
    switch (tap.action) {
    case ProgressBarTap::Action::PreviousSection:
        view_.RunCommand(int(ReaderCommand::PreviousSection));
        break;
    case ProgressBarTap::Action::NextSection:
        view_.RunCommand(int(ReaderCommand::NextSection));
        break;
    case ProgressBarTap::Action::Jump: {
        ReaderSession& session = view_.Session();
        view_.ShowPage(
            PositionAtOffset(*session.Document(), session.Position().body, tap.position), true);
        break;
    }
    case ProgressBarTap::Action::None:
        break;
    }
}

void ReaderMouse::TapText(const PageHit& hit)
{
    ReaderSession& session = view_.Session();
    const LayoutLine& line = page_.lines[std::size_t(hit.line)];
    const int top = line.y;
    const int bottom = line.y + line.height;
    const std::vector<BookEntry>& entries = session.State()->Entries();
    if (const auto bookmark = BookmarkAt(entries, line)) {
        ShowPopup(entries[std::size_t(*bookmark)].text, top, bottom);
        return;
    }
    if (hit.index >= line.length)
        return;
    const ReadingPosition& at = hit.position;
    const ParagraphView paragraph = session.Document()->GetParagraph(at.body, at.paragraph);
    if (const auto link = LinkAt(paragraph, at.offset)) {
        int body = 0;
        int target = 0;
        if (link->target.startsWith(u'#')
            && session.Document()->FindAnchor(link->target.mid(1), body, target))
            view_.ShowPage({target, 0, body}, true);
        else
            view_.dialogs_->Beep();
        return;
    }
    if (!dictionaries_.IsEnabled())
        return;
    if (const auto word = WordAt(paragraph.text, at.offset))
        Lookup(paragraph.text.mid(word->start, word->length), top, bottom);
}

Dictionary* ReaderMouse::CurrentDictionary()
{
    if (!dictionary_ && dictionaries_.IsEnabled()) {
        QString message;
        dictionary_ = OpenCurrentDictionary(dictionaries_, &message);
        if (!dictionary_)
            view_.dialogs_->ShowError(&view_, message);
    }
    return dictionary_.get();
}

void ReaderMouse::ReloadDictionary()
{
    dictionaries_ = DictionaryList::Load(view_.store_);
    dictionary_.reset();
    CurrentDictionary();
}

void ReaderMouse::Lookup(const QString& word, int anchorTop, int anchorBottom)
{
    Dictionary* dictionary = word.isEmpty() ? nullptr : CurrentDictionary();
    if (!dictionary)
        return;
    const DictionaryLookup found = dictionary->Lookup(word);
    switch (found.match) {
    case DictionaryMatch::Found:
        ShowPopup(dictionary->ArticleText(found.article), anchorTop, anchorBottom);
        break;
    case DictionaryMatch::Nearest:
        ShowPopup(
            MessageText(Msg::ReaderNearestArticle) + u'\n' + dictionary->ArticleText(found.article),
            anchorTop, anchorBottom);
        break;
    case DictionaryMatch::NotFound:
        view_.dialogs_->Beep();
        break;
    }
}

void ReaderMouse::ShowPopup(const QString& text, int anchorTop, int anchorBottom)
{
    ReaderSession& session = view_.Session();
    const PageTransform transform = Transform();
    const PopupLayout layout = LayOutPopup(*session.Formatter(), text, transform.PageWidth(),
        transform.PageHeight(), anchorTop, anchorBottom);
    FontBase base = session.Formatter()->Settings().font;
    base.rotation = transform.Rotation();
    if (!popup_)
        popup_ = std::make_unique<TextPopup>(view_.Measurer(), &view_);
    const QRect client = BoxRect(transform, layout.box);
    popup_->ShowText(text, layout, QRect(view_.mapToGlobal(client.topLeft()), client.size()), base,
        view_.Colors());
}

void ReaderMouse::RunSelectionMenu(const QPoint& global)
{
    const PageSelection selection = *selection_;
    const QString text = SelectionText(page_, selection.from, selection.to);
    selectedText_ = text;
    const std::optional<SelectionAction> action
        = view_.dialogs_->ChooseSelectionAction(&view_, global, dictionaries_.IsEnabled());
    if (!action || !SelectionShown())
        return;
    switch (*action) {
    case SelectionAction::Copy:
        QApplication::clipboard()->setText(text);
        break;
    case SelectionAction::AddBookmark: {
        const std::optional<QString> answer = view_.dialogs_->AskBookmarkText(&view_, text.simplified());
        if (answer && !answer->trimmed().isEmpty()) {
            view_.Session().State()->AddBookmark(ToBookPosition(selection.from.position), *answer);
            view_.update();
        }
        break;
    }
    case SelectionAction::Lookup: {
        const std::vector<PageBox> boxes
            = SelectionBoxes(page_, view_.Session().Formatter()->Geometry(), selection);
        if (!boxes.empty())
            Lookup(text.simplified(), boxes.front().y, boxes.back().y + boxes.back().height);
        break;
    }
    }
}

void ReaderMouse::PaintSelection(QPainter& painter, const PageTransform& transform) const
{
    if (!SelectionShown())
        return;
    const QColor color = ToQColor(ColorRef(view_.Colors()[ReaderColor::UserInputBackground]));
    painter.save();
    // Multiplied over the drawn text: the page's white takes the colour and the text stays dark.
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    for (const PageBox& box :
        SelectionBoxes(page_, view_.Session().Formatter()->Geometry(), *selection_))
        painter.fillRect(BoxRect(transform, box), color);
    painter.restore();
}

void CReaderView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        mouse_->Press(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void CReaderView::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        mouse_->Move(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

void CReaderView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        mouse_->Release(event->position().toPoint(), event->globalPosition().toPoint());
    QWidget::mouseReleaseEvent(event);
}

} // namespace lbv
