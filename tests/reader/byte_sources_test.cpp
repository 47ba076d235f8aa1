#include "reader/document_factory.h"
#include "reader/palm_sources.h"
#include "reader/zip_member_source.h"
#include "reader/zip_scan.h"
#include "reader_test_support.h"
#include "support/raw_zip.h"
#include "zip_test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace lbv {
namespace {

using test::MakeZip;
using test::ZipEntry;

void Be16(QByteArray& out, uint32_t v)
{
    out.append(char(v >> 8 & 0xFF)).append(char(v & 0xFF));
}

void Be32(QByteArray& out, uint32_t v)
{
    Be16(out, v >> 16);
    Be16(out, v & 0xFFFF);
}

QByteArray ReadAll(ByteSource& source, int64_t position, int64_t size)
{
    QByteArray out(int(size), Qt::Uninitialized);
    const int64_t got = source.ReadAt(position, out.data(), size);
    out.resize(int(std::max<int64_t>(got, 0)));
    return out;
}

QByteArray Noise(int size, unsigned seed)
{
    std::mt19937 rng(seed);
    QByteArray text;
    while (text.size() < size)
        text += "word" + QByteArray::number(rng() % 5000) + (rng() % 7 ? " " : "\n");
    return text.left(size);
}

TEST(ZipScan, ListsReadableMembersInFolders)
{
    MemoryByteSource archive(MakeZip({{"books/", {}, false}, {"books/a.fb2", "stored text", false},
        {"books/deep/b.txt", Noise(5000, 1)}, {"secret.txt", "x", false, 1},
        {"c.txt", "after a descriptor", true, 0, true}, {"\x8F\xE0\xA8.txt", "cp866 name", false}}));
    QString error;
    const auto directory = ZipDirectory::Scan(archive, QString(), error);
    ASSERT_TRUE(directory) << error.toStdString();
    EXPECT_EQ(directory->MemberCount(), 4); // the folder and the encrypted member are skipped
    const ZipMember* a = directory->Find(u"books/a.fb2"_qs);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->compressedSize, -1);
    EXPECT_EQ(a->size, 11);
    ASSERT_TRUE(directory->Find(u"books/deep/b.txt"_qs));
    EXPECT_TRUE(directory->Root().Folder(u"books"_qs)->Folder(u"deep"_qs));
    EXPECT_FALSE(directory->Find(u"secret.txt"_qs));
    EXPECT_TRUE(directory->Find(u"При.txt"_qs)); // not UTF-8: read as CP866
    const ZipMember* c = directory->Find(u"c.txt"_qs);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->size, 18);
    auto shared = std::make_shared<MemoryByteSource>(
        MakeZip({{"c.txt", "after a descriptor", true, 0, true}}));
    QString ignored;
    const auto only = ZipDirectory::Scan(*shared, QString(), ignored);
    ZipMemberSource member(shared, *only->Find(u"c.txt"_qs), 16384);
    EXPECT_EQ(ReadAll(member, 0, 100), "after a descriptor");
}

TEST(ZipScan, RejectsBrokenArchives)
{
    const QByteArray good = MakeZip({{"a.txt", "hello", false}});
    QByteArray noName = MakeZip({{"", "1", false}});
    QByteArray truncated = good.left(good.size() - 46);
    QByteArray hugeMember = good;
    hugeMember.replace(18, 8, QByteArray("\xFF\xFF\xFF\xF0\xFF\xFF\xFF\xF0", 8)); // ~4 GB
    QByteArray hugeInflated = MakeZip({{"a.txt", "hello"}});
    hugeInflated.replace(22, 4, QByteArray("\xFF\xFF\xFF\xF0", 4));
    QByteArray zip64 = good;
    zip64.replace(18, 8, QByteArray(8, '\xFF'));
    for (const QByteArray& bytes :
        {noName, truncated, hugeMember, hugeInflated, zip64, QByteArray("PK")}) {
        MemoryByteSource archive(bytes);
        QString error;
        EXPECT_FALSE(ZipDirectory::Scan(archive, QString(), error));
        EXPECT_EQ(error, u"Invalid or unsupported ZIP file");
    }
}

TEST(ZipScan, SeesMembersAsTheImportDoes)
{
    const std::vector<test::RawMember> members {{"win\\dir\\one.fb2", "one"},
        {"ctl\x01\x0b.fb2", "two"}, {"dup.fb2", "three"}, {"dup.fb2", "four"}};
    const std::vector<test::RawZipShape> shapes {{}, {"Downloaded from somewhere", {}, false},
        {{}, "MZ" + QByteArray(5000, '\0'), false}, {{}, {}, true}};
    for (const test::RawZipShape& shape : shapes) {
        auto archive = std::make_shared<MemoryByteSource>(test::RawZip(members, shape));
        QString error;
        const auto directory = ZipDirectory::Scan(*archive, QString(), error);
        ASSERT_TRUE(directory) << error.toStdString();
        EXPECT_EQ(directory->MemberCount(), 3);
        const auto read = [&](const QString& path) -> QByteArray {
            const ZipMember* member = directory->Find(path);
            if (!member)
                return QByteArray("absent");
            ZipMemberSource source(archive, *member, 4096);
            return ReadAll(source, 0, 100);
        };
        EXPECT_EQ(read(u"win/dir/one.fb2"_qs), "one");
        EXPECT_EQ(read(u"win\\dir\\one.fb2"_qs), "one");
        EXPECT_EQ(read(u"ctl__.fb2"_qs), "two");
        EXPECT_EQ(read(u"dup.fb2"_qs), "three");
    }
}

TEST(ZipMemberSource, ReadsDeflatedDataForwardAndBack)
{
    const QByteArray text = Noise(3 * 1024 * 1024 + 777, 2);
    auto archive = std::make_shared<MemoryByteSource>(MakeZip({{"big.txt", text}}));
    QString error;
    const auto directory = ZipDirectory::Scan(*archive, QString(), error);
    ASSERT_TRUE(directory);
    ZipMemberSource member(archive, *directory->Find(u"big.txt"_qs), 16384);
    EXPECT_EQ(member.Size(), text.size());
    EXPECT_TRUE(member.Description().startsWith(u"ZIP, deflated (0."));
    EXPECT_EQ(ReadAll(member, 0, text.size()), text); // a full pass records access points
    std::mt19937 rng(3);
    for (int i = 0; i < 40; ++i) {
        const int64_t at = rng() % uint32_t(text.size());
        const int64_t size = 1 + rng() % 20000;
        ASSERT_EQ(ReadAll(member, at, size), text.mid(int(at), int(size))) << at;
    }
    EXPECT_EQ(ReadAll(member, text.size() - 3, 10), text.right(3));
    EXPECT_EQ(ReadAll(member, text.size() + 5, 10), QByteArray());
    EXPECT_GT(member.MemoryUsed(), 32768 * 2); // access points were kept

    ZipMemberSource stored(archive, ZipMember {u"x"_qs, 0, -1, 4}, 16384);
    EXPECT_EQ(stored.Description(), u"ZIP, stored");
    EXPECT_EQ(ReadAll(stored, 0, 10), archive->Size() >= 4 ? QByteArray("PK\x03\x04") : QByteArray());
}

QByteArray PalmDatabase(const QList<QByteArray>& records, int compression, int recordSize,
    int declaredRecords = -1)
{
    QByteArray db(60, '\0');
    db.replace(0, 4, "Test");
    db += "TEXtREAd";
    db += QByteArray(8, '\0');
    const int count = int(records.size()) + 1;
    Be16(db, declaredRecords >= 0 ? declaredRecords : count);
    QByteArray header;
    Be16(header, compression);
    Be16(header, 0);
    int textLength = 0;
    for (const QByteArray& r : records)
        textLength += r.size();
    Be32(header, textLength);
    Be16(header, records.size());
    Be16(header, recordSize);
    Be32(header, 0);
    uint32_t offset = uint32_t(78 + count * 8);
    QByteArray list, data = header;
    Be32(list, offset);
    Be32(list, 0);
    offset += uint32_t(header.size());
    for (const QByteArray& r : records) {
        Be32(list, offset);
        Be32(list, 0);
        offset += uint32_t(r.size());
        data += r;
    }
    return db + list + data;
}

TEST(PalmDoc, ExpandsTheFourKindsOfCodes)
{
    QByteArray text;
    ASSERT_TRUE(ExpandPalmDoc(QByteArray("\xC1", 1), 100, text));
    EXPECT_EQ(text, " A");
    // Literal, copy of 3 bytes, and a back-reference of distance 3, length 4.
    ASSERT_TRUE(ExpandPalmDoc(QByteArray("x\x03\x80\x81\x82\x80\x19", 7), 100, text));
    EXPECT_EQ(text, QByteArray("x\x80\x81\x82\x80\x81\x82\x80"));
    // A back-reference before the start ends the record.
    ASSERT_TRUE(ExpandPalmDoc(QByteArray("ab\x80\x50zz", 6), 100, text));
    EXPECT_EQ(text, "ab");
    EXPECT_FALSE(ExpandPalmDoc(QByteArray("abcd\x80\x21", 6), 5, text)); // past the limit
}

TEST(PdbTextSource, ReadsPackedAndPlainRecords)
{
    QString error;
    auto packed = PdbTextSource::Open(
        std::make_unique<MemoryByteSource>(PalmDatabase({"Hi\xC1", "Hello\x80\x2A"}, 2, 16)),
        error);
    ASSERT_TRUE(packed);
    EXPECT_EQ(packed->Size(), 4 + 10);
    EXPECT_EQ(ReadAll(*packed, 0, 100), "Hi AHelloHello");
    EXPECT_EQ(ReadAll(*packed, 6, 3), "llo");
    EXPECT_TRUE(packed->Description().startsWith(u"PDB, packed ("));

    auto plain = PdbTextSource::Open(
        std::make_unique<MemoryByteSource>(PalmDatabase({"abc", "def"}, 1, 4096)), error);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->Description(), u"PDB, not packed");
    EXPECT_EQ(ReadAll(*plain, 2, 3), "cde");
}

TEST(PdbTextSource, RejectsRecordsPastTheRecordSizeAndFalseCounts)
{
    const QList<QByteArray> bad = {
        PalmDatabase({"abcdefgh\xC1"}, 2, 8), // expands to 10 bytes with a record size of 8
        PalmDatabase({"abcdefghijk"}, 1, 8),
        PalmDatabase({"abc"}, 1, 8, 65535), // claims 65535 records the file doesn't hold
        PalmDatabase({"abc"}, 3, 8),
        PalmDatabase({"abc"}, 1, 8).left(70),
    };
    for (const QByteArray& bytes : bad) {
        QString error;
        EXPECT_FALSE(PdbTextSource::Open(std::make_unique<MemoryByteSource>(bytes), error));
        EXPECT_EQ(error, u"Invalid or unsupported PDB file");
    }
}

QByteArray TcrFile(int dictionaryEntries)
{
    QByteArray tcr = "!!8-Bit!!";
    for (int code = 0; code < dictionaryEntries; ++code) {
        const QByteArray entry = code < 26 ? QByteArray(1, char('a' + code)) + "x" : QByteArray();
        tcr.append(char(entry.size())).append(entry);
    }
    return tcr;
}

TEST(TcrTextSource, ExpandsCodesAndRejectsATruncatedDictionary)
{
    QByteArray file = TcrFile(256);
    QByteArray expected;
    for (int i = 0; i < 9000; ++i) {
        file.append(char(i % 27));
        if (i % 27 < 26)
            expected += QByteArray(1, char('a' + i % 27)) + "x";
    }
    QString error;
    auto source = TcrTextSource::Open(std::make_unique<MemoryByteSource>(file), error);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->Size(), expected.size());
    EXPECT_EQ(ReadAll(*source, 0, expected.size()), expected);
    EXPECT_EQ(ReadAll(*source, 8190, 20), expected.mid(8190, 20)); // across a block boundary
    EXPECT_TRUE(source->Description().startsWith(u"TCR, packed (0."));

    for (const QByteArray& bytes : {TcrFile(200), TcrFile(256).chopped(1)}) {
        EXPECT_FALSE(TcrTextSource::Open(std::make_unique<MemoryByteSource>(bytes), error));
        EXPECT_EQ(error, u"Invalid or unsupported TCR file");
    }
}

TEST(BookSource, OpensFilesMembersAndReportsWhatFails)
{
    QTemporaryDir dir;
    const QString zipPath = dir.filePath(u"books.zip"_qs);
    QFile zip(zipPath);
    ASSERT_TRUE(zip.open(QIODevice::WriteOnly));
    zip.write(MakeZip({{"in/book.txt", "zipped text"}, {"pal.pdb", PalmDatabase({"palm"}, 1, 64)}}));
    zip.close();
    QString error;
    auto member = OpenBookSource(zipPath + u"/in/book.txt", {}, error);
    ASSERT_TRUE(member) << error.toStdString();
    EXPECT_EQ(ReadAll(*member, 0, 100), "zipped text");
    auto palm = OpenBookSource(zipPath + u"/pal.pdb", {}, error);
    ASSERT_TRUE(palm);
    EXPECT_EQ(ReadAll(*palm, 0, 100), "palm");

    EXPECT_FALSE(OpenBookSource(zipPath + u"/in/missing.txt", {}, error));
    EXPECT_EQ(error, zipPath + u"/in/missing.txt: File not found");
    EXPECT_FALSE(OpenBookSource(dir.filePath(u"none/at/all.txt"_qs), {}, error));
    EXPECT_EQ(error, dir.filePath(u"none/at/all.txt"_qs) + u": File not found");
    EXPECT_FALSE(OpenBookSource(dir.path(), {}, error));
    EXPECT_EQ(error, dir.path() + u": I/O Error");

    const QString notZip = dir.filePath(u"plain.txt"_qs);
    QFile plain(notZip);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.write("just text");
    plain.close();
    EXPECT_FALSE(OpenBookSource(notZip + u"/inner.txt", {}, error));
    EXPECT_EQ(error, u"Invalid or unsupported ZIP file");
    auto file = OpenBookSource(notZip, {}, error);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->Description(), u"None");
}

TEST(FileByteSource, ReadsAcrossBlocks)
{
    QTemporaryDir dir;
    const QByteArray bytes = Noise(100000, 4);
    QFile out(dir.filePath(u"f.bin"_qs));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    out.close();
    QString error;
    auto source = FileByteSource::Open(out.fileName(), 8192, error);
    ASSERT_TRUE(source);
    EXPECT_EQ(ReadAll(*source, 8000, 30000), bytes.mid(8000, 30000));
    EXPECT_EQ(ReadAll(*source, 10, 5), bytes.mid(10, 5));
    EXPECT_EQ(ReadAll(*source, 99990, 100), bytes.right(10));
    EXPECT_EQ(source->MemoryUsed(), 8192);
}

} // namespace
} // namespace lbv
