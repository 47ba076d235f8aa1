#include "reader/image_decoding.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <png.h>
#include <vector>

namespace lbv {
namespace {

// Larger pictures are refused rather than risking an allocation of gigabytes.
constexpr int64_t kMaxPixels = 32 * 1024 * 1024;
constexpr std::size_t kCacheSize = 4;

int Base64Value(char16_t c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return c == '=' ? -2 : -1;
}

struct RawPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
};

bool Allocate(RawPicture& picture, int width, int height)
{
    if (width <= 0 || height <= 0 || int64_t(width) * height > kMaxPixels)
        return false;
    picture.width = width;
    picture.height = height;
    picture.rgb.assign(std::size_t(width) * std::size_t(height) * 3, 0);
    return true;
}

bool DecodePng(QByteArrayView data, RawPicture& picture)
{
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data.data(), std::size_t(data.size())))
        return false;
    image.format = PNG_FORMAT_RGB;
    // Transparent parts show on the page's usual white.
    png_color white {255, 255, 255};
    if (!Allocate(picture, int(image.width), int(image.height))) {
        png_image_free(&image);
        return false;
    }
    const bool ok = png_image_finish_read(&image, &white, picture.rgb.data(), 0, nullptr);
    png_image_free(&image);
    return ok;
}

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void JpegErrorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

void JpegSilence(j_common_ptr, int) { }

// libjpeg reports errors by longjmp; nothing with a destructor lives between setjmp and the
// library calls.
bool DecodeJpeg(QByteArrayView data, int maxWidth, int maxHeight, RawPicture& picture)
{
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JpegErrorExit;
    error.manager.emit_message = JpegSilence;
    std::vector<uint8_t> row;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.data()),
        static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    // Let the decoder shrink big photos by 1/2, 1/4 or 1/8 while staying above the target.
    info.scale_num = 1;
    info.scale_denom = 1;
    while (info.scale_denom < 8 && maxWidth > 0 && maxHeight > 0
        && info.image_width / (info.scale_denom * 2) >= unsigned(maxWidth)
        && info.image_height / (info.scale_denom * 2) >= unsigned(maxHeight))
        info.scale_denom *= 2;
    jpeg_start_decompress(&info);
    if (!Allocate(picture, int(info.output_width), int(info.output_height))) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    row.resize(std::size_t(info.output_width) * std::size_t(info.output_components));
    while (info.output_scanline < info.output_height) {
        uint8_t* rows[] = {row.data()};
        const unsigned line = info.output_scanline;
        jpeg_read_scanlines(&info, rows, 1);
        uint8_t* out = picture.rgb.data() + std::size_t(line) * std::size_t(picture.width) * 3;
        if (!cmyk) {
            std::memcpy(out, row.data(), std::size_t(picture.width) * 3);
            continue;
        }
        // Adobe writes CMYK inverted: each channel times K gives RGB.
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = row.data() + x * 4;
            for (int c = 0; c < 3; ++c)
                out[x * 3 + c] = uint8_t(p[c] * p[3] / 255);
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// Area-averaging reduction (or plain repetition when enlarging is never asked for).
RawPicture Scale(const RawPicture& in, int width, int height)
{
    RawPicture out;
    out.width = width;
    out.height = height;
    out.rgb.resize(std::size_t(width) * std::size_t(height) * 3);
    for (int y = 0; y < height; ++y) {
        const int y0 = int(int64_t(y) * in.height / height);
        const int y1 = std::max(y0 + 1, int(int64_t(y + 1) * in.height / height));
        for (int x = 0; x < width; ++x) {
            const int x0 = int(int64_t(x) * in.width / width);
            const int x1 = std::max(x0 + 1, int(int64_t(x + 1) * in.width / width));
            uint32_t sum[3] = {0, 0, 0};
            for (int sy = y0; sy < y1; ++sy) {
                const uint8_t* p = in.rgb.data() + (std::size_t(sy) * in.width + x0) * 3;
                for (int sx = x0; sx < x1; ++sx, p += 3)
                    for (int c = 0; c < 3; ++c)
                        sum[c] += p[c];
            }
            const uint32_t n = uint32_t((y1 - y0) * (x1 - x0));
            uint8_t* q = out.rgb.data() + (std::size_t(y) * width + x) * 3;
            for (int c = 0; c < 3; ++c)
                q[c] = uint8_t(sum[c] / n);
        }
    }
    return out;
}

// Turns the picture counterclockwise by the rotation in tenths of a degree, as the page turns
// (its text runs bottom to top at 900), so pictures stand upright on the turned page.
RawPicture Rotate(RawPicture in, int rotation)
{
    if (rotation != 900 && rotation != 1800 && rotation != 2700)
        return in;
    RawPicture out;
    const bool swap = rotation != 1800;
    out.width = swap ? in.height : in.width;
    out.height = swap ? in.width : in.height;
    out.rgb.resize(in.rgb.size());
    for (int y = 0; y < in.height; ++y) {
        for (int x = 0; x < in.width; ++x) {
            int nx = x, ny = y;
            if (rotation == 900) {
                nx = y;
                ny = in.width - 1 - x;
            } else if (rotation == 1800) {
                nx = in.width - 1 - x;
                ny = in.height - 1 - y;
            } else {
                nx = in.height - 1 - y;
                ny = x;
            }
            std::memcpy(out.rgb.data() + (std::size_t(ny) * out.width + nx) * 3,
                in.rgb.data() + (std::size_t(y) * in.width + x) * 3, 3);
        }
    }
    return out;
}

bool LimitMatches(int oldLimit, int newLimit, int size)
{
    return oldLimit == newLimit || (size < oldLimit && size < newLimit);
}

} // namespace

void Base64Decoder::Put(int value)
{
    bits_ = bits_ << 6 | uint32_t(value);
    if (++count_ == 4) {
        data_.append(char(bits_ >> 16));
        data_.append(char(bits_ >> 8));
        data_.append(char(bits_));
        bits_ = 0;
        count_ = 0;
    }
}

void Base64Decoder::Feed(QByteArrayView text)
{
    for (char c : text) {
        if (ended_)
            return;
        const int value = Base64Value(uchar(c));
        if (value == -2) {
            // Padding: flush the whole bytes the last group holds.
            if (count_ == 2)
                data_.append(char(bits_ >> 4));
            else if (count_ == 3) {
                data_.append(char(bits_ >> 10));
                data_.append(char(bits_ >> 2));
            }
            ended_ = true;
        } else if (value >= 0) {
            Put(value);
        }
    }
}

void Base64Decoder::Feed(QStringView text)
{
    for (QChar c : text) {
        if (ended_)
            return;
        if (c.unicode() < 0x80) {
            const char byte = char(c.unicode());
            Feed(QByteArrayView(&byte, 1));
        }
    }
}

PictureKind PictureKindOfContentType(QByteArrayView contentType)
{
    if (contentType.compare("image/png", Qt::CaseInsensitive) == 0)
        return PictureKind::Png;
    if (contentType.compare("image/jpeg", Qt::CaseInsensitive) == 0
        || contentType.compare("image/jpg", Qt::CaseInsensitive) == 0)
        return PictureKind::Jpeg;
    return PictureKind::Unknown;
}

PictureKind PictureKindOfData(QByteArrayView data)
{
    if (data.startsWith("\x89PNG\r\n\x1A\n"))
        return PictureKind::Png;
    if (data.size() >= 4 && uchar(data[0]) == 0xFF && uchar(data[1]) == 0xD8)
        return PictureKind::Jpeg;
    return PictureKind::Unknown;
}

std::array<uint8_t, 256> GammaTable(int gammaSetting)
{
    const double gamma = std::clamp(gammaSetting / 1000000.0, 1.0, 5.0);
    const double exponent = 1.0 / (gamma * 0.45455);
    std::array<uint8_t, 256> table;
    for (int i = 0; i < 256; ++i)
        table[std::size_t(i)] = uint8_t(std::min(255.0, 256.0 * std::pow(i / 256.0, exponent)));
    return table;
}

void FitSize(int width, int height, int maxWidth, int maxHeight, int& outWidth, int& outHeight)
{
    outWidth = width;
    outHeight = height;
    if (maxWidth <= 0 || maxHeight <= 0 || (width <= maxWidth && height <= maxHeight))
        return;
    if (int64_t(height) * maxWidth < int64_t(width) * maxHeight) {
        outWidth = maxWidth;
        outHeight = int(int64_t(height) * maxWidth / width);
    } else {
        outHeight = maxHeight;
        outWidth = int(int64_t(width) * maxHeight / height);
    }
    outWidth = std::max(outWidth, 1);
    outHeight = std::max(outHeight, 1);
}

ImageHandle DecodePicture(
    QByteArrayView data, PictureKind kind, int gammaSetting, const ImageRequest& request)
{
    if (kind == PictureKind::Unknown)
        kind = PictureKindOfData(data);
    // The limits are the page's as laid out; the pixels are turned after fitting.
    const int maxWidth = request.maxWidth;
    const int maxHeight = request.maxHeight;
    RawPicture picture;
    const bool decoded = kind == PictureKind::Png ? DecodePng(data, picture)
        : kind == PictureKind::Jpeg               ? DecodeJpeg(data, maxWidth, maxHeight, picture)
                                                  : false;
    if (!decoded)
        return nullptr;
    const std::array<uint8_t, 256> gamma = GammaTable(gammaSetting);
    for (uint8_t& component : picture.rgb)
        component = gamma[component];
    int width, height;
    FitSize(picture.width, picture.height, maxWidth, maxHeight, width, height);
    if (width != picture.width || height != picture.height)
        picture = Scale(picture, width, height);
    picture = Rotate(std::move(picture), request.rotation);
    auto image = std::make_shared<DecodedImage>();
    image->width = picture.width;
    image->height = picture.height;
    image->rgb = QByteArray(reinterpret_cast<const char*>(picture.rgb.data()),
        qsizetype(picture.rgb.size()));
    return image;
}

ImageHandle ImageCache::Find(const QString& id, const ImageRequest& request) const
{
    for (const Entry& entry : entries_) {
        if (entry.id != id || entry.request.rotation != request.rotation)
            continue;
        const bool swap = request.rotation == 900 || request.rotation == 2700;
        const int width = swap ? entry.image->height : entry.image->width;
        const int height = swap ? entry.image->width : entry.image->height;
        if (LimitMatches(entry.request.maxWidth, request.maxWidth, width)
            && LimitMatches(entry.request.maxHeight, request.maxHeight, height))
            return entry.image;
    }
    return nullptr;
}

void ImageCache::Add(const QString& id, const ImageRequest& request, ImageHandle image)
{
    if (entries_.size() >= kCacheSize)
        entries_.pop_front();
    entries_.push_back({id, request, std::move(image)});
}

} // namespace lbv
