#include "text/fb2_markup_repair.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>
#include <libxml/parser.h>

using namespace lbv;

namespace {

constexpr char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

// The repaired text without its declaration.
QString Repaired(QStringView text)
{
    const QByteArray repaired = RepairFb2Markup(text);
    if (repaired.isEmpty())
        return QStringLiteral("<nothing>");
    EXPECT_TRUE(repaired.startsWith(kDeclaration));
    return QString::fromUtf8(repaired.sliced(qsizetype(sizeof(kDeclaration) - 1)));
}

// Whether a strict, namespace-aware parser accepts the repaired text.
bool WellFormed(const QByteArray& bytes)
{
    xmlDoc* doc = xmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, nullptr,
        XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    const bool ok = doc != nullptr;
    xmlFreeDoc(doc);
    return ok;
}

} // namespace

TEST(MarkupRepair, TurnsStrayAmpersandsAndHtmlEntitiesIntoText)
{
    EXPECT_EQ(Repaired(u"<b>Tom & Jerry, GPS&Palm, &amp; &lt;x&gt;</b>"),
        u"<b>Tom &amp; Jerry, GPS&amp;Palm, &amp; &lt;x&gt;</b>");
    EXPECT_EQ(Repaired(u"<b>&laquo;a&raquo;&nbsp;&mdash;&hellip;&copy;&euro;</b>"),
        u"<b>«a»\u00A0—…©€</b>");
    // Unknown names stay readable; references to forbidden characters go.
    EXPECT_EQ(Repaired(u"<b>&bogus; &#1; &#x41;&#1044; &#xZZ; &#99999999999;</b>"),
        u"<b>&amp;bogus;  &#65;&#1044; &amp;#xZZ; &amp;#99999999999;</b>");
    EXPECT_EQ(Repaired(u"<b t=\"a&b &quot;c&quot; &laquo;d\">x < y</b>"),
        u"<b t=\"a&amp;b &quot;c&quot; «d\">x &lt; y</b>");
}

TEST(MarkupRepair, ClosesWhatEndTagsNameAndDropsStrayOnes)
{
    EXPECT_EQ(Repaired(u"<r><p>One <emphasis>two</p><p>Three</strong> four</p></r>"),
        u"<r><p>One <emphasis>two</emphasis></p><p>Three four</p></r>");
    // A paragraph left open ends where the next block starts; so does its open inline element.
    EXPECT_EQ(Repaired(u"<r><section><p>a <strong>b<p>c</p><empty-line><p>d</section></r>"),
        u"<r><section><p>a <strong>b</strong></p><p>c</p><empty-line/><p>d</p></section></r>");
    // The root stays open to the end: text after a premature end tag is kept.
    EXPECT_EQ(Repaired(u"<r><p>a</p></r><p>b</p>"), u"<r><p>a</p><p>b</p></r>");
}

TEST(MarkupRepair, ClosesATruncatedDocument)
{
    EXPECT_EQ(Repaired(u"<?xml version=\"1.0\"?><r><body><section><p>cut in the mid"),
        u"<r><body><section><p>cut in the mid</p></section></body></r>");
    EXPECT_EQ(Repaired(u"<r><p>a</p><p class=\"x"), u"<r><p>a</p></r>");
    EXPECT_EQ(Repaired(u"<r><p>a<!-- unclosed comment </p>"), u"<r><p>a</p></r>");
    EXPECT_EQ(Repaired(u"<r><![CDATA[a<b>"), u"<r>a&lt;b&gt;</r>");
    EXPECT_EQ(Repaired(u"no markup at all"), u"<nothing>");
    EXPECT_EQ(Repaired(u""), u"<nothing>");
}

TEST(MarkupRepair, DeclaresMissingPrefixesAndDropsDuplicates)
{
    EXPECT_EQ(Repaired(u"<r><a l:href=\"#n\">x</a><image xlink:href=\"#p\"/></r>"),
        u"<r><a xmlns:l=\"http://www.w3.org/1999/xlink\" l:href=\"#n\">x</a>"
        u"<image xmlns:xlink=\"http://www.w3.org/1999/xlink\" xlink:href=\"#p\"/></r>");
    EXPECT_EQ(Repaired(u"<r xmlns:l=\"u1\" xmlns:l=\"u2\" a=\"1\" a=\"2\"><x:y/></r>"),
        u"<r xmlns:l=\"u1\" a=\"1\"><x:y xmlns:x=\"urn:x-undeclared-prefix:x\"/></r>");
    // Two prefixes for one namespace would make the same attribute twice.
    EXPECT_EQ(Repaired(u"<r xmlns:l=\"u\" xmlns:k=\"u\"><a l:href=\"1\" k:href=\"2\"/></r>"),
        u"<r xmlns:l=\"u\" xmlns:k=\"u\"><a l:href=\"1\"/></r>");
}

TEST(MarkupRepair, DropsCharactersXmlCannotCarryAndDtds)
{
    const QString loneSurrogate(QChar(0xD800));
    EXPECT_EQ(Repaired(QString(u"<!DOCTYPE r [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>"
                               u"<r>a\u0001b&e;\uFFFF"
                  + loneSurrogate + u"c\uFFFD\U0001F600</r>")),
        u"<r>ab&amp;e;c\uFFFD\U0001F600</r>");
    EXPECT_EQ(Repaired(u"<r>\u0007<p a=\"\u0002\">x\u000B</p></r>"), u"<r><p a=\"\">x</p></r>");
}

TEST(MarkupRepair, AlwaysGivesWellFormedXmlOfBoundedDepth)
{
    const QString inputs[] = {
        u"<a><b c='1' c='2' d><e f=g>&&&;<</b></a>"_qs,
        u"<a:b:c><d>text</a:b:c>"_qs,
        u"<FictionBook><l:a l:b='1' xmlns:l=''>x</l:a></FictionBook>"_qs,
        u"<r><p>a <<< b >>> c</p>&#0;&#xD800;</r>"_qs,
        u"<r><!-- a -- b --><?pi x?><![CDATA[]]]]><![CDATA[>]]></r>"_qs,
        u"<r>"_qs + u"<section>"_qs.repeated(5000) + u"deep",
    };
    for (const QString& input : inputs) {
        const QByteArray repaired = RepairFb2Markup(input);
        EXPECT_TRUE(WellFormed(repaired)) << qPrintable(input.left(80)) << "\n"
                                          << repaired.left(400).constData();
    }
    // Nesting is held well below the strict parsers' limits; the text is kept.
    const QByteArray deep = RepairFb2Markup(inputs[5]);
    EXPECT_EQ(deep.count("<section>"), 199);
    EXPECT_TRUE(deep.contains("deep"));
}

TEST(MarkupRepair, RepairsEveryTruncationAndCorruptionOfTheDamagedFixturesToWellFormedXml)
{
    const QDir dir(QStringLiteral(LBV_TEST_DATA_DIR "/realworld"));
    for (const QString& name : dir.entryList({u"*.fb2"_qs}, QDir::Files)) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        // Some hundred cuts and blows per book, wherever they fall.
        const qsizetype step = std::max<qsizetype>(3, text.size() / 300);
        for (qsizetype length = 0; length <= text.size(); length += step) {
            const QByteArray repaired = RepairFb2Markup(text.first(length));
            ASSERT_TRUE(repaired.isEmpty() || WellFormed(repaired)) << qPrintable(name) << length;
        }
        QString corrupt = text;
        const QString damage = QStringLiteral("<&>\"'/=;:!?[]-");
        for (qsizetype at = 0; at < corrupt.size(); at += step + 2) {
            corrupt[at] = damage[at % damage.size()];
            const QByteArray repaired = RepairFb2Markup(corrupt);
            ASSERT_TRUE(repaired.isEmpty() || WellFormed(repaired)) << qPrintable(name) << at;
        }
    }
}
