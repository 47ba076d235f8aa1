#pragma once
// DICq dictionary files: articles sorted by the sort keys of their headwords, stored in blocks
// that are zlib-compressed or plain, with a block table that holds each block's first key.
// Looking a word up reads and expands one block; the most recent block stays cached.
//
// Not thread-safe: lookups and reads change the block cache.
#include "reader/dictionary_sort_key.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <vector>

namespace lbv {

enum class DictionaryMatch {
    NotFound = 0,
    Found = 1,
    Nearest = 2, // the article whose key shares the longest leading part with the word's
};

struct DictionaryLookup {
    int article = -1;
    DictionaryMatch match = DictionaryMatch::NotFound;
};

// One line of the dictionary read as a document: UTF-16 text with one character attribute per
// unit (the reader's style bits; only bold is used).
struct DictionaryParagraph {
    QString text;
    std::vector<quint16> attributes;
};
inline constexpr quint16 kDictionaryBoldAttribute = 0x40;

// Expanded blocks are held whole in memory; a block claiming more text comes from a damaged file.
inline constexpr quint32 kMaxDictionaryBlockText = 64u << 20;

class Dictionary {
public:
    // Null on failure, with the reason in `message` (the path, then what went wrong).
    static std::unique_ptr<Dictionary> Open(const QString& path, QString* message);
    ~Dictionary();
    Dictionary(const Dictionary&) = delete;
    Dictionary& operator=(const Dictionary&) = delete;

    const QString& Path() const { return path_; }
    // The headwords' locale identifier; an unknown one in the file is replaced by the user's.
    uint32_t Lcid() const { return sortKey_.Lcid(); }
    // The code page number of the text; an unknown one in the file is replaced by windows-1251.
    int CodePage() const;
    int ArticleCount() const { return articleCount_; }
    int BlockCount() const { return int(blocks_.size()); }
    // Every article counts its text lines plus one empty line after it.
    int LineCount() const { return lineCount_; }

    // Finds the word as written, ignoring case; in an English dictionary a word not found is
    // tried in its base forms (stopped -> stop) before the nearest article is given.
    DictionaryLookup Lookup(QStringView word);
    // The article (headword first, lines separated by LF); empty when its block can't be read.
    QString ArticleText(int article);
    // The line number of the article's headword, or -1.
    int ArticleFirstLine(int article);
    // Leading blanks become no-break spaces; with `markHeadword`, the headword line is bold up to
    // its first two consecutive blanks. Empty for a bad number or an unreadable block.
    DictionaryParagraph Line(int line, bool markHeadword);

private:
    struct Block {
        qint64 dataOffset;
        quint32 textSize;
        quint32 storedSize;
        int firstArticle;
        int articleCount;
        int firstLine;
        int lineCount;
        qsizetype keyOffset; // in blockKeys_
        qsizetype keyLength;
    };
    struct ArticleSpan {
        quint32 keyStart;
        quint32 keyLength;
        quint32 textStart;
        quint32 textLength;
        int firstLine; // within the block
    };
    struct CachedBlock {
        int index = -1;
        QByteArray text;
        std::vector<ArticleSpan> articles;
    };
    struct Header;

    Dictionary(const QString& path, const Header& header);
    bool LoadBlockTable(quint32 tableOffset);
    // The block, expanded and indexed, or null when it can't be read.
    const CachedBlock* Expand(int block);
    bool IndexBlock(const Block& block);
    DictionaryLookup LookupKey(const QByteArray& key);
    int BlockOfArticle(int article) const;
    const ArticleSpan* FindArticle(int article);

    QString path_;
    QFile file_;
    DictionarySortKey sortKey_;
    int codePageIndex_; // in the code page registry
    int articleCount_;
    int lineCount_ = 0;
    std::vector<Block> blocks_;
    QByteArray blockKeys_;
    CachedBlock cache_;
};

} // namespace lbv
