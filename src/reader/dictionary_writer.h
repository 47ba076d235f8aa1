#pragma once
// Building DICq dictionary files: from "headword<TAB>definition" lines of UTF-8 text to sorted,
// block-compressed articles whose keys match what Dictionary looks words up with.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace lbv {

struct DictionarySourceEntry {
    QString headword;
    QString definition; // may hold LF for further lines
};

struct DictionaryWriterOptions {
    uint32_t lcid = 0x0409;
    int codePage = 65001;
    int blockTextSize = 16384; // a block is closed once its text reaches this size
    bool compress = true;
};

// One entry per line: headword, a tab, the definition. In the definition "\n" stands for a line
// break, "\t" for a tab and "\\" for a backslash. Empty lines and lines starting with "#" are
// skipped; a UTF-8 byte-order mark is allowed.
bool ParseDictionarySource(
    const QByteArray& utf8, std::vector<DictionarySourceEntry>* entries, QString* error);
bool ReadDictionarySource(
    const QString& path, std::vector<DictionarySourceEntry>* entries, QString* error);

// Each article reads: the headword, two blanks, the definition. Equal keys keep their order.
// The file is replaced only when everything was written.
bool WriteDictionary(const QString& path, const std::vector<DictionarySourceEntry>& entries,
    const DictionaryWriterOptions& options, QString* error);

} // namespace lbv
