#include "synthetic_cover.h"

#include <algorithm>
#include <cstdio> // jpeglib.h needs FILE
#include <cstdlib>
#include <jpeglib.h>
#include <png.h>
#include <vector>

namespace lbv {
namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 144;

// Two colours blended top to bottom with a band for the title and a little texture.
std::vector<unsigned char> PaintCover(std::mt19937& rng)
{
    unsigned char top[3];
    unsigned char bottom[3];
    for (int c = 0; c < 3; ++c) {
        top[c] = static_cast<unsigned char>(rng() % 256);
        bottom[c] = static_cast<unsigned char>(rng() % 256);
    }
    const int bandTop = 20 + int(rng() % 40);
    std::vector<unsigned char> pixels(std::size_t(kWidth * kHeight * 3));
    for (int y = 0; y < kHeight; ++y) {
        const bool band = y >= bandTop && y < bandTop + 24;
        for (int x = 0; x < kWidth; ++x) {
            unsigned char* pixel = &pixels[std::size_t((y * kWidth + x) * 3)];
            for (int c = 0; c < 3; ++c) {
                const int blend = (top[c] * (kHeight - y) + bottom[c] * y) / kHeight;
                const int texture = ((x * 7 + y * 3) % 11) - 5;
                pixel[c] = static_cast<unsigned char>(
                    band ? 240 - c * 10 : std::clamp(blend + texture, 0, 255));
            }
        }
    }
    return pixels;
}

void AppendPngBytes(png_structp png, png_bytep data, png_size_t length)
{
    static_cast<QByteArray*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

QByteArray EncodePng(const std::vector<unsigned char>& pixels)
{
    QByteArray out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, AppendPngBytes, nullptr);
    png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
        PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < kHeight; ++y)
        png_write_row(png, &pixels[std::size_t(y * kWidth * 3)]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

QByteArray EncodeJpeg(std::vector<unsigned char>& pixels)
{
    jpeg_compress_struct jpeg {};
    jpeg_error_mgr errors {};
    jpeg.err = jpeg_std_error(&errors);
    jpeg_create_compress(&jpeg);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&jpeg, &buffer, &size);
    jpeg.image_width = kWidth;
    jpeg.image_height = kHeight;
    jpeg.input_components = 3;
    jpeg.in_color_space = JCS_RGB;
    jpeg_set_defaults(&jpeg);
    jpeg_set_quality(&jpeg, 80, TRUE);
    jpeg_start_compress(&jpeg, TRUE);
    while (jpeg.next_scanline < jpeg.image_height) {
        JSAMPROW row = &pixels[std::size_t(jpeg.next_scanline) * kWidth * 3];
        jpeg_write_scanlines(&jpeg, &row, 1);
    }
    jpeg_finish_compress(&jpeg);
    QByteArray out(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    jpeg_destroy_compress(&jpeg);
    return out;
}

} // namespace

SyntheticCover MakeSyntheticCover(std::mt19937& rng)
{
    std::vector<unsigned char> pixels = PaintCover(rng);
    if (rng() % 2)
        return {EncodePng(pixels), "image/png", "cover.png"};
    return {EncodeJpeg(pixels), "image/jpeg", "cover.jpg"};
}

} // namespace lbv
