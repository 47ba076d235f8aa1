// The fuzz targets over library files, run over damaged copies of good inputs: every cut and
// many flipped bytes must be refused or read, never crash.
#include "fuzz/fuzz_library_inputs.h"
#include "support/raw_zip.h"

#include <gtest/gtest.h>

namespace lbv {
namespace {

template<typename Run> void RunDamaged(const QByteArray& good, Run run)
{
    run(good);
    for (qsizetype at = 0; at < good.size(); at += 7) {
        run(good.left(at));
        QByteArray flipped = good;
        flipped[at] = char(flipped[at] ^ 0xA5);
        run(flipped);
    }
}

TEST(LibraryFuzzInputs, DamagedArchivesAndIndexesAreReadSafely)
{
    const QByteArray book = "<?xml version=\"1.0\"?><FictionBook><description><title-info>"
                            "<author><last-name>L</last-name></author><book-title>T</book-title>"
                            "</title-info></description><body><p>x</p></body></FictionBook>";
    for (const test::RawZipShape& shape :
        {test::RawZipShape {}, test::RawZipShape {"comment", "MZ stub", true}})
        RunDamaged(
            test::RawZip({{"a\\b.fb2", book}, {"a/b.fb2", book}, {"c\x01.fb2", book}}, shape),
            fuzz::ReadArchiveMembers);

    const QByteArray index = "<?xml version=\"1.0\" encoding=\"utf-8\"?><books><options>"
                             "<file-name-mask>%f %l\\%t</file-name-mask></options>"
                             "<author first=\"A\" last=\"B\"><book title=\"T\" file=\"x.zip@y.fb2\""
                             " compression=\"1\"/></author></books>";
    RunDamaged("\x01" + index, fuzz::OpenIndex);
    RunDamaged(QByteArray(1, 0) + index, fuzz::OpenIndex);
}

} // namespace
} // namespace lbv
