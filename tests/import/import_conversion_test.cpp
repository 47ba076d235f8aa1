// Documents converted during an import: where the result goes, what it says, and that nothing
// of the conversion is left behind.
#include "convert/converter_factory.h"
#include "import/book_placement.h"
#include "import/stored_book.h"
#include "import_fixture.h"
#include "text/messages.h"

#include <QDirIterator>

using namespace Qt::StringLiterals;

namespace lbv::test {
namespace {

// Wraps the real converter, noting the path each conversion got and whether the file was there.
class WatchingConverter final : public DocumentConverter {
public:
    bool SetProperty(const QString& name, const QVariant& value, QString* error) override
    {
        if (!refusedProperty.isEmpty() && name == refusedProperty) {
            *error = u"unknown property "_s + name;
            return false;
        }
        propertyNames << name;
        return inner_.SetProperty(name, value, error);
    }
    ConversionResult Convert(const QString& path) override
    {
        convertedPaths << path;
        sourceExisted = QFileInfo::exists(path);
        if (!failWith.isEmpty())
            return {nullptr, failWith};
        return inner_.Convert(path);
    }

    QStringList propertyNames;
    QStringList convertedPaths;
    bool sourceExisted = false;
    QString failWith;
    QString refusedProperty;

private:
    Any2Fb2Converter inner_ {QString()};
};

QByteArray Cp1251(const QString& text)
{
    return Encoded(text, 1251);
}

const QString kStory = u"Первая строка рассказа.\n\nВторая строка рассказа.\n"_s;

class ImportConversionTest : public ImportFixture {
protected:
    ImportContext ConvertingContext()
    {
        ImportContext context = Context();
        context.converter = &converter_;
        return context;
    }
    ImportRunSummary RunConverting(ImportOperation operation)
    {
        BookImporter importer(ConvertingContext());
        ImportRun run(list_, importer, nullptr);
        return run.RunHere(operation);
    }
    // A TXT member inside a one-book archive below the incoming folder; returns the archive.
    QString WriteTextInArchive(const QString& member, const QByteArray& bytes)
    {
        const QString archive = Path(u"incoming/texts.zip");
        QString error;
        EXPECT_TRUE(WriteBookIntoArchive(archive + u'@' + member, bytes, false, &error))
            << qPrintable(error);
        return archive;
    }
    QStringList TempFiles() const
    {
        QStringList files;
        QDirIterator it(Path(u"tmp"), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        return files;
    }
    QString Log() const { return sink_.Lines().join(u'\n'); }

    WatchingConverter converter_;
};

TEST_F(ImportConversionTest, ConvertedTextWithoutGenreGetsTheDefaultInCatalogAndFile)
{
    const QString source = Path(u"incoming/Пётр Лавров - Письма.txt"_s);
    WriteBytes(source, Cp1251(kStory));
    ASSERT_EQ(Add(source), 1);
    options_.defaultGenre = u"prose_classic"_s;

    const ImportRunSummary summary = RunConverting(ImportOperation::Standard);
    ASSERT_EQ(summary.ok, 1) << qPrintable(Log());

    const CBook* book = catalog_.FindBook(BookDescription {u"Пётр"_s, u"Лавров"_s, u"Письма"_s});
    ASSERT_NE(book, nullptr) << qPrintable(Log());
    EXPECT_EQ(book->genre, u"prose_classic");
    EXPECT_EQ(book->format, FormatFb2);
    EXPECT_EQ(book->file, Path(u"library/Пётр Лавров/Пётр Лавров. Письма.fb2"_s));

    // The file is FB2 in the book code page, its genre filled in, and reads back as the catalog.
    const QByteArray written = ReadBytes(book->file);
    EXPECT_TRUE(written.startsWith("<?xml version=\"1.0\" encoding=\"windows-1251\"?>"));
    CBookHeader reread(book->file, written.size());
    QString error;
    ASSERT_TRUE(reread.LoadFromBytes(written, &error)) << qPrintable(error);
    EXPECT_EQ(reread.genre, u"prose_classic");
    EXPECT_EQ(reread.title, u"Письма");
    EXPECT_TRUE(written.contains(Cp1251(u"Вторая строка рассказа."_s)));

    // The options went to the converter first, in their order; no warning about the genre.
    EXPECT_EQ(converter_.propertyNames.first(), u"PreserveForm");
    EXPECT_EQ(converter_.propertyNames.last(), u"OnResult");
    EXPECT_TRUE(sink_.Lines().startsWith(u"I Converting \"%1\"."_s.arg(source)));
    EXPECT_TRUE(sink_.Lines().contains(u"I Conversion successful: %1."_s.arg(book->file)));
    EXPECT_FALSE(Log().contains(u"Can't detect book genre"_s));
}

TEST_F(ImportConversionTest, JustConvertNeedsFolderAndMaskAndNeverCatalogues)
{
    const QString source = Path(u"incoming/Ann Vell - Sea Letters.txt"_s);
    WriteBytes(source, "The sea was calm.\n");
    Add(source);

    options_.convertedFilesDir = Path(u"converted"_s);
    options_.renameBookMask.clear();
    EXPECT_EQ(RunConverting(ImportOperation::JustConvert).failed, 1);
    EXPECT_TRUE(sink_.Lines().contains(u"E "_s + MessageText(Msg::ConvertedFilesMaskNotSet)));
    EXPECT_FALSE(QFileInfo::exists(Path(u"converted"_s))) << "nothing may be written";
    EXPECT_TRUE(list_.IsChecked(0)) << "the failed row stays for another run";

    sink_.Clear();
    options_.convertedFilesDir.clear();
    options_.renameBookMask = u"%f %l\\%t"_s;
    EXPECT_EQ(RunConverting(ImportOperation::JustConvert).failed, 1);
    EXPECT_TRUE(sink_.Lines().contains(u"E "_s + MessageText(Msg::ConvertedFilesDirNotSet)));

    options_.convertedFilesDir = Path(u"converted"_s);
    options_.useZipCompression = true;
    EXPECT_EQ(RunConverting(ImportOperation::JustConvert).ok, 1) << qPrintable(Log());
    const QString archive = Path(u"converted/Ann Vell/Sea Letters.zip"_s);
    QByteArray bytes;
    QString error;
    ASSERT_TRUE(
        ReadStoredBookBytes(archive + u"@Sea Letters.fb2"_s, CompressionZip, &bytes, &error))
        << qPrintable(error);
    EXPECT_TRUE(bytes.contains("<genre>SF</genre>"));
    EXPECT_EQ(BookCount(), 0);
    EXPECT_TRUE(TempFiles().isEmpty());
}

TEST_F(ImportConversionTest, TemporaryCopyOfAnArchiveMemberIsGoneWhateverTheOutcome)
{
    const QString archive
        = WriteTextInArchive(u"Ann Vell - Harbour.txt"_s, "Ships came in at dawn.\n");
    options_.copyFailedFiles = true;
    options_.failedFilesDir = Path(u"failed"_s);
    QDir().mkpath(options_.failedFilesDir);

    // The converter reports failure: its message as debug lines, the source copied aside.
    Add(archive);
    converter_.failWith = u"Broken input.\nLine 2 of the reason."_s;
    EXPECT_EQ(RunConverting(ImportOperation::Standard).failed, 1);
    ASSERT_EQ(converter_.convertedPaths.size(), 1);
    EXPECT_TRUE(converter_.convertedPaths[0].startsWith(Path(u"tmp"_s)));
    EXPECT_TRUE(converter_.sourceExisted);
    EXPECT_TRUE(TempFiles().isEmpty()) << qPrintable(TempFiles().join(u' '));
    const QStringList lines = sink_.Lines();
    EXPECT_TRUE(lines.contains(u"D Broken input."_s));
    EXPECT_TRUE(lines.contains(u"D Line 2 of the reason."_s));
    EXPECT_TRUE(lines.contains(
        u"E Error converting document \"%1\"."_s.arg(archive + u"@Ann Vell - Harbour.txt"_s)))
        << qPrintable(Log());
    EXPECT_EQ(ReadBytes(Path(u"failed/Ann Vell - Harbour.txt"_s)), "Ships came in at dawn.\n");

    // A refused option fails the book before anything is extracted.
    converter_.failWith.clear();
    converter_.refusedProperty = u"TextType"_s;
    converter_.convertedPaths.clear();
    EXPECT_EQ(RunConverting(ImportOperation::Standard).failed, 1);
    EXPECT_TRUE(converter_.convertedPaths.isEmpty());
    EXPECT_TRUE(sink_.Lines().contains(u"E COM error: unknown property TextType"_s));

    // Success: the book is filed as FB2 and the copy is gone too.
    converter_.refusedProperty.clear();
    EXPECT_EQ(RunConverting(ImportOperation::Standard).ok, 1) << qPrintable(Log());
    EXPECT_EQ(BookCount(), 1);
    EXPECT_TRUE(TempFiles().isEmpty()) << qPrintable(TempFiles().join(u' '));
}

TEST_F(ImportConversionTest, ADocumentTooLargeToConvertIsRefusedBeforeItIsUnpacked)
{
    // Conversion holds many times its source in memory: a small archive must not reach gigabytes.
    QByteArray text;
    while (text.size() <= 33 * 1024 * 1024)
        text += "Ships came in at dawn and left again at dusk, laden with salt.\n";
    const QString archive = WriteTextInArchive(u"Ann Vell - Harbour.txt"_s, text);
    text.clear();
    Add(archive);
    EXPECT_EQ(RunConverting(ImportOperation::Standard).failed, 1);
    EXPECT_TRUE(converter_.convertedPaths.isEmpty());
    const QString member = archive + u"@Ann Vell - Harbour.txt"_s;
    EXPECT_TRUE(sink_.Lines().contains(
        u"D \"%1\" is too large to convert (33 MB; the limit is 32 MB)."_s.arg(member)))
        << qPrintable(Log());
    EXPECT_TRUE(sink_.Lines().contains(u"E Error converting document \"%1\"."_s.arg(member)));
    EXPECT_EQ(BookCount(), 0);
}

TEST_F(ImportConversionTest, ConvertedBookAlreadyInTheCatalogIsSkippedOrReplaced)
{
    const QString source = Path(u"incoming/Ann Vell - Harbour.txt"_s);
    WriteBytes(source, "Ships came in at dawn.\n");
    Add(source);
    ASSERT_EQ(RunConverting(ImportOperation::Standard).ok, 1) << qPrintable(Log());
    const QString placed = Path(u"library/Ann Vell/Ann Vell. Harbour.fb2"_s);
    ASSERT_TRUE(QFileInfo::exists(placed)) << qPrintable(Log());

    // Skipped: "Already added", nothing written, the row done.
    WriteBytes(source, "Ships came in at noon.\n");
    Add(source);
    question_.answers = {ExistingBookQuestion::Answer::No};
    const ImportRunSummary skipped = RunConverting(ImportOperation::Standard);
    EXPECT_EQ(skipped.alreadyAdded, 1) << qPrintable(Log());
    EXPECT_EQ(question_.questions.size(), 1);
    EXPECT_FALSE(ReadBytes(placed).contains("noon"));

    // Replaced: the catalog entry and its file both take the new text.
    Add(source);
    question_.answers = {ExistingBookQuestion::Answer::Yes};
    EXPECT_EQ(RunConverting(ImportOperation::Standard).ok, 1) << qPrintable(Log());
    EXPECT_TRUE(ReadBytes(placed).contains("noon"));
    EXPECT_EQ(BookCount(), 1);
}

TEST_F(ImportConversionTest, DocumentWithoutAnAuthorFailsWithTheHeaderMessage)
{
    const QString source = Path(u"incoming/notes.txt"_s);
    WriteBytes(source, "Some notes.\n");
    Add(source);
    EXPECT_EQ(RunConverting(ImportOperation::Standard).failed, 1);
    EXPECT_TRUE(sink_.Lines().contains(u"E "_s + MessageText(Msg::Fb2NoAuthorName) + source))
        << qPrintable(Log());
    EXPECT_EQ(BookCount(), 0);
    EXPECT_FALSE(QFileInfo::exists(Path(u"library"_s)));
}

} // namespace
} // namespace lbv::test
