#include "reader_test_support.h"

#include "reader/element_styles.h"
#include "reader/fb2_document.h"
#include "reader/reader_settings.h"
#include "text/messages.h"

#include <gtest/gtest.h>

namespace lbv {
namespace {

using test::BodyTexts;
using test::Colour;
using test::Fb2;
using test::Fb2Body;
using test::LoadFb2;

TEST(Fb2Document, RejectsARootThatIsNotFictionBookInItsNamespace)
{
    for (const QByteArray& bytes :
        {QByteArray("<?xml version=\"1.0\"?><html><body><p>x</p></body></html>"),
            QByteArray("<?xml version=\"1.0\"?><FictionBook xmlns=\"urn:other\"><body><p>text "
                       "here</p></body></FictionBook>"),
            QByteArray("<?xml version=\"1.0\"?><FictionBook><body><p>text</p></body></FictionBook>")}) {
        const auto loaded = LoadFb2(bytes);
        EXPECT_FALSE(loaded.ok);
        EXPECT_EQ(loaded.error, u"Not a FictionBook2 document");
        EXPECT_EQ(loaded.document->BodyCount(), 0);
    }
}

TEST(Fb2Document, ReportsXmlErrorsWithLineAndColumn)
{
    const auto loaded = LoadFb2("<?xml version=\"1.0\"?>\n<FictionBook xmlns=\"http://www.gribuser.ru/"
                                "xml/fictionbook/2.0\">\n<body><p>a</b></body></FictionBook>");
    // The book opens repaired; the strict parse's error stays available.
    ASSERT_TRUE(loaded.ok);
    EXPECT_EQ(
        loaded.document->RepairNote(), u"XML parse error: mismatched tag at line 3, column 13");
    EXPECT_EQ(BodyTexts(*loaded.document, 0), QStringList {u"a"_qs});
}

TEST(Fb2Document, FoldsWhitespaceAcrossAnEmphasis)
{
    const auto loaded = LoadFb2(Fb2Body("<section><p>  first  <emphasis>  second  </emphasis>  "
                                        "third  </p></section>"));
    ASSERT_TRUE(loaded.ok) << loaded.error.toStdString();
    auto& doc = *loaded.document;
    const QStringList texts = BodyTexts(doc, 0);
    ASSERT_EQ(texts.size(), 1);
    EXPECT_EQ(texts[0], u"first second third");
    const int p = doc.ParagraphAtOffset(0, doc.ParagraphStart(0, 0) + 1);
    const ParagraphView view = doc.GetParagraph(0, p);
    EXPECT_EQ(Colour(view.attributes[0]), 0);
    EXPECT_EQ(Colour(view.attributes[6]), 5); // "second" in the Emphasis colour
    EXPECT_EQ(Colour(view.attributes[14]), 0);
    EXPECT_EQ(view.firstLineIndent, 3);
}

TEST(Fb2Document, KeepsShortPooledAndEntityTextInOrder)
{
    // Short pieces are stored inline, entity text in the pool, long pieces as byte ranges.
    const auto loaded = LoadFb2(Fb2Body(
        "<section><p>A<strong>bc</strong>&amp;defgh <emphasis>ij</emphasis>&#x41;&#x42;klmnop</p>"
        "<p>soft\xC2\xAD" "hyphen</p></section>"));
    ASSERT_TRUE(loaded.ok);
    auto& doc = *loaded.document;
    const QStringList texts = BodyTexts(doc, 0);
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], u"Abc&defgh ijABklmnop");
    EXPECT_EQ(texts[1], u"softhyphen");
    for (int i = 0; i < doc.ParagraphCount(0); ++i) {
        const ParagraphView view = doc.GetParagraph(0, i);
        EXPECT_EQ(view.text.size(), doc.ParagraphLength(0, i));
        if (view.text == u"softhyphen") {
            EXPECT_TRUE(view.attributes[4] & kAttrHyphenBreak);
            EXPECT_FALSE(view.attributes[3] & kAttrHyphenBreak);
        }
    }
}

TEST(Fb2Document, NamesBodiesAndAppendsTheDescription)
{
    const auto loaded = LoadFb2(Fb2("<description><title-info><genre>sf</genre><author><first-name>"
                                     "Ivar</first-name><last-name>Kessel</last-name></author>"
                                     "</title-info></description>"
                                     "<body><section><p>Main text</p></section></body>"
                                     "<body name=\"notes\"><section id=\"n1\"><p>Note one</p>"
                                     "</section></body><body><p>third</p></body>"));
    ASSERT_TRUE(loaded.ok);
    auto& doc = *loaded.document;
    ASSERT_EQ(doc.BodyCount(), 4);
    EXPECT_EQ(doc.BodyName(0), u"Main");
    EXPECT_EQ(doc.BodyName(1), u"notes");
    EXPECT_EQ(doc.BodyName(2), u"");
    EXPECT_EQ(doc.BodyName(3), u"#Description");
    EXPECT_EQ(doc.BodyName(4), u"");
    EXPECT_EQ(BodyTexts(doc, 0), QStringList {u"Main text"_qs});
    EXPECT_EQ(BodyTexts(doc, 3),
        (QStringList {u"title-info"_qs, u"\u00A0\u00A0genre: sf"_qs,
            u"\u00A0\u00A0author: Ivar Kessel"_qs}));
    const ParagraphView heading = doc.GetParagraph(3, 0);
    EXPECT_TRUE(heading.attributes[0] & kAttrBold); // the Keyword style
    int body = -1, paragraph = -1;
    ASSERT_TRUE(doc.FindAnchor(u"n1"_qs, body, paragraph));
    EXPECT_EQ(body, 1);
    EXPECT_EQ(doc.GetParagraph(body, paragraph).text, u"Note one");
    EXPECT_FALSE(doc.FindAnchor(u"missing"_qs, body, paragraph));
}

TEST(Fb2Document, ListsSectionTitlesWithTheirLevels)
{
    const auto loaded = LoadFb2(Fb2Body("<title><p>Book</p></title>"
                                        "<section><title><p>Part</p><p>One</p></title><p>x</p>"
                                        "<section><title><p>Chapter</p></title><p>y</p></section>"
                                        "</section>"));
    ASSERT_TRUE(loaded.ok);
    ASSERT_EQ(loaded.contents.size(), 2u); // the body's own title is not listed
    const ContentsEntry part = loaded.contents[0];
    EXPECT_EQ(part.level, 1);
    EXPECT_EQ(part.paragraphCount, 2);
    EXPECT_EQ(part.body, 0);
    EXPECT_EQ(loaded.document->GetParagraph(0, part.paragraph).text, u"Part");
    const ContentsEntry chapter = loaded.contents[1];
    EXPECT_EQ(chapter.level, 2);
    EXPECT_EQ(chapter.paragraphCount, 1);
    const ParagraphView title = loaded.document->GetParagraph(0, chapter.paragraph);
    EXPECT_EQ(title.text, u"Chapter");
    EXPECT_EQ(title.align, 2);
    EXPECT_TRUE(title.attributes[0] & kAttrBold);
    EXPECT_EQ(title.attributes[0] & kAttrSizeMask, 5);
}

TEST(Fb2Document, StylesFootnotesAndHyperlinksAndKeepsTheHref)
{
    const auto loaded = LoadFb2(Fb2Body("<section><p>See <a l:href=\"#n1\" type=\"note\">[1]</a> "
                                        "and <a l:href=\"http://x.org/\">site</a><a>plain</a></p>"
                                        "</section>"));
    ASSERT_TRUE(loaded.ok);
    auto& doc = *loaded.document;
    int p = 0;
    while (doc.GetParagraph(0, p).text.isEmpty())
        ++p;
    const ParagraphView view = doc.GetParagraph(0, p);
    EXPECT_EQ(view.text, u"See [1] and siteplain");
    ASSERT_EQ(view.links.size(), 2);
    EXPECT_EQ(view.links[0].start, 4);
    EXPECT_EQ(view.links[0].length, 3);
    EXPECT_EQ(view.links[0].target, u"#n1");
    EXPECT_EQ(view.links[1].target, u"http://x.org/");
    EXPECT_EQ(view.text.mid(view.links[1].start, 4), u"site");
    EXPECT_EQ(Colour(view.attributes[4]), 2); // Footnote
    EXPECT_TRUE(view.attributes[4] & kAttrUnderline);
    EXPECT_EQ(Colour(view.attributes[12]), 1); // Hyperlink
    EXPECT_EQ(Colour(view.attributes[16]), 1); // no href: no record, still the link style
    EXPECT_TRUE(view.attributes[16] & kAttrUnderline);
}

TEST(Fb2Document, PlacesImagesBetweenOrInsideParagraphs)
{
    const auto loaded = LoadFb2(Fb2Body("<section><p>before</p><image l:href=\"#pic\"/>"
                                        "<p>in <image l:href=\"#icon\"/> text</p></section>"));
    ASSERT_TRUE(loaded.ok);
    auto& doc = *loaded.document;
    std::vector<ParagraphView> views;
    for (int i = 0; i < doc.ParagraphCount(0); ++i)
        if (doc.ParagraphLength(0, i) > 0)
            views.push_back(doc.GetParagraph(0, i));
    ASSERT_EQ(views.size(), 3u);
    EXPECT_TRUE(views[1].IsImage());
    EXPECT_EQ(views[1].text.size(), 32);
    ASSERT_EQ(views[1].links.size(), 1);
    EXPECT_EQ(views[1].links[0].target, u"pic");
    EXPECT_EQ(views[2].text.size(), 9);
    EXPECT_EQ(views[2].text[3].unicode(), 0); // index of the image in the link list
    EXPECT_TRUE(views[2].attributes[3] & kAttrInlineImage);
    ASSERT_EQ(views[2].links.size(), 1);
    EXPECT_EQ(views[2].links[0].target, u"icon");
    EXPECT_EQ(views[2].links[0].length, 0);
}

TEST(Fb2Document, ClampsIndentsAndNestsNegativeOnes)
{
    auto settings = test::MemoryStore();
    SettingsStore& store = *settings;
    store.WriteProfileString(kStylesSection, u"Paragraph"_qs, u"127,127,127,127,127,127,600,0,3"_qs);
    ElementStyleTable styles = ElementStyleTable::BuiltIn();
    styles.ApplyOverrides(store);
    EXPECT_EQ(styles.Row(styles.FindStyleName(u"Paragraph"_qs)).leftIndent, 100);
    styles.Row(styles.FindStyleName(u"Paragraph"_qs)).leftIndent = kInherit;
    // Past 500 only by nesting: the record keeps at most 500.
    styles.Row(styles.FindStyleName(u"Cite"_qs)).leftIndent = -300;
    DocumentOptions options;
    options.styles = &styles;
    const auto loaded = LoadFb2(
        Fb2Body("<section><p>plain</p><cite><p>one</p><cite><p>two</p></cite></cite></section>"),
        -1, options);
    ASSERT_TRUE(loaded.ok);
    auto& doc = *loaded.document;
    std::vector<int> lefts;
    for (int i = 0; i < doc.ParagraphCount(0); ++i)
        if (doc.ParagraphLength(0, i) > 0)
            lefts.push_back(doc.GetParagraph(0, i).leftIndent);
    EXPECT_EQ(lefts, (std::vector<int> {0, 300, 500}));

    const auto builtIn = LoadFb2(
        Fb2Body("<section><cite><p>one</p><cite><p>two</p></cite></cite></section>"));
    std::vector<int> nested;
    for (int i = 0; i < builtIn.document->ParagraphCount(0); ++i)
        if (builtIn.document->ParagraphLength(0, i) > 0)
            nested.push_back(builtIn.document->GetParagraph(0, i).leftIndent);
    EXPECT_EQ(nested, (std::vector<int> {5, 10}));
}

TEST(Fb2Document, AppliesTheDocumentStylesheet)
{
    const auto loaded = LoadFb2(Fb2(
        "<stylesheet type=\"text/css\">red h2b; wide L12c;</stylesheet>"
        "<body><section><p>x <style name=\"red\">marked</style> <style name=\"none\">same</style>"
        "</p><p><style name=\"wide\">centred</style></p></section></body>"));
    ASSERT_TRUE(loaded.ok);
    auto& doc = *loaded.document;
    const QStringList texts = BodyTexts(doc, 0);
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], u"x marked same");
    int p = 0;
    while (doc.GetParagraph(0, p).text != texts[0])
        ++p;
    const ParagraphView view = doc.GetParagraph(0, p);
    EXPECT_EQ(Colour(view.attributes[2]), 2);
    EXPECT_TRUE(view.attributes[2] & kAttrBold);
    EXPECT_EQ(Colour(view.attributes[9]), 0);
}

TEST(Fb2Document, ReadsDeclaredSingleByteEncodings)
{
    // "Привет, мир" in windows-1251.
    const QByteArray text = "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0";
    const auto loaded = LoadFb2(Fb2Body("<section><p>" + text + "</p></section>").replace("utf-8", "windows-1251"));
    ASSERT_TRUE(loaded.ok) << loaded.error.toStdString();
    EXPECT_EQ(BodyTexts(*loaded.document, 0), QStringList {u"Привет, мир"_qs});

    // An encoding expat doesn't know: the repair reads the bytes in the code page they look like.
    const auto unknown = LoadFb2(
        Fb2Body("<section><p>" + text + "</p></section>").replace("utf-8", "x-unknown-charset"));
    ASSERT_TRUE(unknown.ok);
    EXPECT_TRUE(unknown.document->RepairNote().startsWith(u"XML parse error: "));
    EXPECT_EQ(BodyTexts(*unknown.document, 0), QStringList {u"Привет, мир"_qs});
}

// A memory source that records the size of every read asked of it.
class RecordingSource final : public ByteSource {
public:
    RecordingSource(QByteArray bytes, std::vector<int64_t>* reads)
        : inner_(std::move(bytes))
        , reads_(reads)
    {
    }
    int64_t Size() const override { return inner_.Size(); }
    int64_t ReadAt(int64_t position, char* buffer, int64_t size) override
    {
        reads_->push_back(size);
        return inner_.ReadAt(position, buffer, size);
    }
    QString Description() const override { return inner_.Description(); }
    int64_t MemoryUsed() const override { return inner_.MemoryUsed(); }

private:
    MemoryByteSource inner_;
    std::vector<int64_t>* reads_;
};

TEST(Fb2Document, OneHugeTokenIsFedInGrowingBlocks)
{
    // Expat rescans an unfinished token on every block: fed in fixed blocks, one token of
    // megabytes costs time quadratic in its length.
    const QByteArray huge(8 << 20, 'A');
    for (const QByteArray& body : {QByteArray("<section><p id=\"" + huge + "\">x</p></section>"),
             QByteArray("<section><!--" + huge + "--><p>x</p></section>"),
             QByteArray("<section><" + huge + "/><p>x</p></section>")}) {
        std::vector<int64_t> reads;
        DocumentOptions options;
        options.fileBufSize = 16384;
        Fb2Document document(std::make_unique<RecordingSource>(Fb2Body(body), &reads), options);
        ASSERT_TRUE(document.Load(-1)) << document.ErrorText().toStdString();
        EXPECT_EQ(BodyTexts(document, 0), QStringList {u"x"_qs});
        EXPECT_LT(reads.size(), 40u); // in 16 KB blocks it would take over 500
    }
}

TEST(Fb2Document, AnswersOffsetQueriesAtBodyEdges)
{
    const auto loaded = LoadFb2(Fb2Body("<section><p>abc</p><empty-line/><p>defg</p></section>"));
    ASSERT_TRUE(loaded.ok);
    auto& doc = *loaded.document;
    const int count = doc.ParagraphCount(0);
    const int64_t start = doc.ParagraphStart(0, 0);
    EXPECT_EQ(doc.BodyEnd(0), start + 7);
    EXPECT_EQ(doc.ParagraphStart(0, count), doc.BodyEnd(0));
    EXPECT_EQ(doc.ParagraphAtOffset(0, doc.BodyEnd(0)), count);
    EXPECT_EQ(doc.ParagraphAtOffset(0, doc.BodyEnd(0) + 1), 0);
    EXPECT_EQ(doc.GetParagraph(0, doc.ParagraphAtOffset(0, start + 4)).text, u"defg");
    EXPECT_EQ(doc.GetParagraph(0, doc.ParagraphAtOffset(0, start + 2)).text, u"abc");
    EXPECT_TRUE(doc.GetParagraph(0, count).text.isEmpty());
    EXPECT_TRUE(doc.GetParagraph(7, 0).text.isEmpty());
    EXPECT_EQ(doc.ParagraphLength(0, -1), 0);
}

} // namespace
} // namespace lbv
