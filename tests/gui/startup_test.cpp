#include "gui/shell/command_line.h"
#include "gui/shell/frame_dialogs.h"
#include "gui/shell/program_files.h"
#include "gui/shell/window_placement.h"
#include "text/messages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace lbv;

TEST(CommandLine, AutorunSwitchInAnyCaseWithEitherSwitchCharacter)
{
    for (const char* word : {"/autorun", "-autorun", "/AUTORUN", "-AutoRun"})
        EXPECT_TRUE(ParseCommandLine({QString::fromLatin1(word)}).autorun) << word;
    for (const char* word : {"autorun", "--autorun", "/autorunx", "/auto"})
        EXPECT_FALSE(ParseCommandLine({QString::fromLatin1(word)}).autorun) << word;
    EXPECT_FALSE(ParseCommandLine({}).autorun);
}

TEST(CommandLine, FirstArgumentThatIsNoOptionNamesTheFile)
{
    // Absolute paths start with a slash and are still files.
    const CommandLine line = ParseCommandLine({QStringLiteral("-style"),
        QStringLiteral("/AUTORUN"), QStringLiteral("/books/Index.LVF"), QStringLiteral("b.fb2")});
    EXPECT_TRUE(line.autorun);
    EXPECT_EQ(line.file, QStringLiteral("/books/Index.LVF"));
    EXPECT_TRUE(ParseCommandLine({QStringLiteral("-autorun")}).file.isEmpty());
}

TEST(CommandLine, IndexFilesAreKnownByTheirExtensionInAnyCase)
{
    EXPECT_TRUE(IsIndexFileName(QStringLiteral("/lib/index.lvf")));
    EXPECT_TRUE(IsIndexFileName(QStringLiteral("INDEX.LVF")));
    EXPECT_FALSE(IsIndexFileName(QStringLiteral("/lib/index.xml")));
    EXPECT_FALSE(IsIndexFileName(QStringLiteral("/lib/book.fb2")));
    EXPECT_FALSE(IsIndexFileName(QStringLiteral("/lib/lvf")));
    EXPECT_FALSE(IsIndexFileName(QStringLiteral("untitled")));

    EXPECT_EQ(WithIndexExtension(QStringLiteral("/lib/index.xml")), QStringLiteral("/lib/index.lvf"));
    EXPECT_EQ(WithIndexExtension(QStringLiteral("untitled")), QStringLiteral("untitled.lvf"));
    EXPECT_EQ(WithIndexExtension(QStringLiteral("/my.books/index")), QStringLiteral("/my.books/index.lvf"));
}

TEST(ProgramFiles, FoundBesideTheProgramFirstThenInTheDataFolders)
{
    QTemporaryDir root;
    const QString program = root.filePath(QStringLiteral("bin"));
    const QString data = root.filePath(QStringLiteral("share/libravon"));
    QDir().mkpath(program);
    QDir().mkpath(data);
    const QStringList folders = ProgramFileFolders(program);
    ASSERT_GE(folders.size(), 2);
    EXPECT_EQ(folders[0], program);
    EXPECT_EQ(folders[1], data);

    const QString name = QStringLiteral("genre-dict.xml");
    EXPECT_TRUE(FindProgramFile(name, folders).isEmpty());
    QFile(QDir(data).filePath(name)).open(QIODevice::WriteOnly);
    EXPECT_EQ(FindProgramFile(name, folders), QDir(data).filePath(name));
    QFile(QDir(program).filePath(name)).open(QIODevice::WriteOnly);
    EXPECT_EQ(FindProgramFile(name, folders), QDir(program).filePath(name));
}

TEST(ProgramFiles, HelpBookIsWrittenFromTheProgramWhenMissingButNotInAutorun)
{
    QTemporaryDir root;
    // A folder below a plain file can never be created or written, whoever runs the test.
    QFile(root.filePath(QStringLiteral("file"))).open(QIODevice::WriteOnly);
    const QString unwritable = root.filePath(QStringLiteral("file/libravon"));
    const QString writable = root.filePath(QStringLiteral("user/libravon"));
    const QStringList folders {unwritable, writable};

    EXPECT_TRUE(EnsureHelpBook(folders, false).isEmpty());
    EXPECT_FALSE(QFile::exists(QDir(writable).filePath(kHelpBookName)));

    const QString written = EnsureHelpBook(folders, true);
    EXPECT_EQ(written, QDir(writable).filePath(kHelpBookName));
    QFile book(written);
    ASSERT_TRUE(book.open(QIODevice::ReadOnly));
    const QByteArray bytes = book.readAll();
    EXPECT_EQ(bytes, HelpBookResource());
    EXPECT_TRUE(bytes.contains("<FictionBook"));
    EXPECT_TRUE(bytes.contains("<book-title>Libravon Help</book-title>"));

    // Once present it is found, in autorun mode too, and never rewritten.
    EXPECT_EQ(EnsureHelpBook(folders, false), written);
}

TEST(WindowPlacement, RecordKeepsItsFortyFourByteLayout)
{
    WindowPlacement placement;
    placement.showState = WindowPlacement::ShowMaximized;
    placement.normal = QRect(QPoint(10, 20), QSize(640, 480));
    const QByteArray bytes = EncodePlacement(placement);
    ASSERT_EQ(bytes.size(), 44);
    EXPECT_EQ(bytes.left(4), QByteArray("\x2c\0\0\0", 4));
    // left, top, right, bottom at the end, right and bottom exclusive
    EXPECT_EQ(bytes.mid(28, 16),
        QByteArray("\x0a\0\0\0\x14\0\0\0\x8a\x02\0\0\xf4\x01\0\0", 16));

    const auto decoded = DecodePlacement(bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->showState, quint32(WindowPlacement::ShowMaximized));
    EXPECT_EQ(decoded->normal, placement.normal);

    EXPECT_FALSE(DecodePlacement(bytes.left(43)));
    EXPECT_FALSE(DecodePlacement(bytes + '\0'));
    QByteArray wrongLength = bytes;
    wrongLength[0] = 40;
    EXPECT_FALSE(DecodePlacement(wrongLength));
}

TEST(WindowPlacement, RestoredOnlyWhenItMeetsAScreen)
{
    const QList<QRect> screens {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    WindowPlacement placement;
    placement.normal = QRect(1800, 100, 400, 300); // across both screens
    EXPECT_TRUE(IsOnScreen(placement, screens));
    placement.normal = QRect(3000, 900, 400, 300); // mostly off the second screen
    EXPECT_TRUE(IsOnScreen(placement, screens));
    placement.normal = QRect(-900, -700, 400, 300);
    EXPECT_FALSE(IsOnScreen(placement, screens));
    placement.normal = QRect(100, 1100, 400, 300); // below the first screen
    EXPECT_FALSE(IsOnScreen(placement, screens));
    placement.normal = QRect();
    EXPECT_FALSE(IsOnScreen(placement, screens));
}

TEST(FileDialogFilters, IndexFiltersBecomeQtNameFilters)
{
    EXPECT_EQ(NameFilters(MessageText(Msg::OpenIndexFilter)),
        (QStringList {QStringLiteral("Compressed index (*.lvf)"),
            QStringLiteral("Uncompressed index (*.xml)"), QStringLiteral("All Files (*.*)")}));
    // The save filter names no patterns of its own; its description does.
    EXPECT_EQ(NameFilters(MessageText(Msg::SaveIndexFilter)),
        QStringList {QStringLiteral("Compressed index (*.lvf)")});
    EXPECT_EQ(NameFilters(QStringLiteral("Books|*.fb2;*.zip|Text|*.txt||")),
        (QStringList {QStringLiteral("Books (*.fb2 *.zip)"), QStringLiteral("Text (*.txt)")}));
}
