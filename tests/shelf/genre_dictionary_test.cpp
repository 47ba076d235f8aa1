#include "shelf/genre_dictionary.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace lbv {
namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

const QString kResource = QStringLiteral(LBV_SOURCE_DIR "/resources/genre-dict.xml");

const char* const kLanguages = R"(<language code="en" name="English"/>
    <language code="ru" name="Russian"/><language code="EN" name="Second English"/>)";

class GenreDictionaryTest : public ::testing::Test {
protected:
    // Writes a dictionary declaring the languages and holding the genre elements.
    QString Write(const char* genres, const char* languages = kLanguages)
    {
        const QString path = dir.filePath(S("genre-dict.xml"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<fbjenresstructure>")
            + "<languages>" + languages + "</languages>" + genres + "</fbjenresstructure>");
        return path;
    }

    static QStringList Codes(const QList<GenreEntry>& entries)
    {
        QStringList codes;
        for (const GenreEntry& entry : entries)
            codes << entry.code;
        return codes;
    }

    QTemporaryDir dir;
    GenreDictionary dictionary;
    QString error;
};

TEST_F(GenreDictionaryTest, ShippedDictionaryHasEveryCodeOnceInBothLanguages)
{
    ASSERT_TRUE(dictionary.Load(kResource, S("en"), &error)) << error.toStdString();
    ASSERT_EQ(dictionary.Languages().size(), 2);
    EXPECT_EQ(dictionary.Languages()[0].code, S("ru")); // descending
    EXPECT_EQ(dictionary.Languages()[1].name, S("English"));

    const QList<GenreEntry>& all = dictionary.AllGenres();
    qsizetype subgenres = 0;
    for (const RootGenre& root : dictionary.Roots())
        subgenres += root.subgenres.size();
    EXPECT_EQ(all.size(), dictionary.Roots().size() + subgenres) << "no code is listed twice";
    EXPECT_GE(all.size(), 200);
    for (qsizetype i = 1; i < all.size(); ++i)
        EXPECT_GT(all[i - 1].code, all[i].code);
    for (const char* code : {"sf_fantasy", "det_classic", "prose_rus_classic", "love_short",
             "adv_western", "child_tale", "poetry", "dramaturgy", "antique_myths", "sci_history",
             "comp_programming", "ref_encyc", "nonf_biography", "religion_rel", "humor_anecdote",
             "home_cooking", "thriller", "science", "design"})
        EXPECT_NE(dictionary.TitleOf(S(code)), S(code)) << code;
    EXPECT_EQ(dictionary.TitleOf(S("SF_SPACE")), S("Space SF"));
    EXPECT_EQ(dictionary.TitleOf(S("no_such_genre")), S("no_such_genre"));

    ASSERT_TRUE(dictionary.Load(kResource, S("ru"), &error)) << error.toStdString();
    EXPECT_EQ(dictionary.TitleOf(S("sf_space")), S("Космическая фантастика"));
}

TEST_F(GenreDictionaryTest, FirstOccurrenceOfACodeWins)
{
    const QString path = Write(R"(
        <genre genre-path="sf"><root-descr lang="en" genre-title="Science Fiction"/>
          <subgenres>
            <subgenre path="sf_space"><genre-descr lang="en" title="Space"/></subgenre>
            <subgenre path="SF"><genre-descr lang="en" title="SF as a subgenre"/></subgenre>
          </subgenres></genre>
        <genre genre-path="Sf"><root-descr lang="en" genre-title="Second SF"/>
          <subgenres>
            <subgenre path="sf_epic"><genre-descr lang="en" title="Epic"/></subgenre>
            <subgenre path="SF_SPACE"><genre-descr lang="en" title="Space again"/></subgenre>
          </subgenres></genre>
        <genre genre-path="adventure"><root-descr lang="ru" genre-title="Приключения"/>
          <root-descr lang="en" genre-title="Adventure"/></genre>)");
    ASSERT_TRUE(dictionary.Load(path, S("en"), &error)) << error.toStdString();

    ASSERT_EQ(dictionary.Languages().size(), 2);
    EXPECT_EQ(dictionary.Languages()[1].name, S("English"));
    EXPECT_EQ(Codes(dictionary.AllGenres()),
        (QStringList {S("sf_space"), S("sf_epic"), S("sf"), S("adventure")}));
    EXPECT_EQ(dictionary.TitleOf(S("sf")), S("Science Fiction"));
    EXPECT_EQ(dictionary.TitleOf(S("sf_space")), S("Space"));
    EXPECT_EQ(dictionary.TitleOf(S("adventure")), S("Adventure"));

    // The second root is not in the tree, so neither are its subgenres; a subgenre that
    // repeats its root's code still shows under it.
    ASSERT_EQ(dictionary.Roots().size(), 2);
    const RootGenre& sf = dictionary.Roots()[0];
    EXPECT_EQ(sf.title, S("Science Fiction"));
    EXPECT_EQ(Codes(sf.subgenres), (QStringList {S("sf_space"), S("SF")}));
    EXPECT_TRUE(dictionary.Roots()[1].subgenres.isEmpty());
}

TEST_F(GenreDictionaryTest, UndeclaredLanguageLeavesOnlyTheLanguages)
{
    const QString path = Write(
        R"(<genre genre-path="sf"><root-descr lang="en" genre-title="Science Fiction"/></genre>)");
    ASSERT_TRUE(dictionary.Load(path, S("en"), &error));
    EXPECT_FALSE(dictionary.Load(path, S("de"), &error));
    EXPECT_EQ(error, S("Language \"de\" is not found in \"[…]\\genre-dict.xml\"."));
    EXPECT_EQ(dictionary.Languages().size(), 2);
    EXPECT_TRUE(dictionary.AllGenres().isEmpty());
    EXPECT_EQ(dictionary.TitleOf(S("sf")), S("sf"));
    // The declared languages match in any case, the descriptions only exactly.
    EXPECT_FALSE(dictionary.Load(path, S("EN"), &error));
    EXPECT_TRUE(error.startsWith(S("Error loading genre dictionary"))) << error.toStdString();
}

TEST_F(GenreDictionaryTest, MissingDescriptionStopsTheLoadKeepingWhatWasRead)
{
    const QString path = Write(R"(
        <genre genre-path="sf"><root-descr lang="en" genre-title="Science Fiction"/>
          <subgenres>
            <subgenre path="sf_space"><genre-descr lang="en" title="Space"/></subgenre>
            <subgenre path="sf_epic"><genre-descr lang="ru" title="Эпос"/></subgenre>
            <subgenre path="sf_humor"><genre-descr lang="en" title="Humor"/></subgenre>
          </subgenres></genre>
        <genre genre-path="adventure"><root-descr lang="en" genre-title="Adventure"/></genre>)");
    EXPECT_FALSE(dictionary.Load(path, S("en"), &error));
    EXPECT_EQ(error,
        S("Error loading genre dictionary \"genre \"sf_epic\" has no <genre-descr> for language "
          "\"en\"\"."));
    EXPECT_EQ(Codes(dictionary.AllGenres()), (QStringList {S("sf_space"), S("sf")}));
    ASSERT_EQ(dictionary.Roots().size(), 1);
    EXPECT_EQ(dictionary.Roots()[0].subgenres.size(), 1);

    EXPECT_FALSE(dictionary.Load(path, S("ru"), &error));
    EXPECT_EQ(error,
        S("Error loading genre dictionary \"genre \"sf\" has no <root-descr> for language "
          "\"ru\"\"."));
}

TEST_F(GenreDictionaryTest, BrokenFilesAndCodesAreReportedNotFatal)
{
    const QString noAttribute
        = Write(R"(<genre><root-descr lang="en" genre-title="Nameless"/></genre>)");
    EXPECT_FALSE(dictionary.Load(noAttribute, S("en"), &error));
    EXPECT_EQ(error,
        S("Error loading genre dictionary \"element <genre> has no attribute \"genre-path\"\"."));

    // A quote in the language code breaks the selection, which is reported, not followed.
    const QString valid
        = Write(R"(<genre genre-path="sf"><root-descr lang="en" genre-title="SF"/></genre>)",
            R"(<language code="en" name="English"/><language code='r"u' name="Quote"/>)");
    EXPECT_FALSE(dictionary.Load(valid, S("r\"u"), &error));
    EXPECT_TRUE(error.startsWith(S("Error loading genre dictionary \""))) << error.toStdString();

    ASSERT_TRUE(dictionary.Load(valid, S("en"), &error));
    const QString missing = dir.filePath(S("missing.xml"));
    EXPECT_FALSE(dictionary.Load(missing, S("en"), &error));
    EXPECT_TRUE(error.startsWith(S("Loading ") + missing + S(": ERROR! "))) << error.toStdString();
    EXPECT_EQ(dictionary.TitleOf(S("sf")), S("SF")) << "an unreadable file changes nothing";

    const QString broken = dir.filePath(S("broken.xml"));
    QFile brokenFile(broken);
    ASSERT_TRUE(brokenFile.open(QIODevice::WriteOnly));
    brokenFile.write("<fbjenresstructure><languages>");
    brokenFile.close();
    EXPECT_FALSE(dictionary.Load(broken, S("en"), &error));
    EXPECT_TRUE(error.startsWith(S("Loading ") + broken + S(": ERROR! "))) << error.toStdString();
}

} // namespace
} // namespace lbv
