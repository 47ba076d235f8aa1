#include "gui/reader/reader_toolbar.h"

#include "gui/reader/recent_books_menu.h"
#include "reader/key_map.h"
#include "text/menu_texts.h"

#include <QStyle>
#include <QToolButton>

namespace lbv {

namespace {

struct Button {
    ReaderCommand command;
    QStyle::StandardPixmap icon; // SP_CustomBase: the name is shown instead
};

constexpr QStyle::StandardPixmap kNoIcon = QStyle::SP_CustomBase;

// Groups separated by a null command: files, moving about, the page's look, settings.
constexpr Button kButtons[] = {
    {ReaderCommand::Open, QStyle::SP_DialogOpenButton},
    {ReaderCommand::Contents, QStyle::SP_FileDialogListView},
    {ReaderCommand::FileInfo, QStyle::SP_FileDialogInfoView},
    {ReaderCommand::None, kNoIcon},
    {ReaderCommand::Find, kNoIcon},
    {ReaderCommand::FindNext, kNoIcon},
    {ReaderCommand::Back, QStyle::SP_ArrowBack},
    {ReaderCommand::Forward, QStyle::SP_ArrowForward},
    {ReaderCommand::None, kNoIcon},
    {ReaderCommand::Rotate, QStyle::SP_BrowserReload},
    {ReaderCommand::FontBigger, kNoIcon},
    {ReaderCommand::FontSmaller, kNoIcon},
    {ReaderCommand::ToggleAutoscroll, QStyle::SP_MediaPlay},
    {ReaderCommand::ToggleFullscreen, QStyle::SP_TitleBarMaxButton},
    {ReaderCommand::None, kNoIcon},
    {ReaderCommand::AdvancedParameters, kNoIcon},
    {ReaderCommand::Colors, kNoIcon},
};

QString NameOf(ReaderCommand command)
{
    for (const ReaderAction& action : ReaderActions())
        if (action.command == command)
            return action.name;
    // The commands no key runs have their names among the menu texts, under the same ids.
    return MenuText(MenuItem(int(command)));
}

// Short faces for the buttons without a picture.
QString FaceOf(ReaderCommand command)
{
    switch (command) {
    case ReaderCommand::FontBigger:
        return QStringLiteral("A+");
    case ReaderCommand::FontSmaller:
        return QStringLiteral("A-");
    default:
        return NameOf(command);
    }
}

} // namespace

CReaderToolbar::CReaderToolbar(SettingsStore& store, QWidget* parent)
    : QToolBar(parent)
    , recent_(new CRecentBooksMenu(store, this))
{
    setObjectName(QStringLiteral("readerToolbar"));
    connect(recent_, &CRecentBooksMenu::commandChosen, this, &CReaderToolbar::commandChosen);
    for (const Button& button : kButtons) {
        if (button.command == ReaderCommand::None) {
            addSeparator();
            continue;
        }
        QAction* action = addAction(FaceOf(button.command));
        if (button.icon != kNoIcon)
            action->setIcon(style()->standardIcon(button.icon));
        action->setToolTip(NameOf(button.command));
        action->setStatusTip(NameOf(button.command));
        action->setData(int(button.command));
        connect(action, &QAction::triggered, this,
            [this, command = int(button.command)] { Q_EMIT commandChosen(command); });
        if (button.command == ReaderCommand::Open) {
            action->setMenu(recent_);
            if (auto* tool = qobject_cast<QToolButton*>(widgetForAction(action)))
                tool->setPopupMode(QToolButton::MenuButtonPopup);
        }
    }
}

QAction* CReaderToolbar::ActionFor(int command) const
{
    for (QAction* action : actions())
        if (action->data().isValid() && action->data().toInt() == command)
            return action;
    return nullptr;
}

} // namespace lbv
