#include "reader_test_support.h"

#include "reader/content_kind.h"
#include "reader/text_document.h"
#include "text/code_pages.h"

#include <gtest/gtest.h>

namespace lbv {
namespace {

struct LoadedText {
    std::unique_ptr<TextDocument> document;
    std::vector<ContentsEntry> contents;
};

LoadedText LoadText(const QByteArray& bytes, int mode, int codePage = -1)
{
    LoadedText loaded;
    auto contents = std::make_shared<std::vector<ContentsEntry>>();
    DocumentOptions options;
    options.observer.contents = [contents](const ContentsEntry& e) { contents->push_back(e); };
    loaded.document
        = std::make_unique<TextDocument>(std::make_unique<MemoryByteSource>(bytes), options, mode);
    EXPECT_TRUE(loaded.document->Load(codePage));
    loaded.contents = *contents;
    return loaded;
}

QStringList Paragraphs(DocumentSource& document)
{
    QStringList texts;
    for (int i = 0; i < document.ParagraphCount(0); ++i)
        texts.append(document.GetParagraph(0, i).text);
    return texts;
}

QByteArray Lines(int count, int indented, int longLine = -1)
{
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        if (i < indented)
            text += ' ';
        text += i == longLine ? QByteArray(100, 'x') : "short line " + QByteArray::number(i);
        text += '\n';
    }
    return text;
}

TEST(ContentKind, ChoosesTheTextModeFromTheSample)
{
    EXPECT_EQ(DetectTextMode(Lines(12, 4)), kTextIndentedFirstLine);
    EXPECT_EQ(DetectTextMode(Lines(12, 4, 6)), kTextLinePerParagraph); // line 7 is long
    EXPECT_EQ(DetectTextMode(Lines(12, 4, 3)), kTextIndentedFirstLine); // too early to count
    EXPECT_EQ(DetectTextMode(Lines(12, 3)), kTextLinePerParagraph);
    EXPECT_EQ(DetectTextMode(Lines(10, 5)), kTextLinePerParagraph); // too few lines
    EXPECT_EQ(DetectTextMode(Lines(12, 4).replace('\n', '\r')), kTextMacIndentedFirstLine);
    EXPECT_EQ(DetectTextMode("one line"), kTextMacLinePerParagraph);
    EXPECT_EQ(TextModeName(kTextMacIndentedFirstLine), u"MAC Indented first line");
}

TEST(ContentKind, RecognisesFb2AndPicturesByTheirFirstBytes)
{
    EXPECT_EQ(DetectContentKind("<?xml version=\"1.0\"?><FictionBook/>"), kDocumentFb2);
    EXPECT_EQ(DetectContentKind("\xEF\xBB\xBF<?xml version=\"1.0\"?>"), kDocumentFb2);
    EXPECT_EQ(DetectContentKind(" <?xml"), kTextMacLinePerParagraph);
    EXPECT_EQ(DetectContentKind(QByteArray("\x89PNG\r\n\x1A\n\0\0", 10)), kDocumentPng);
    EXPECT_EQ(DetectContentKind(QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11)), kDocumentJpeg);
    EXPECT_EQ(DetectContentKind(QByteArray("\xFF\xD8\xFF\xE1\0\x10" "Exif\0", 11)), kDocumentJpeg);
    EXPECT_EQ(DetectContentKind(QByteArray("\xFF\xD8\xFF\xE1\0\x10JUNK\0\n", 12)),
        kTextLinePerParagraph);
}

TEST(ContentKind, RecognisesFb2WithoutADeclaration)
{
    // Declared nowhere, in windows-1251, maybe after a comment or blank lines.
    EXPECT_EQ(DetectContentKind("\r\n<FictionBook xmlns=\"x\"><p>\xD4\xB8\xE4\xEE\xF0</p>"),
        kDocumentFb2);
    EXPECT_EQ(DetectContentKind("<!-- made by hand -->\n<fb:FictionBook>"), kDocumentFb2);
    // Markup alone is not a book.
    EXPECT_EQ(DetectContentKind("<b>Chapter one</b>\nIt was a dark night."), kTextLinePerParagraph);
}

TEST(ContentKind, KnowsFileKindsByName)
{
    EXPECT_EQ(FileKindByName(u"a.txt"_qs, false), FileKind::Document);
    EXPECT_EQ(FileKindByName(u"b.tx"_qs, false), FileKind::Other);
    EXPECT_EQ(FileKindByName(u".txt"_qs, false), FileKind::Other);
    EXPECT_EQ(FileKindByName(u"BOOK.FB2"_qs, false), FileKind::Document);
    EXPECT_EQ(FileKindByName(u"x.prc"_qs, false), FileKind::Document);
    EXPECT_EQ(FileKindByName(u"words.dic"_qs, false), FileKind::Document);
    EXPECT_EQ(FileKindByName(u"all.zip"_qs, false), FileKind::Archive);
    EXPECT_EQ(FileKindByName(u"all.zip"_qs, true), FileKind::Other);
    EXPECT_EQ(FileKindByName(u"p.jpeg"_qs, false), FileKind::Image);
    EXPECT_EQ(FileKindByName(u"p.JPG"_qs, false), FileKind::Image);
    EXPECT_EQ(FileKindByName(u"p.png"_qs, true), FileKind::Image);
    EXPECT_EQ(FileKindByName(u"notes.doc"_qs, false), FileKind::Other);
}

TEST(TextDocument, SplitsParagraphsByMode)
{
    const QByteArray text = "first line\r\n continued\r\nnext\r\n\r\n  last  ";
    EXPECT_EQ(Paragraphs(*LoadText(text, kTextLinePerParagraph).document),
        (QStringList {u"first line"_qs, u"continued"_qs, u"next"_qs, u""_qs, u"last"_qs}));
    EXPECT_EQ(Paragraphs(*LoadText(text, kTextIndentedFirstLine).document),
        (QStringList {u"first line"_qs, u"continued next"_qs, u""_qs, u"last"_qs}));
    EXPECT_EQ(Paragraphs(*LoadText("a\rb\r\rc", kTextMacLinePerParagraph).document),
        (QStringList {u"a"_qs, u"b"_qs, u""_qs, u"c"_qs}));
    EXPECT_EQ(Paragraphs(*LoadText("a\r b\rc", kTextMacIndentedFirstLine).document),
        (QStringList {u"a"_qs, u"b c"_qs}));
}

TEST(TextDocument, CutsParagraphsAfter4096BytesWithoutLosingText)
{
    const QByteArray text = QByteArray(5000, 'a') + "\nend";
    const auto loaded = LoadText(text, kTextLinePerParagraph);
    auto& doc = *loaded.document;
    ASSERT_EQ(doc.ParagraphCount(0), 3);
    EXPECT_EQ(doc.ParagraphLength(0, 0), 4096);
    EXPECT_EQ(doc.ParagraphLength(0, 1), 904);
    EXPECT_EQ(doc.GetParagraph(0, 2).text, u"end");
    EXPECT_EQ(doc.BodyEnd(0), 5003);
    EXPECT_EQ(doc.ParagraphAtOffset(0, 4096), 1);
    EXPECT_EQ(doc.ParagraphAtOffset(0, 5003), 3);
    EXPECT_EQ(doc.ParagraphStart(0, 3), 5003);
}

TEST(TextDocument, DecodesWithTheDetectedCodePageAndFoldsWhitespace)
{
    // "Жили-были дед да баба" twice over in windows-1251, soft hyphen and tabs included.
    const QByteArray line = "\xC6\xE8\xEB\xE8-\xE1\xFB\xEB\xE8 \xE4\xE5\xE4\t\t\xE4\xE0 "
                            "\xE1\xE0\xAD\xE1\xE0";
    const auto loaded = LoadText(line + "\n" + line + "\n", kTextLinePerParagraph);
    auto& doc = *loaded.document;
    EXPECT_EQ(CodePageNumber(doc.DetectedCodePage()), 1251);
    const ParagraphView view = doc.GetParagraph(0, 0);
    EXPECT_EQ(view.text, u"Жили-были дед да баба");
    EXPECT_EQ(view.text.size(), doc.ParagraphLength(0, 0));
    EXPECT_EQ(view.firstLineIndent, 3);
    EXPECT_EQ(view.leftIndent, 0);
    EXPECT_EQ(view.align, 0);
    EXPECT_EQ(view.attributes, std::vector<uint16_t>(std::size_t(view.text.size()), 0));
    EXPECT_EQ(doc.BodyName(0), u"Main");
    EXPECT_EQ(doc.BodyCount(), 1);

    const auto forced = LoadText(line, kTextLinePerParagraph, CodePageIndex(20866));
    EXPECT_EQ(forced.document->GetParagraph(0, 0).text.size(), 22); // 0xAD is a letter there
    EXPECT_NE(forced.document->GetParagraph(0, 0).text, view.text);
}

TEST(TextDocument, TakesShortLinesBetweenEmptyOnesForHeadings)
{
    const QByteArray text = "Chapter One\n\nSome text of the chapter.\nMore.\n\nChapter Two\n\n"
                            "Text\n\n" + QByteArray(95, 'x') + "\n\ntail";
    const auto loaded = LoadText(text, kTextLinePerParagraph);
    ASSERT_EQ(loaded.contents.size(), 3u);
    EXPECT_EQ(loaded.contents[0].paragraph, 0);
    EXPECT_EQ(loaded.contents[0].level, 1);
    EXPECT_EQ(loaded.contents[0].paragraphCount, 1);
    EXPECT_EQ(loaded.document->GetParagraph(0, loaded.contents[1].paragraph).text, u"Chapter Two");
    EXPECT_EQ(loaded.document->GetParagraph(0, loaded.contents[2].paragraph).text, u"Text");
}

} // namespace
} // namespace lbv
