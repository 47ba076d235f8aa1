#pragma once
// Pictures for the reader: base64 text of FB2 binaries, PNG and JPEG decoding through libpng
// and libjpeg with the display gamma, aspect-keeping scaling to a maximum size and turning to
// the screen's rotation, and a small cache of the results.
#include "reader/document_source.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <deque>

namespace lbv {

// Base64 in pieces: the standard alphabet, "=" ends the data, other characters are skipped.
class Base64Decoder {
public:
    void Feed(QByteArrayView text);
    void Feed(QStringView text);
    QByteArray Take() { return std::move(data_); }
    bool Ended() const { return ended_; }

private:
    void Put(int value);

    QByteArray data_;
    uint32_t bits_ = 0;
    int count_ = 0;
    bool ended_ = false;
};

enum class PictureKind { Unknown, Png, Jpeg };
PictureKind PictureKindOfContentType(QByteArrayView contentType);
PictureKind PictureKindOfData(QByteArrayView data);

// entry i = 256 * (i / 256) ^ (1 / (gamma * 0.45455)), gamma the setting / 1,000,000 in 1..5.
std::array<uint8_t, 256> GammaTable(int gammaSetting);

// Width and height fitted into the maximum with the aspect ratio kept, in integers.
void FitSize(int width, int height, int maxWidth, int maxHeight, int& outWidth, int& outHeight);

// Decodes, applies the gamma table, scales and turns; null on any failure.
ImageHandle DecodePicture(
    QByteArrayView data, PictureKind kind, int gammaSetting, const ImageRequest& request);

// The last four pictures by id. A hit needs the same rotation and, per dimension, the same
// limit or a picture smaller than both the old and the new limit.
class ImageCache {
public:
    ImageHandle Find(const QString& id, const ImageRequest& request) const;
    void Add(const QString& id, const ImageRequest& request, ImageHandle image);
    void Clear() { entries_.clear(); }

private:
    struct Entry {
        QString id;
        ImageRequest request;
        ImageHandle image;
    };
    std::deque<Entry> entries_;
};

} // namespace lbv
