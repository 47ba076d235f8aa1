#include "import/zip_file.h"
#include "support/raw_zip.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <random>
#include <zlib.h>

using namespace lbv;

namespace {

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void SetFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

quint16 Get16(const QByteArray& bytes, qsizetype at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

void Put16(QByteArray& bytes, qsizetype at, quint16 value)
{
    qToLittleEndian<quint16>(value, bytes.data() + at);
}

void Put32(QByteArray& bytes, qsizetype at, quint32 value)
{
    qToLittleEndian<quint32>(value, bytes.data() + at);
}

QByteArray Random(qsizetype size, unsigned seed)
{
    std::mt19937 rng(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(rng());
    return bytes;
}

// The text thrown by action, or "no error".
template<typename Action> QString ErrorOf(Action action)
{
    try {
        action();
    } catch (const ZipError& error) {
        return error.Text();
    }
    return QStringLiteral("no error");
}

// A one-member stored archive built by hand, for names in encodings this class never writes.
QByteArray HandMadeArchive(const QByteArray& name, quint16 flags, const QByteArray& data)
{
    QByteArray local(30, '\0');
    local.replace(0, 4, "PK\x03\x04");
    Put16(local, 6, flags);
    Put16(local, 26, quint16(name.size()));
    QByteArray central(46, '\0');
    central.replace(0, 4, "PK\x01\x02");
    Put16(central, 8, flags);
    Put32(central, 16,
        quint32(crc32_z(0, reinterpret_cast<const Bytef*>(data.constData()), data.size())));
    Put32(central, 20, quint32(data.size()));
    Put32(central, 24, quint32(data.size()));
    Put16(central, 28, quint16(name.size()));
    QByteArray end(22, '\0');
    end.replace(0, 4, "PK\x05\x06");
    Put16(end, 8, 1);
    Put16(end, 10, 1);
    Put32(end, 12, quint32(central.size() + name.size()));
    Put32(end, 16, quint32(local.size() + name.size() + data.size()));
    // The local header carries no CRC or sizes here; this class reads them from the directory.
    return local + name + data + central + name + end;
}

class ZipFileTest : public ::testing::Test {
protected:
    QString Path(const QString& name = QStringLiteral("book.zip")) const
    {
        return m_dir.path() + QLatin1Char('/') + name;
    }

    // A one-member archive: "book.fb2" holding text, stored or deflated.
    QString OneBookArchive(quint16 method, const QByteArray& text = "<FictionBook/>")
    {
        CZipFile zip;
        zip.Open(Path(), 'w', method);
        zip.Write(QStringLiteral("book.fb2"), text);
        zip.Close();
        return Path();
    }

    QString OpenAndReadAll(const QString& path)
    {
        return ErrorOf([&] {
            CZipFile zip;
            zip.Open(path, 'r');
            for (const CZipInfo& info : zip.Members())
                zip.Read(info.fileName);
        });
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(ZipFileTest, RoundTripsStoredAndDeflatedMembersWithUtf8Names)
{
    const QByteArray text = QByteArray("<p>Тихий Дон</p>\n").repeated(5000);
    const QByteArray noise = Random(300 * 1024, 1); // does not compress at all
    {
        CZipFile zip;
        zip.Open(Path(), 'w', ZipDeflated);
        CZipInfo stored(QStringLiteral("Шолохов\\Тихий Дон.fb2"));
        zip.Write(stored, text);
        zip.Write(QStringLiteral("deflated.fb2"), text);
        zip.Write(QStringLiteral("cover.jpg"), noise);
        zip.Write(QStringLiteral("empty"), QByteArray());
        zip.Close();
        zip.Close(); // closing twice does nothing
    }
    CZipFile zip;
    zip.Open(Path(), 'r');
    ASSERT_EQ(zip.Members().size(), 4u);
    const CZipInfo& first = zip.Members()[0];
    EXPECT_EQ(first.fileName, QStringLiteral("Шолохов/Тихий Дон.fb2"));
    EXPECT_EQ(first.compressType, ZipStored);
    EXPECT_EQ(first.compressSize, quint32(text.size()));
    EXPECT_TRUE(first.flagBits & 0x0800) << "UTF-8 names carry the language-encoding flag";
    EXPECT_EQ(zip.Members()[1].compressType, ZipDeflated);
    EXPECT_LT(zip.Members()[1].compressSize, quint32(text.size() / 10));
    EXPECT_EQ(zip.Read(QStringLiteral("Шолохов/Тихий Дон.fb2")), text);
    EXPECT_EQ(zip.Read(QStringLiteral("deflated.fb2")), text);
    EXPECT_EQ(zip.Read(QStringLiteral("cover.jpg")), noise);
    EXPECT_EQ(zip.Read(QStringLiteral("empty")), QByteArray());
    EXPECT_EQ(zip.Read(QStringLiteral("Шолохов\\Тихий Дон.fb2")), text);
    EXPECT_EQ(ErrorOf([&] { zip.Read(QStringLiteral("DEFLATED.FB2")); }),
        QStringLiteral("Requested file is not in this ZIP"));
}

TEST_F(ZipFileTest, DataDescriptorFlagMovesSizesBehindTheData)
{
    {
        CZipFile zip;
        zip.Open(Path(), 'w');
        CZipInfo info(QStringLiteral("a.fb2"));
        info.compressType = ZipDeflated;
        info.flagBits = 0x0008;
        zip.Write(info, "abcabcabc");
    }
    const QByteArray bytes = FileBytes(Path());
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 18), 0u);
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 22), 0u);
    CZipFile zip;
    zip.Open(Path(), 'r');
    EXPECT_EQ(zip.Read(QStringLiteral("a.fb2")), QByteArray("abcabcabc"));
}

TEST_F(ZipFileTest, NamesWithoutTheFlagAreUtf8WhenValidElseCp866)
{
    // "Война.fb2" in CP866, as DOS-era Russian archivers wrote it.
    SetFileBytes(Path(), HandMadeArchive("\x82\xae\xa9\xad\xa0.fb2", 0, "text"));
    CZipFile zip;
    zip.Open(Path(), 'r');
    ASSERT_EQ(zip.Members().size(), 1u);
    EXPECT_EQ(zip.Members()[0].fileName, QStringLiteral("Война.fb2"));
    EXPECT_EQ(zip.Read(QStringLiteral("Война.fb2")), QByteArray("text"));
    zip.Close();

    SetFileBytes(Path(), HandMadeArchive(QStringLiteral("Мир.fb2").toUtf8(), 0, "x"));
    zip.Open(Path(), 'r');
    EXPECT_EQ(zip.Members()[0].fileName, QStringLiteral("Мир.fb2"));
}

TEST_F(ZipFileTest, AppendModeKeepsOldMembersAndReplacesTheDirectory)
{
    OneBookArchive(ZipDeflated, "first");
    {
        CZipFile zip;
        zip.Open(Path(), 'a');
        EXPECT_EQ(zip.Read(QStringLiteral("book.fb2")), QByteArray("first"));
        EXPECT_EQ(ErrorOf([&] { zip.Write(QStringLiteral("book.fb2"), "again"); }),
            QStringLiteral("Duplicate name"));
        zip.Write(QStringLiteral("second.fb2"), "second");
    }
    CZipFile zip;
    zip.Open(Path(), 'r');
    ASSERT_EQ(zip.Members().size(), 2u);
    EXPECT_EQ(zip.Read(QStringLiteral("book.fb2")), QByteArray("first"));
    EXPECT_EQ(zip.Read(QStringLiteral("second.fb2")), QByteArray("second"));
    zip.Close();

    // A file without a directory (here a script stub) gets the archive appended to it.
    SetFileBytes(Path(QStringLiteral("stub")), "#!/bin/sh\n");
    zip.Open(Path(QStringLiteral("stub")), 'a');
    zip.Write(QStringLiteral("x"), "y");
    zip.Close();
    zip.Open(Path(QStringLiteral("stub")), 'r');
    EXPECT_EQ(zip.Read(QStringLiteral("x")), QByteArray("y"));
}

TEST_F(ZipFileTest, DosDatesUseLocalTime)
{
    const QByteArray oldTz = qgetenv("TZ");
    qputenv("TZ", "MSK-3");
    tzset();
    std::tm local {};
    local.tm_year = 2004 - 1900;
    local.tm_mon = 0;
    local.tm_mday = 31;
    local.tm_hour = 10;
    local.tm_min = 20;
    local.tm_sec = 31;
    local.tm_isdst = -1;
    const qint64 time = qint64(std::mktime(&local));
    EXPECT_EQ(time, 1075533631); // 07:20:31 UTC
    {
        CZipFile zip;
        zip.Open(Path(), 'w');
        zip.Write(CZipInfo(QStringLiteral("a"), time), "a");
        zip.Write(CZipInfo(QStringLiteral("old"), 86400 * 365), "b");
    }
    const QByteArray bytes = FileBytes(Path());
    EXPECT_EQ(Get16(bytes, 12), (24 << 9) | (1 << 5) | 31); // 2004, month 1, day 31
    EXPECT_EQ(Get16(bytes, 10), (10 << 11) | (20 << 5) | 15); // seconds are halved
    CZipFile zip;
    zip.Open(Path(), 'r');
    EXPECT_EQ(zip.Members()[0].dateTime, time - 1);
    quint16 date = 0;
    quint16 dosTime = 0;
    DosDateTime(zip.Members()[1].dateTime, &date, &dosTime);
    EXPECT_EQ(date, (1 << 5) | 1) << "times before 1980 become the first DOS day";
    EXPECT_EQ(dosTime, 0);
    if (oldTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", oldTz);
    tzset();
}

TEST_F(ZipFileTest, ModeAndStateErrorsComeInTheirOrder)
{
    CZipFile zip;
    EXPECT_EQ(ErrorOf([&] { zip.Open(Path(), 'x'); }),
        QStringLiteral("Mode must be \"r\", \"w\" or \"a\""));
    EXPECT_EQ(ErrorOf([&] { zip.Open(Path(), 'w', 12); }),
        QStringLiteral("That compression method is not supported"));
    EXPECT_EQ(ErrorOf([&] { zip.Open(Path(QStringLiteral("missing.zip")), 'r'); }),
        QStringLiteral("Can't open"));
    EXPECT_EQ(ErrorOf([&] { zip.Open(Path(QStringLiteral("missing.zip")), 'a'); }),
        QStringLiteral("Can't open"));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("missing.zip"))));
    EXPECT_EQ(ErrorOf([&] { zip.Open(m_dir.path(), 'r'); }), QStringLiteral("Can't open"));
    EXPECT_FALSE(zip.IsOpen());

    zip.Open(Path(), 'w');
    EXPECT_EQ(ErrorOf([&] { zip.Read(QStringLiteral("a")); }),
        QStringLiteral("read() requires mode \"r\" or \"a\""));
    CZipInfo odd(QStringLiteral("odd"));
    odd.compressType = 12;
    EXPECT_EQ(ErrorOf([&] { zip.Write(odd, "x"); }),
        QStringLiteral("That compression method is not supported"));
    zip.Write(QStringLiteral("a"), "x");
    zip.Close();
    // The name check comes before the state checks.
    EXPECT_EQ(
        ErrorOf([&] { zip.Write(QStringLiteral("a"), "x"); }), QStringLiteral("Duplicate name"));
    EXPECT_EQ(ErrorOf([&] { zip.Write(QStringLiteral("b"), "x"); }),
        QStringLiteral("Attempt to write ZIP archive that was already closed"));

    zip.Open(Path(), 'r');
    EXPECT_EQ(ErrorOf([&] { zip.Write(QStringLiteral("b"), "x"); }),
        QStringLiteral("write() requires mode \"w\" or \"a\""));
    zip.Close();
    EXPECT_EQ(ErrorOf([&] { zip.Read(QStringLiteral("a")); }),
        QStringLiteral("Attempt to read ZIP archive that was already closed"));
}

TEST_F(ZipFileTest, ReadsArchivesWithACommentAStubOrZip64EndRecordsButNotAppendedBytes)
{
    const std::vector<test::RawMember> members {{"a.fb2", "first"}, {"b.fb2", "second"}};
    const auto readBoth = [&](const test::RawZipShape& shape) -> QByteArray {
        SetFileBytes(Path(), test::RawZip(members, shape));
        CZipFile zip;
        zip.Open(Path(), 'r');
        return zip.Read(QStringLiteral("a.fb2")) + '+' + zip.Read(QStringLiteral("b.fb2"));
    };
    EXPECT_EQ(readBoth({"Downloaded from somewhere", {}, false}), "first+second");
    EXPECT_EQ(readBoth({{}, "MZ" + QByteArray(5000, '\x90'), false}), "first+second");
    EXPECT_EQ(readBoth({{}, {}, true}), "first+second");
    EXPECT_EQ(readBoth({"note", "MZ stub", true}), "first+second");

    const QByteArray good = FileBytes(OneBookArchive(ZipDeflated));
    const QString notZip = QStringLiteral("File is not a zip file, or ends with a comment");
    SetFileBytes(Path(), good + "x");
    EXPECT_EQ(OpenAndReadAll(Path()), notZip);
    SetFileBytes(Path(), "short");
    EXPECT_EQ(OpenAndReadAll(Path()), notZip);
}

TEST_F(ZipFileTest, MembersAreReadWithoutWalkingTheOtherLocalHeaders)
{
    QByteArray bytes = test::RawZip({{"a.fb2", "first"}, {"b.fb2", "second"}});
    bytes[bytes.indexOf("PK\x03\x04", 1) + 3] = 'X'; // b.fb2's local header
    SetFileBytes(Path(), bytes);
    CZipFile zip;
    zip.Open(Path(), 'r');
    EXPECT_EQ(zip.Read(QStringLiteral("a.fb2")), "first");
    EXPECT_EQ(ErrorOf([&] { zip.Read(QStringLiteral("b.fb2")); }),
        QStringLiteral("Bad magic number for file header"));
}

TEST_F(ZipFileTest, NamesAreNormalisedAndTheFirstOfARepeatedNameIsRead)
{
    SetFileBytes(Path(),
        test::RawZip({{"win\\dir\\book.fb2", "windows"}, {"ctl\x01\x1b.fb2", "control"},
            {"dup.fb2", "first"}, {"dup.fb2", "second"}}));
    CZipFile zip;
    zip.Open(Path(), 'r');
    ASSERT_EQ(zip.Members().size(), 4u);
    EXPECT_EQ(zip.Members()[0].fileName, u"win/dir/book.fb2");
    EXPECT_EQ(zip.Members()[1].fileName, u"ctl__.fb2");
    EXPECT_EQ(zip.Read(QStringLiteral("win/dir/book.fb2")), "windows");
    EXPECT_EQ(zip.Read(QStringLiteral("ctl__.fb2")), "control");
    EXPECT_EQ(zip.Read(QStringLiteral("dup.fb2")), "first");
}

TEST_F(ZipFileTest, DamagedRecordsGiveTheirTexts)
{
    const QByteArray good = FileBytes(OneBookArchive(ZipStored, "0123456789"));
    const qsizetype central = 30 + 8 + 10; // local header, "book.fb2", data
    const auto damaged = [&](auto change) {
        QByteArray bytes = good;
        change(bytes);
        SetFileBytes(Path(), bytes);
        return OpenAndReadAll(Path());
    };
    EXPECT_EQ(damaged([&](QByteArray& b) { b[central] = 'X'; }),
        QStringLiteral("Bad magic number for central directory"));
    EXPECT_EQ(damaged([&](QByteArray& b) { Put32(b, b.size() - 10, 5000); }),
        QStringLiteral("Can't position on central directory"));
    EXPECT_EQ(damaged([&](QByteArray& b) { Put16(b, central + 28, 60000); }),
        QStringLiteral("Can't read central directory"));
    EXPECT_EQ(damaged([&](QByteArray& b) { Put32(b, central + 42, 1u << 30); }),
        QStringLiteral("Can't position on file header"));
    EXPECT_EQ(damaged([&](QByteArray& b) { b[30] = 'B'; }),
        QStringLiteral("File name in directory and header differ."));
    EXPECT_EQ(damaged([&](QByteArray& b) { Put16(b, central + 10, 12); }),
        QStringLiteral("Unsupported compression method for file"));
    EXPECT_EQ(damaged([&](QByteArray& b) { b[40] = '!'; }), QStringLiteral("Bad CRC-32 for file"));
    EXPECT_EQ(damaged([&](QByteArray& b) { Put32(b, central + 20, 100000); }),
        QStringLiteral("Can't read compressed data"));
}

TEST_F(ZipFileTest, HostileSizesFailWithoutHugeAllocations)
{
    const QByteArray good = FileBytes(OneBookArchive(ZipDeflated, QByteArray(5000, 'a')));
    const qsizetype central = good.indexOf("PK\x01\x02");
    QByteArray bytes = good;
    Put32(bytes, central + 24, 0xFFFFFFF0u); // file size: 4 GB
    SetFileBytes(Path(), bytes);
    EXPECT_EQ(OpenAndReadAll(Path()), QStringLiteral("File in ZIP is too large"));

    bytes = good;
    Put32(bytes, central + 24, 100u * 1024 * 1024); // more than deflate can make of a few bytes
    SetFileBytes(Path(), bytes);
    EXPECT_EQ(OpenAndReadAll(Path()), QStringLiteral("File in ZIP is too large"));

    bytes = good;
    Put32(bytes, central + 20, 0x7FFFFFF0u); // compressed size far past the end of the file
    SetFileBytes(Path(), bytes);
    EXPECT_EQ(OpenAndReadAll(Path()), QStringLiteral("File in ZIP is too large"));

    bytes = good;
    bytes[40] = char(bytes[40] ^ 0x55); // damage the deflate stream itself
    SetFileBytes(Path(), bytes);
    const QString text = OpenAndReadAll(Path());
    EXPECT_TRUE(text == QStringLiteral("Error decompressing file")
        || text == QStringLiteral("Bad CRC-32 for file"))
        << text.toStdString();
}

TEST_F(ZipFileTest, EveryTruncationAndByteFlipFailsCleanly)
{
    CZipFile writer;
    writer.Open(Path(QStringLiteral("source.zip")), 'w');
    writer.Write(QStringLiteral("a.fb2"), QByteArray("<p>text</p>").repeated(40));
    writer.Write(QStringLiteral("b.fb2"), "short");
    writer.Close();
    const QByteArray good = FileBytes(Path(QStringLiteral("source.zip")));
    for (qsizetype cut = 0; cut < good.size(); ++cut) {
        SetFileBytes(Path(), good.left(cut));
        EXPECT_NE(OpenAndReadAll(Path()), QStringLiteral("no error")) << "cut at " << cut;
    }
    // Flipped bytes may go unnoticed (times, attributes); they must never crash or hang.
    for (qsizetype at = 0; at < good.size(); ++at) {
        QByteArray bytes = good;
        bytes[at] = char(bytes[at] ^ 0xA5);
        SetFileBytes(Path(), bytes);
        OpenAndReadAll(Path());
    }
}
