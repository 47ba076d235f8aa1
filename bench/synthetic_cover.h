#pragma once
// Small cover pictures for synthetic books: a few kilobytes of valid PNG or JPEG.
#include <QByteArray>
#include <random>

namespace lbv {

struct SyntheticCover {
    QByteArray bytes;
    const char* contentType; // "image/png" or "image/jpeg"
    const char* id; // "cover.png" or "cover.jpg"
};

// A 96 x 144 picture in colours drawn from rng; PNG or JPEG by a coin toss.
SyntheticCover MakeSyntheticCover(std::mt19937& rng);

} // namespace lbv
