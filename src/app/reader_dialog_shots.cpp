#include "app/reader_dialog_shots.h"

#include "app/shot_saving.h"

#include "gui/reader/contents_dialog.h"
#include "gui/reader/open_file_dialog.h"
#include "gui/reader/reader_dialogs.h"
#include "gui/reader/reader_view.h"
#include "reader/entry_navigation.h"
#include "reader/reader_session.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QDir>

namespace lbv {
namespace {

// The tour's own bookmarks are taken away again once shown.
void DeleteUserBookmark(BookState& state, const BookPosition& at)
{
    const std::vector<BookEntry>& entries = state.Entries();
    for (int entry = 0; entry < int(entries.size()); ++entry)
        if (entries[size_t(entry)].IsUserBookmark() && entries[size_t(entry)].position == at) {
            state.DeleteBookmark(entry);
            return;
        }
}

void SaveContentsShot(CReaderView& reader, const QDir& folder)
{
    if (!reader.Session().IsOpen())
        return;
    BookState& state = *reader.Session().State();
    BookPosition mark = ToBookPosition(reader.Session().Position());
    if (state.Entries().size() > 2)
        mark = state.Entries()[1].position;
    mark.offset += 1; // just inside the section: listed under its title
    state.AddBookmark(mark, QStringLiteral("A place to come back to"));
    {
        StandardReaderDialogs asks;
        CContentsDialog contents(state, asks, mark, &reader);
        contents.show();
        QCoreApplication::processEvents();
        SaveShot(contents, folder.filePath(QStringLiteral("2-reader-contents.png")));
    }
    DeleteUserBookmark(state, mark);
}

void SaveOpenFileShot(CReaderView& reader, const QString& archive, const QDir& folder)
{
    // A store of its own: the shot must not move the user's OpenPath.
    SettingsStore store(std::make_unique<MemorySettingsBackend>());
    StandardReaderDialogs asks;
    COpenFileDialog open(store, reader.Session().SourceOptions(), asks, &reader);
    open.Enter(archive);
    open.show();
    QCoreApplication::processEvents();
    SaveShot(open, folder.filePath(QStringLiteral("2-reader-open-file.png")));
}

} // namespace

void SaveReaderDialogShots(CReaderView& reader, const QString& archive, const QString& folder)
{
    SaveContentsShot(reader, QDir(folder));
    if (!archive.isEmpty())
        SaveOpenFileShot(reader, archive, QDir(folder));
}

void SaveBookmarkPopupShot(CReaderView& reader, QWidget& window, const QString& path)
{
    ReaderSession& session = reader.Session();
    if (!session.IsOpen())
        return;
    const BookPosition at = ToBookPosition(session.Position());
    session.State()->AddBookmark(at,
        QStringLiteral("Where the reading began.\nA tap on a bookmarked line shows its text "
                       "here; a click or a key closes it."));
    const QPoint firstLine(reader.width() / 2, 4);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent tap(type, firstLine, reader.mapToGlobal(firstLine), Qt::LeftButton,
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&reader, &tap);
    }
    QCoreApplication::processEvents();
    SaveScreenShot(window, path);
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    DeleteUserBookmark(*session.State(), at);
}

} // namespace lbv
