#pragma once
// Conversion between dictionary text in a Windows code page (by number: 1251, 1252, 866, 20866,
// 28595, 65001, ...) and UTF-16, through ICU converters. Only code pages in which a zero byte
// never occurs inside a character are accepted, since dictionary files end texts with a zero.
#include <QByteArray>
#include <QString>
#include <memory>

struct UConverter;

namespace lbv {

class DictionaryCodec {
public:
    static constexpr int kDefaultCodePage = 1251;

    // A converter for the code page, or null when ICU offers none that fits.
    static std::unique_ptr<DictionaryCodec> ForCodePage(int codePage);
    // The converter for the code page, falling back to the default code page when it has none.
    static std::unique_ptr<DictionaryCodec> ForCodePageOrDefault(int codePage);
    ~DictionaryCodec();
    DictionaryCodec(const DictionaryCodec&) = delete;
    DictionaryCodec& operator=(const DictionaryCodec&) = delete;

    int CodePage() const { return codePage_; }
    // Invalid byte sequences become U+FFFD.
    QString Decode(const char* bytes, qsizetype length) const;
    // False when a character has no byte form in the code page.
    bool Encode(QStringView text, QByteArray* bytes) const;

private:
    DictionaryCodec(int codePage, UConverter* converter);

    int codePage_;
    UConverter* converter_;
};

} // namespace lbv
