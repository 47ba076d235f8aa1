#include "reader_test_support.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace lbv;
using namespace Qt::StringLiterals;
using test::BodyTexts;
using test::LoadFb2;

namespace {

QByteArray Fixture(const QString& name)
{
    QFile file(QStringLiteral(LBV_TEST_DATA_DIR "/realworld/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The index of the first paragraph of the body whose text starts with `start`; -1 for none.
int ParagraphStartingWith(DocumentSource& document, int body, QStringView start)
{
    for (int i = 0; i < document.ParagraphCount(body); ++i)
        if (document.GetParagraph(body, i).text.startsWith(start))
            return i;
    return -1;
}

} // namespace

TEST(DamagedBooks, OpenAfterRepairWithTheStrictParsersErrorKept)
{
    struct Case {
        QString file;
        QString firstError;
        QStringList texts;
    };
    const Case cases[] = {
        {u"raw-ampersand.fb2"_s, u"not well-formed (invalid token) at line 7, column 21"_s,
            {u"Tom & Jerry"_s, u"Syncing GPS&Palm at 5 & 6 o'clock; & stays."_s}},
        {u"html-entities.fb2"_s, u"undefined entity at line 7, column 16"_s,
            {u"«Frost»\u00A0— she said… €5 &bogus; —"_s}},
        {u"undeclared-prefix.fb2"_s, u"unbound prefix at line 8, column 23"_s,
            {u"Before 1 and again."_s, QString(kImageParagraphLength, u' ')}},
        {u"duplicate-declaration.fb2"_s, u"duplicate attribute at line 2, column 104"_s,
            {u"I. Frost"_s, u"Ice formed on the inside of the windows."_s,
                u"Tove listened to the harbour bells."_s}},
        {u"mismatched-tags.fb2"_s, u"mismatched tag at line 8, column 47"_s,
            {u"One two"_s, u"Three four"_s, u"Five six seven"_s, u"Unclosed paragraph"_s,
                u"Eight"_s}},
        {u"truncated.fb2"_s, u"no element found at line 16, column 22"_s,
            {u"The first paragraph."_s, u"The last paragraph was cut"_s, u"off in the midd"_s}},
        {u"control-characters.fb2"_s, u"not well-formed (invalid token) at line 7, column 20"_s,
            {u"Frost on the windows."_s, u"Снег, bad byte: \uFFFD\uFFFD x \uFFFD"_s}},
        {u"wrong-encoding.fb2"_s, u"not well-formed (invalid token) at line 6, column 25"_s,
            {u"Снег лежал на ветвях яблонь до самого апреля."_s}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.file));
        const auto loaded = LoadFb2(Fixture(c.file));
        ASSERT_TRUE(loaded.ok) << qPrintable(loaded.error);
        EXPECT_EQ(loaded.document->RepairNote(), u"XML parse error: " + c.firstError);
        EXPECT_TRUE(loaded.error.isEmpty());
        EXPECT_EQ(BodyTexts(*loaded.document, 0), c.texts);
    }
}

TEST(DamagedBooks, RepairedLinksAndImagesStillWork)
{
    const auto loaded = LoadFb2(Fixture(u"undeclared-prefix.fb2"_s));
    ASSERT_TRUE(loaded.ok);
    auto& doc = *loaded.document;
    ASSERT_EQ(doc.BodyCount(), 3); // main, notes and the description
    const int at = ParagraphStartingWith(doc, 0, u"Before");
    ASSERT_GE(at, 0);
    const ParagraphView paragraph = doc.GetParagraph(0, at);
    ASSERT_EQ(paragraph.links.size(), 2);
    EXPECT_EQ(paragraph.links[0].target, u"#n1");
    EXPECT_EQ(paragraph.links[1].target, u"#n1");
    EXPECT_TRUE(doc.GetParagraph(0, at + 1).IsImage());
    int body = -1, anchor = -1;
    EXPECT_TRUE(doc.FindAnchor(u"n1"_s, body, anchor));
    EXPECT_EQ(body, 1);
    // The repaired bytes are what the runs point into; the source is still described as read.
    EXPECT_EQ(doc.SourceDescription(), u"None");
}

TEST(DamagedBooks, ContentsOfAFailedStrictParseAreNotListedTwice)
{
    QByteArray book = test::Fb2Body("<section><title><p>One</p></title><p>a</p></section>"
                                    "<section><title><p>Two</p></title><p>b &c</p></section>");
    const auto loaded = LoadFb2(book);
    ASSERT_TRUE(loaded.ok);
    EXPECT_FALSE(loaded.document->RepairNote().isEmpty());
    EXPECT_EQ(loaded.contents.size(), 2u);
}

TEST(DamagedBooks, FictionBook21OpensLike20)
{
    const auto loaded = LoadFb2(Fixture(u"fictionbook-2.1.fb2"_s));
    ASSERT_TRUE(loaded.ok) << qPrintable(loaded.error);
    auto& doc = *loaded.document;
    EXPECT_TRUE(doc.RepairNote().isEmpty());
    ASSERT_EQ(doc.BodyCount(), 3);
    EXPECT_EQ(doc.BodyName(1), u"notes");
    EXPECT_EQ(BodyTexts(doc, 0),
        (QStringList {u"I. Frost"_s, u"Ice formed on the inside of the windows.1"_s}));
    const ParagraphView paragraph = doc.GetParagraph(0, ParagraphStartingWith(doc, 0, u"Ice"));
    ASSERT_EQ(paragraph.links.size(), 1);
    EXPECT_EQ(paragraph.links[0].target, u"#n1");
    const qsizetype emphasis = paragraph.text.indexOf(u"inside");
    EXPECT_EQ(test::Colour(paragraph.attributes[std::size_t(emphasis)]), 5); // Emphasis
    EXPECT_EQ(test::Colour(paragraph.attributes[0]), 0);
    EXPECT_EQ(loaded.contents.size(), 1u);
}

TEST(DamagedBooks, WhatCannotBeRepairedKeepsTheStrictError)
{
    const auto noRoot = LoadFb2("<?xml version=\"1.0\"?>\n plain text, no element");
    EXPECT_FALSE(noRoot.ok);
    EXPECT_EQ(noRoot.error, u"XML parse error: syntax error at line 2, column 2");
    // A repaired root in another namespace is still no FictionBook.
    const auto other = LoadFb2("<?xml version=\"1.0\"?><FictionBook xmlns=\"urn:other\"><p>a & b");
    EXPECT_FALSE(other.ok);
    EXPECT_EQ(other.error, u"Not a FictionBook2 document");
}
