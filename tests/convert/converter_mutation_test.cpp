// Damaged copies of the sample book and page (bytes cut out, overwritten, and markup or
// typewriter habits pasted in at random places, always the same way) must each convert into a
// document that libxml2 reads back, or fail with a message; none may crash.
#include "convert/html_to_fb2.h"
#include "convert/text_to_fb2.h"
#include "support/converter_test_support.h"

#include <random>

using namespace lbv;
using namespace lbv::test;

namespace {

constexpr int kRounds = 300;

const QByteArray kPieces[] = {"<", ">", "</p>", "<a href=\"#n1\">", "<h2>", "<h3 id=\"n1\">",
    "<table><tr><td colspan=\"\x01\">", "<blockquote>", "<li>", "\"", "-", "--", "_", "\n", "\n\n",
    "     ", "<br>", "<img alt=\"\x02\" src=\"pictures/lake.png\">", "<sup>", "&",
    QByteArray(1, '\0'), "<pre>", "</div>", "<div id=\"n1\">", "Глава 3\n", "\xFF\xFE"};

QByteArray Damaged(const QByteArray& original, std::mt19937& random)
{
    QByteArray bytes = original;
    const int changes = 1 + int(random() % 20);
    for (int i = 0; i < changes; ++i) {
        const qsizetype at = qsizetype(random() % (bytes.size() + 1));
        switch (random() % 3) {
        case 0:
            bytes.insert(at, kPieces[random() % std::size(kPieces)]);
            break;
        case 1:
            bytes.remove(at, qsizetype(random() % 40));
            break;
        default:
            if (at < bytes.size())
                bytes[at] = char(random());
        }
    }
    return bytes;
}

void ConvertDamagedCopies(const QString& name,
    ConversionResult (*convert)(const QByteArray&, const QString&, const ConverterOptions&))
{
    QFile file(FixturePath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();
    ConverterOptions options;
    options.convertDash = true;
    options.linkDepth = 2;
    std::mt19937 random(42);
    for (int round = 0; round < kRounds; ++round) {
        const ConversionResult result
            = convert(Damaged(original, random), file.fileName(), options);
        if (!result.document) {
            EXPECT_FALSE(result.message.isEmpty()) << "round " << round;
            continue;
        }
        QString error;
        EXPECT_TRUE(LoadXmlText(result.document->Xml(), &error))
            << "round " << round << ": " << qPrintable(error);
    }
}

} // namespace

TEST(ConverterRobustness, DamagedPagesConvertIntoReadableDocuments)
{
    ConvertDamagedCopies(QStringLiteral("Северные письма.html"), ConvertHtmlBytesToFb2);
}

TEST(ConverterRobustness, DamagedTextsConvertIntoReadableDocuments)
{
    ConvertDamagedCopies(
        QStringLiteral("Ирина Соколова - Тихая гавань.txt"), ConvertTextBytesToFb2);
}
