#include "reader_test_support.h"

#include "reader/content_kind.h"
#include "reader/document_factory.h"
#include "text/code_pages.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace lbv {
namespace {

TEST(DocumentFactory, BuildsTheDocumentOfEachKindAndReportsProgress)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"book.fb2"_qs);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray book = test::Fb2Body("<section><p>Hello there</p></section>");
    file.write(book);
    file.close();

    std::vector<std::pair<int64_t, int64_t>> progress;
    DocumentOptions options;
    options.observer.progress = [&](int64_t at, int64_t total) { progress.push_back({at, total}); };
    QString error;
    auto fb2 = OpenDocument(path, -1, -1, {}, options, error);
    ASSERT_TRUE(fb2) << error.toStdString();
    EXPECT_EQ(test::BodyTexts(*fb2, 0), QStringList {u"Hello there"_qs});
    EXPECT_EQ(fb2->SourceDescription(), u"None");
    ASSERT_GE(progress.size(), 3u);
    EXPECT_EQ(progress.front().first, 0);
    EXPECT_EQ(progress.front().second, book.size());
    EXPECT_GT(progress.back().first, progress[1].first);

    // The same bytes forced to be read as text.
    auto text = OpenDocument(path, kTextLinePerParagraph, -1, {}, {}, error);
    ASSERT_TRUE(text);
    EXPECT_GT(text->ParagraphCount(0), 1);
    EXPECT_EQ(text->GetParagraph(0, 0).text, u"<?xml version=\"1.0\" encoding=\"utf-8\"?>");

    EXPECT_FALSE(OpenDocument(path, 9, -1, {}, {}, error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_FALSE(CreateDocument(std::make_unique<MemoryByteSource>("<?xml version=\"1.0\"?><x/>"),
        kDocumentFb2, -1, {}, error));
    EXPECT_EQ(error, u"Not a FictionBook2 document");
}

TEST(DocumentFactory, ForcedCodePageOverridesTheDeclaration)
{
    // Declared UTF-8 but written in windows-1251: the strict parse fails and the book opens
    // repaired; forcing the code page reads it right without repair.
    const QByteArray book = test::Fb2Body("<section><p>\xC4\xEE\xEC</p></section>");
    QString error;
    auto guessed
        = CreateDocument(std::make_unique<MemoryByteSource>(book), kDocumentFb2, -1, {}, error);
    ASSERT_TRUE(guessed);
    EXPECT_FALSE(guessed->RepairNote().isEmpty());
    auto forced = CreateDocument(std::make_unique<MemoryByteSource>(book), kDocumentFb2,
        FindCodePage(u"windows-1251"), {}, error);
    ASSERT_TRUE(forced) << error.toStdString();
    EXPECT_TRUE(forced->RepairNote().isEmpty());
    EXPECT_EQ(test::BodyTexts(*forced, 0), QStringList {u"Дом"_qs});
}

TEST(DocumentFactory, Utf16BooksOpenAsFb2WithOrWithoutAByteOrderMark)
{
    const QString book = QString::fromUtf8(test::Fb2Body("<section><p>Фёдор Тестов</p></section>"))
                             .replace(u"utf-8"_qs, u"UTF-16"_qs);
    const QByteArray little(reinterpret_cast<const char*>(book.utf16()), book.size() * 2);
    QByteArray big = little;
    for (qsizetype i = 0; i + 1 < big.size(); i += 2)
        std::swap(big[i], big[i + 1]);
    for (const QByteArray& bytes :
        {QByteArray("\xFF\xFE" + little), little, QByteArray("\xFE\xFF" + big), big}) {
        auto source = std::make_unique<MemoryByteSource>(bytes);
        const int kind = DetectSourceKind(*source);
        EXPECT_EQ(kind, kDocumentFb2);
        QString error;
        auto document = CreateDocument(std::move(source), kind, -1, {}, error);
        ASSERT_TRUE(document) << error.toStdString();
        EXPECT_EQ(test::BodyTexts(*document, 0), QStringList {u"Фёдор Тестов"_qs});
    }
}

TEST(DocumentFactory, ABookWithoutADeclarationIsReadInTheCodePageItsTextShows)
{
    // "Фёдор Тестов, рассказ о доме" in windows-1251, with no XML declaration at all.
    const QByteArray text = "\xD4\xB8\xE4\xEE\xF0 \xD2\xE5\xF1\xF2\xEE\xE2, \xF0\xE0\xF1\xF1\xEA"
                            "\xE0\xE7 \xEE \xE4\xEE\xEC\xE5";
    QByteArray book = test::Fb2Body("<section><p>" + text + "</p></section>");
    book.remove(0, book.indexOf("<FictionBook"));
    auto source = std::make_unique<MemoryByteSource>(book);
    const int kind = DetectSourceKind(*source);
    EXPECT_EQ(kind, kDocumentFb2);
    QString error;
    auto document = CreateDocument(std::move(source), kind, -1, {}, error);
    ASSERT_TRUE(document) << error.toStdString();
    EXPECT_EQ(test::BodyTexts(*document, 0), QStringList {u"Фёдор Тестов, рассказ о доме"_qs});
}

} // namespace
} // namespace lbv
