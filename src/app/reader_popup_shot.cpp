#include "app/reader_popup_shot.h"

#include "app/shot_saving.h"

#include "gui/reader/reader_view.h"
#include "reader/reader_session.h"

#include <QApplication>
#include <QMouseEvent>

namespace lbv {

void SaveBookmarkPopupShot(CReaderView& reader, QWidget& window, const QString& path)
{
    ReaderSession& session = reader.Session();
    if (!session.IsOpen())
        return;
    const ReadingPosition at = session.Position();
    session.State()->AddBookmark({at.paragraph, at.offset, at.body},
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
}

} // namespace lbv
