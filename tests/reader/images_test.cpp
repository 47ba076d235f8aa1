#include "reader_test_support.h"

#include "reader/document_factory.h"
#include "reader/fixed_width_measurer.h"
#include "reader/image_decoding.h"
#include "reader/reader_session.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>

namespace lbv {
namespace {

// A width x height picture whose left half is red and right half blue, at the given level.
std::vector<uint8_t> TwoColours(int width, int height, uint8_t level = 255)
{
    std::vector<uint8_t> rgb(std::size_t(width * height * 3));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = rgb.data() + (y * width + x) * 3;
            p[0] = x < width / 2 ? level : 0;
            p[2] = x < width / 2 ? 0 : level;
        }
    return rgb;
}

QByteArray Png(int width, int height, uint8_t level = 255)
{
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    const std::vector<uint8_t> rgb = TwoColours(width, height, level);
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr);
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    png_image_write_to_memory(&image, out.data(), &size, 0, rgb.data(), 0, nullptr);
    return out.left(qsizetype(size));
}

QByteArray Jpeg(int width, int height)
{
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> rgb = TwoColours(width, height);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = rgb.data() + info.next_scanline * unsigned(width) * 3;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray out(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}

const uint8_t* Pixel(const DecodedImage& image, int x, int y)
{
    return reinterpret_cast<const uint8_t*>(image.rgb.constData()) + (y * image.width + x) * 3;
}

TEST(Images, FitsTheLimitsKeepingTheAspect)
{
    int w = 0, h = 0;
    FitSize(100, 50, 200, 200, w, h);
    EXPECT_EQ(std::pair(w, h), std::pair(100, 50));
    FitSize(400, 100, 200, 200, w, h);
    EXPECT_EQ(std::pair(w, h), std::pair(200, 50));
    FitSize(100, 400, 200, 200, w, h);
    EXPECT_EQ(std::pair(w, h), std::pair(50, 200));
    FitSize(300, 301, 100, 100, w, h);
    EXPECT_EQ(std::pair(w, h), std::pair(99, 100));
    FitSize(5000, 1, 100, 100, w, h);
    EXPECT_EQ(std::pair(w, h), std::pair(100, 1)); // never below one pixel
}

TEST(Images, GammaTableIsNearlyTheIdentityAt22)
{
    const auto table = GammaTable(2200000);
    EXPECT_EQ(table[0], 0);
    EXPECT_NEAR(table[128], 128, 1);
    EXPECT_GE(table[255], 254);
    const auto bright = GammaTable(5000000); // 5 brightens the middle tones
    EXPECT_GT(bright[128], 128 + 40);
    EXPECT_EQ(GammaTable(99000000), bright); // clamped to 5
}

TEST(Images, DecodesBase64InPiecesUpToThePadding)
{
    Base64Decoder decoder;
    decoder.Feed(QByteArrayView("SGVs\nbG8s"));
    decoder.Feed(QStringView(u" IHdv cmxk IQ==ignored"));
    EXPECT_TRUE(decoder.Ended());
    EXPECT_EQ(decoder.Take(), "Hello, world!");
}

TEST(Images, DecodesScalesAndTurnsPngAndJpeg)
{
    for (const auto& [data, kind] : {std::pair {Png(40, 20), PictureKind::Png},
             std::pair {Jpeg(40, 20), PictureKind::Jpeg}}) {
        const ImageHandle same = DecodePicture(data, kind, 2200000, {100, 100, 0});
        ASSERT_TRUE(same);
        EXPECT_EQ(same->width, 40);
        EXPECT_EQ(same->height, 20);
        EXPECT_EQ(same->rgb.size(), 40 * 20 * 3);
        EXPECT_GT(Pixel(*same, 2, 2)[0], 200);
        EXPECT_GT(Pixel(*same, 37, 2)[2], 200);

        const ImageHandle small = DecodePicture(data, PictureKind::Unknown, 2200000, {10, 10, 0});
        ASSERT_TRUE(small);
        EXPECT_EQ(std::pair(small->width, small->height), std::pair(10, 5));

        // Turned a quarter with the page (counterclockwise, as its text): the left (red) half
        // ends at the bottom; a three-quarter turn puts it on top.
        const ImageHandle turned = DecodePicture(data, kind, 2200000, {100, 100, 900});
        ASSERT_TRUE(turned);
        EXPECT_EQ(std::pair(turned->width, turned->height), std::pair(20, 40));
        EXPECT_GT(Pixel(*turned, 10, 37)[0], 200);
        EXPECT_GT(Pixel(*turned, 10, 2)[2], 200);
        const ImageHandle back = DecodePicture(data, kind, 2200000, {100, 100, 2700});
        ASSERT_TRUE(back);
        EXPECT_GT(Pixel(*back, 10, 2)[0], 200);
        EXPECT_GT(Pixel(*back, 10, 37)[2], 200);
    }
    EXPECT_FALSE(DecodePicture("not a picture", PictureKind::Png, 2200000, {10, 10, 0}));
    EXPECT_FALSE(DecodePicture(Png(4, 4).left(30), PictureKind::Png, 2200000, {10, 10, 0}));
    EXPECT_FALSE(DecodePicture(Jpeg(16, 16).left(100), PictureKind::Jpeg, 2200000, {10, 10, 0}));
}

TEST(Images, CacheReusesFittingResultsAndKeepsFour)
{
    ImageCache cache;
    auto image = std::make_shared<DecodedImage>(DecodedImage {30, 20, {}});
    cache.Add(u"a"_qs, {100, 100, 0}, image);
    EXPECT_EQ(cache.Find(u"a"_qs, {100, 100, 0}), image);
    EXPECT_EQ(cache.Find(u"a"_qs, {50, 40, 0}), image); // smaller than both limits
    EXPECT_FALSE(cache.Find(u"a"_qs, {25, 100, 0}));
    EXPECT_FALSE(cache.Find(u"a"_qs, {100, 100, 900}));
    for (const char16_t* id : {u"b", u"c", u"d", u"e"})
        cache.Add(QString::fromUtf16(id), {100, 100, 0}, image);
    EXPECT_FALSE(cache.Find(u"a"_qs, {100, 100, 0})); // the oldest went
    EXPECT_TRUE(cache.Find(u"b"_qs, {100, 100, 0}));
}

TEST(Images, Fb2BinariesAndPictureFilesOpenAsPictures)
{
    const QByteArray png = Png(8, 8);
    const auto loaded = test::LoadFb2(test::Fb2(
        "<body><section><image l:href=\"#p.png\"/></section></body><binary id=\"p.png\" "
        "content-type=\"image/png\">\n"
        + png.toBase64().insert(10, "\n  \n").insert(30, "\r\n") + "\n</binary>"
        "<binary id=\"bad\" content-type=\"image/png\">AAAA</binary>"));
    ASSERT_TRUE(loaded.ok);
    const ImageHandle image = loaded.document->GetImage(u"p.png"_qs, {100, 100, 0});
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 8);
    EXPECT_EQ(loaded.document->GetImage(u"p.png"_qs, {100, 100, 0}), image); // cached
    EXPECT_FALSE(loaded.document->GetImage(u"bad"_qs, {100, 100, 0}));
    EXPECT_FALSE(loaded.document->GetImage(u"missing"_qs, {100, 100, 0}));

    QTemporaryDir dir;
    QFile file(dir.filePath(u"picture.jpg"_qs));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Jpeg(32, 16));
    file.close();
    QString error;
    auto document = OpenDocument(file.fileName(), -1, -1, {}, {}, error);
    ASSERT_TRUE(document) << error.toStdString();
    const ParagraphView view = document->GetParagraph(0, 0);
    EXPECT_TRUE(view.IsImage());
    EXPECT_EQ(view.text.size(), kImageParagraphLength);
    ASSERT_EQ(view.links.size(), 1);
    const ImageHandle picture = document->GetImage(view.links[0].target, {16, 16, 0});
    ASSERT_TRUE(picture);
    EXPECT_EQ(std::pair(picture->width, picture->height), std::pair(16, 8));
}

} // namespace
} // namespace lbv

namespace lbv {
namespace {

TEST(Images, AChangedGammaDecodesTheOpenBooksPicturesAgain)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(u"grey.png"_qs));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Png(8, 8, 128));
    file.close();
    auto store = test::MemoryStore();
    store->WriteProfileInt(kParametersSection, u"Gamma"_qs, 1000000);
    FixedWidthMeasurer measurer;
    ReaderSession session(*store, measurer, [](const QString&) { });
    ASSERT_TRUE(session.Open(file.fileName()));
    const QString id = session.Document()->GetParagraph(0, 0).links[0].target;
    const ImageHandle dark = session.Document()->GetImage(id, {100, 100, 0});
    ASSERT_TRUE(dark);
    EXPECT_LT(Pixel(*dark, 1, 1)[0], 100); // gamma 1 darkens the middle tones

    store->WriteProfileInt(kParametersSection, u"Gamma"_qs, 5000000);
    session.ReloadParameters();
    const ImageHandle bright = session.Document()->GetImage(id, {100, 100, 0});
    ASSERT_TRUE(bright);
    EXPECT_GT(Pixel(*bright, 1, 1)[0], 160);
}

} // namespace
} // namespace lbv
