#include "gui/shell/application.h"

#include "gui/common/font_color.h"
#include "gui/shell/command_line.h"
#include "gui/shell/frame_dialogs.h"
#include "gui/shell/main_frame.h"
#include "gui/shell/program_files.h"
#include "gui/shell/single_instance.h"
#include "gui/shell/window_placement.h"
#include "settings/qt_settings_backend.h"
#include "settings/settings_store.h"
#include "settings/startup_defaults.h"
#include "shelf/genre_dictionary.h"
#include "text/messages.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QPalette>
#include <QPointer>
#include <QScreen>

// Resources of a static library must be registered by name from outside any namespace.
static void InitIconResource()
{
    Q_INIT_RESOURCE(icons);
}

namespace lbv {

namespace {

// Engine errors in a message box with a stop icon, owned by the main window once there is one.
class MessageBoxErrorReporter final : public ErrorReporter {
public:
    void ShowError(const QString& caption, const QString& text) override
    {
        QMessageBox::critical(owner, caption, text);
    }
    QPointer<QWidget> owner;
};

StartupEnvironment CurrentEnvironment(const QStringList& programFolders)
{
    StartupEnvironment environment;
    const QPalette palette = QApplication::palette();
    environment.colors.window = ToColorRef(palette.color(QPalette::Base));
    environment.colors.windowText = ToColorRef(palette.color(QPalette::Text));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        environment.dpi = qRound(screen->logicalDotsPerInchY());
    // Where the program's own copy is, so an installed program does not point beside /usr/bin.
    const QString genreDict = QStringLiteral("genre-dict.xml");
    environment.genreDictPath = FindProgramFile(genreDict, programFolders);
    if (environment.genreDictPath.isEmpty())
        environment.genreDictPath = QDir(programFolders.first()).filePath(genreDict);
    return environment;
}

void LoadGenreDictionary(SettingsStore& settings)
{
    QString error;
    if (!LoadProgramGenreDictionary(settings, &error))
        QMessageBox::information(nullptr, MessageText(Msg::ProgramTitle), error);
}

bool AllowsOnlyOneInstance(SettingsStore& settings)
{
    // On unless the user turned it off: a desktop program opens files in its one window.
    const int allow = settings.GetProfileInt(
        QStringLiteral("Parameters"), QStringLiteral("AllowOnlyOneInstance"), 1);
    return allow != 0;
}

QList<QRect> ScreenRectangles()
{
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->geometry());
    return screens;
}

} // namespace

int RunLibravon(QApplication& app, const std::function<void(CMainFrame&)>& afterShow)
{
    QCoreApplication::setOrganizationName(ProfileOrganisation());
    QCoreApplication::setApplicationName(ProfileApplication());
    // Ties the windows to the desktop entry (and its icon) on Wayland and in task bars.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.marrowfield.Libravon"));
    InitIconResource();
    QApplication::setWindowIcon(QIcon::fromTheme(
        QStringLiteral("com.marrowfield.Libravon"), QIcon(QStringLiteral(":/icons/libravon.png"))));
    const CommandLine commandLine = ParseCommandLine(app.arguments().mid(1));

    InstallAppSettings(std::make_unique<SettingsStore>(
        QtSettingsBackend::UserScope(ProfileOrganisation(), ProfileApplication()),
        commandLine.autorun, DefaultIniPath()));
    SettingsStore& settings = AppSettings();
    // A read-only autorun window stays on its own: it neither serves nor hands over.
    SingleInstance instance(SingleInstance::DefaultServerPath());
    if (!commandLine.autorun && AllowsOnlyOneInstance(settings)
        && instance.Start(HandOverArguments(commandLine, QDir::currentPath()))
            == SingleInstance::Outcome::HandedOver)
        return 0;
    auto reporter = std::make_shared<MessageBoxErrorReporter>();
    settings.SetErrorReporter(reporter);

    const QString programFolder = QCoreApplication::applicationDirPath();
    const QStringList programFolders = ProgramFileFolders(programFolder);
    EnsureStartupDefaults(settings, CurrentEnvironment(programFolders));
    const QString helpBook = EnsureHelpBook(programFolders, !settings.Autorun());
    if (helpBook.isEmpty()) {
        QMessageBox::critical(nullptr, MessageText(Msg::Error),
            MessageText(Msg::FatalFileNotFound).arg(QDir(programFolder).filePath(kHelpBookName)));
        return 1;
    }
    LoadGenreDictionary(settings);

    StandardFrameDialogs dialogs;
    CMainFrame frame(settings, dialogs, commandLine.file);
    frame.SetStartAction(commandLine.action);
    QObject::connect(&instance, &SingleInstance::argumentsReceived, &frame,
        [&frame](const QStringList& handed) { frame.TakeHandedOver(ParseCommandLine(handed)); });
    reporter->owner = &frame;
    const std::optional<WindowPlacement> placement = DecodePlacement(
        settings.GetProfileBinary(QStringLiteral("MainWindow"), QStringLiteral("FrameWndPlacement"))
            .value_or(QByteArray()));
    if (placement && IsOnScreen(*placement, ScreenRectangles()))
        ShowWithPlacement(frame, *placement);
    else
        frame.show();
    frame.StartReader(helpBook);
    if (afterShow)
        afterShow(frame);
    const int result = app.exec();
    settings.Flush();
    return result;
}

} // namespace lbv
