#include "settings/font_record.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"

#include <QtEndian>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

const QString kSettings = QStringLiteral("Settings");

FontRecord SampleRecord()
{
    FontRecord record;
    record.height = -17;
    record.width = 3;
    record.escapement = 900;
    record.orientation = -900;
    record.weight = 700;
    record.italic = 1;
    record.underline = 1;
    record.strikeOut = 0;
    record.charSet = 204;
    record.outPrecision = 3;
    record.clipPrecision = 2;
    record.quality = 5;
    record.pitchAndFamily = 0x22;
    record.SetFaceName(u"Liberation Sans");
    return record;
}

} // namespace

TEST(FontRecord, HasTheLittleEndianLogicalFontLayout)
{
    const QByteArray bytes = SampleRecord().ToBytes();
    ASSERT_EQ(bytes.size(), 92);
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    EXPECT_EQ(qFromLittleEndian<qint32>(data), -17);
    EXPECT_EQ(qFromLittleEndian<qint32>(data + 8), 900);
    EXPECT_EQ(qFromLittleEndian<qint32>(data + 16), 700);
    EXPECT_EQ(bytes.mid(20, 8), QByteArray::fromHex("010100cc03020522"));
    EXPECT_EQ(bytes.mid(28, 4), QByteArray("L\0i\0", 4));
    EXPECT_EQ(bytes.mid(28 + 15 * 2), QByteArray(92 - 28 - 30, '\0'));

    EXPECT_EQ(FontRecord::FromBytes(bytes), SampleRecord());
    EXPECT_EQ(FontRecord::FromBytes(bytes.left(91)), std::nullopt);
    EXPECT_EQ(FontRecord::FromBytes(bytes + '\0'), std::nullopt);
}

TEST(FontRecord, FaceNamesAreCutToThirtyOneUnitsWithoutSplittingAPair)
{
    FontRecord record;
    record.SetFaceName(QString(QString(30, u'a') + QStringLiteral("\U0001F600")));
    EXPECT_EQ(record.FaceName(), QString(30, u'a'));
    record.SetFaceName(QString(40, u'b'));
    EXPECT_EQ(record.FaceName(), QString(31, u'b'));
    record.face.fill(u'c'); // a stored record may lack the terminating zero
    EXPECT_EQ(record.FaceName(), QString(32, u'c'));
}

TEST(FontRecord, DefaultIsTahomaScaledToTheScreen)
{
    const FontRecord font = DefaultFontRecord(10, 96);
    EXPECT_EQ(font.height, -13); // 10 * 96 / 72 = 13.33
    EXPECT_EQ(DefaultFontRecord(8, 96).height, -11); // 10.67 rounds up
    EXPECT_EQ(DefaultFontRecord(9, 120).height, -15);
    EXPECT_EQ(font.weight, 400);
    EXPECT_EQ(font.quality, 4);
    EXPECT_EQ(font.pitchAndFamily, 0x20);
    EXPECT_EQ(font.charSet, 0);
    EXPECT_EQ(font.FaceName(), QStringLiteral("Tahoma"));

    EXPECT_EQ(MulDiv(-10, 96, 72), -13);
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(0x7FFFFFFF, 2, 1), -1);
}

TEST(ReadFontSetting, UsesOnlyExactRecordsAndTakesQualityFromClearType)
{
    auto owned = std::make_unique<MemorySettingsBackend>();
    MemorySettingsBackend* backend = owned.get();
    SettingsStore store(std::move(owned));
    const QString book = QStringLiteral("BookViewFont");

    // Missing: the default is written back with the quality in force.
    store.WriteProfileInt(kSettings, QStringLiteral("UseClearType"), 1);
    const FontRecord first = ReadFontSetting(store, book, 10, 96);
    EXPECT_EQ(first.FaceName(), QStringLiteral("Tahoma"));
    EXPECT_EQ(first.quality, 5);
    EXPECT_EQ(backend->ReadBinary(kSettings, book), first.ToBytes());

    // A stored record replaces the default; its quality follows the switch.
    FontRecord chosen = SampleRecord();
    chosen.quality = 0;
    store.WriteProfileBinary(kSettings, book, chosen.ToBytes());
    store.WriteProfileInt(kSettings, QStringLiteral("UseClearType"), 0);
    FontRecord read = ReadFontSetting(store, book, 10, 96);
    EXPECT_EQ(read.FaceName(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(read.weight, 700);
    EXPECT_EQ(read.quality, 4);

    // A record of another length is ignored, and left as it is.
    const QByteArray odd = chosen.ToBytes().left(60);
    store.WriteProfileBinary(kSettings, book, odd);
    read = ReadFontSetting(store, book, 8, 96);
    EXPECT_EQ(read, DefaultFontRecord(8, 96));
    EXPECT_EQ(backend->ReadBinary(kSettings, book), odd);
}

TEST(ReadFontSetting, WritesNothingInAutorunMode)
{
    auto owned = std::make_unique<MemorySettingsBackend>();
    MemorySettingsBackend* backend = owned.get();
    SettingsStore store(std::move(owned), true);
    EXPECT_EQ(
        ReadFontSetting(store, QStringLiteral("LogViewFont"), 8, 96), DefaultFontRecord(8, 96));
    EXPECT_EQ(backend->ReadBinary(kSettings, QStringLiteral("LogViewFont")), std::nullopt);
}
