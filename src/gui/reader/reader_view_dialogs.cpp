// The reader view's dialogs: Find, Contents, Open file and File information.
#include "gui/common/wait_cursor.h"
#include "gui/reader/contents_dialog.h"
#include "gui/reader/file_info_dialog.h"
#include "gui/reader/find_text_dialog.h"
#include "gui/reader/open_file_dialog.h"
#include "gui/reader/reader_dialogs.h"
#include "gui/reader/reader_view.h"
#include "reader/document_description.h"
#include "reader/entry_navigation.h"
#include "reader/reader_session.h"

namespace lbv {

void CReaderView::SetDialogs(std::unique_ptr<ReaderDialogs> dialogs)
{
    dialogs_ = std::move(dialogs);
}

void CReaderView::SetSelectionSource(std::function<QString()> selection)
{
    selection_ = std::move(selection);
}

void CReaderView::Find()
{
    ReaderSession& session = Session();
    if (!session.IsOpen())
        return;
    // A hit lies inside one paragraph, so a selection across paragraphs gives its first line.
    QString preset = selection_ ? selection_().section(u'\n', 0, 0) : QString();
    if (preset.isEmpty())
        preset = findText_;
    CFindTextDialog dialog(preset, findMatchCase_, this);
    if (!dialogs_->Run(dialog) || dialog.Text().isEmpty())
        return;
    findText_ = dialog.Text();
    findMatchCase_ = dialog.MatchCase();
    std::optional<FoundRange> hit;
    {
        const WaitCursor wait;
        hit = session.Finder()->FindFirst(session.Position().body, findText_, findMatchCase_);
    }
    ShowFound(hit ? &*hit : nullptr);
}

void CReaderView::FindNext()
{
    ReaderSession& session = Session();
    if (!session.IsOpen())
        return;
    TextFinder& finder = *session.Finder();
    // Nothing searched in this book yet: the last text is looked for from its start.
    if (finder.Text().isEmpty() && findText_.isEmpty()) {
        Find();
        return;
    }
    std::optional<FoundRange> hit;
    {
        const WaitCursor wait;
        hit = finder.Text().isEmpty()
            ? finder.FindFirst(session.Position().body, findText_, findMatchCase_)
            : finder.FindNext();
    }
    ShowFound(hit ? &*hit : nullptr);
}

void CReaderView::ShowContents()
{
    ReaderSession& session = Session();
    if (!session.IsOpen())
        return;
    CContentsDialog dialog(*session.State(), *dialogs_, ToBookPosition(session.Position()), this);
    const bool accepted = dialogs_->Run(dialog);
    update(); // deleted bookmarks leave the progress bar's ticks
    const std::optional<BookPosition> chosen = dialog.Chosen();
    if (!accepted || !chosen)
        return;
    ChangedByOtherMeans();
    ShowPage(ToReadingPosition(*chosen), true);
}

void CReaderView::ChooseFileToOpen()
{
    COpenFileDialog dialog(store_, Session().SourceOptions(), *dialogs_, this);
    if (dialogs_->Run(dialog))
        Open(dialog.ChosenPath());
}

void CReaderView::ShowFileInformation()
{
    ReaderSession& session = Session();
    if (!session.IsOpen())
        return;
    CFileInfoDialog dialog(
        DocumentDescription(*session.Document(), session.Path(), session.State()->Encoding()),
        this);
    dialogs_->Run(dialog);
}

} // namespace lbv
