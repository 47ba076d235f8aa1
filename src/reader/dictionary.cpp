#include "reader/dictionary.h"

#include "reader/dictionary_endings.h"
#include "text/code_pages.h"
#include "text/messages.h"

#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <limits>
#include <zlib.h>

namespace lbv {
namespace {

constexpr char kDicqMagic[4] = {'D', 'I', 'C', 'q'};
constexpr qint64 kHeaderSize = 20;
constexpr int kBlockRecordSize = 20;

quint32 ReadU32(const char* bytes)
{
    return qFromLittleEndian<quint32>(bytes);
}

QString InvalidFile(const QString& path)
{
    return MessageText(Msg::InvalidDictionaryFile).arg(path);
}

qsizetype CommonPrefix(const char* a, qsizetype aLength, const char* b, qsizetype bLength)
{
    const qsizetype limit = std::min(aLength, bLength);
    qsizetype i = 0;
    while (i < limit && a[i] == b[i])
        ++i;
    return i;
}

} // namespace

struct Dictionary::Header {
    quint32 lcid;
    quint32 articleCount;
    quint32 codePage;
    quint32 blockTableOffset;
};

Dictionary::Dictionary(const QString& path, const Header& header)
    : path_(path)
    , file_(path)
    , sortKey_(header.lcid)
    , codePageIndex_(CodePageIndex(int(header.codePage)))
    , articleCount_(int(header.articleCount))
{
    if (codePageIndex_ < 0)
        codePageIndex_ = DefaultCodePageIndex();
}

Dictionary::~Dictionary() = default;

int Dictionary::CodePage() const
{
    return CodePageNumber(codePageIndex_);
}

std::unique_ptr<Dictionary> Dictionary::Open(const QString& path, QString* message)
{
    QString ignored;
    QString& error = message ? *message : ignored;
    const QFileInfo info(path);
    if (!info.exists()) {
        error = MessageText(Msg::ReaderFileNotFound).arg(path);
        return nullptr;
    }
    QFile probe(path);
    if (info.isDir() || !probe.open(QIODevice::ReadOnly)) {
        error = MessageText(Msg::ReaderFileIoError).arg(path);
        return nullptr;
    }
    // Only one format is known; its magic is checked first so that other files get the
    // invalid-file text rather than complaints about their header.
    char header[kHeaderSize];
    if (probe.read(header, 4) != 4 || std::memcmp(header, kDicqMagic, 4) != 0
        || probe.read(header + 4, kHeaderSize - 4) != kHeaderSize - 4) {
        error = InvalidFile(path);
        return nullptr;
    }
    const Header fields {
        ReadU32(header + 4), ReadU32(header + 8), ReadU32(header + 12), ReadU32(header + 16)};
    probe.close();
    if (fields.articleCount == 0 || fields.articleCount > quint32(std::numeric_limits<int>::max())
        || fields.blockTableOffset < kHeaderSize) {
        error = InvalidFile(path);
        return nullptr;
    }
    std::unique_ptr<Dictionary> dictionary(new Dictionary(path, fields));
    if (!dictionary->sortKey_.IsValid()
        || !dictionary->file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered)
        || !dictionary->LoadBlockTable(fields.blockTableOffset)) {
        error = InvalidFile(path);
        return nullptr;
    }
    error.clear();
    return dictionary;
}

bool Dictionary::LoadBlockTable(quint32 tableOffset)
{
    const qint64 fileSize = file_.size();
    if (qint64(tableOffset) + 4 > fileSize || !file_.seek(tableOffset))
        return false;
    char countBytes[4];
    if (file_.read(countBytes, 4) != 4)
        return false;
    const quint32 blockCount = ReadU32(countBytes);
    // The table must fit in the file before anything is allocated for it.
    if (blockCount == 0 || blockCount > quint32(articleCount_)
        || qint64(blockCount) * kBlockRecordSize > fileSize - tableOffset - 4)
        return false;
    const QByteArray records = file_.read(qint64(blockCount) * kBlockRecordSize);
    if (records.size() != qsizetype(blockCount) * kBlockRecordSize)
        return false;

    blocks_.reserve(blockCount);
    qint64 dataOffset = kHeaderSize;
    qint64 articles = 0;
    qint64 lines = 0;
    qint64 keyBytes = 0;
    for (quint32 i = 0; i < blockCount; ++i) {
        const char* record = records.constData() + qsizetype(i) * kBlockRecordSize;
        const quint32 articleCount = ReadU32(record + 12);
        const qint64 lineCount = qint64(articleCount) + ReadU32(record + 16);
        if (articleCount == 0 || lineCount > std::numeric_limits<int>::max())
            return false;
        Block block {dataOffset, ReadU32(record), ReadU32(record + 4), int(articles),
            int(articleCount), int(lines), int(lineCount), qsizetype(keyBytes),
            qsizetype(ReadU32(record + 8))};
        dataOffset += block.storedSize;
        articles += articleCount;
        lines += lineCount;
        keyBytes += block.keyLength;
        if (articles > articleCount_ || lines > std::numeric_limits<int>::max()
            || keyBytes > fileSize)
            return false;
        blocks_.push_back(block);
    }
    if (articles != articleCount_)
        return false;
    blockKeys_ = file_.read(keyBytes);
    if (blockKeys_.size() != keyBytes)
        return false;
    lineCount_ = int(lines);
    return true;
}

const Dictionary::CachedBlock* Dictionary::Expand(int index)
{
    if (cache_.index == index)
        return &cache_;
    cache_.index = -1;
    const Block& block = blocks_[size_t(index)];
    // Deflate expands at most about 1032 to 1, so a larger text size is damage, not data.
    const bool compressed = block.storedSize != block.textSize;
    if (block.textSize > kMaxDictionaryBlockText
        || (compressed && block.textSize > quint64(block.storedSize) * 1032 + 64)
        || block.dataOffset + block.storedSize > file_.size() || !file_.seek(block.dataOffset))
        return nullptr;
    QByteArray stored = file_.read(block.storedSize);
    if (stored.size() != qsizetype(block.storedSize))
        return nullptr;
    if (!compressed) {
        cache_.text = std::move(stored);
    } else {
        cache_.text.resize(block.textSize);
        uLongf expanded = block.textSize;
        if (uncompress(reinterpret_cast<Bytef*>(cache_.text.data()), &expanded,
                reinterpret_cast<const Bytef*>(stored.constData()), stored.size())
                != Z_OK
            || expanded != block.textSize)
            return nullptr;
    }
    if (!IndexBlock(block))
        return nullptr;
    cache_.index = index;
    return &cache_;
}

// Each article is its key, a zero byte, its text and a zero byte; the counts in the block table
// must agree with what the scan finds.
bool Dictionary::IndexBlock(const Block& block)
{
    cache_.articles.clear();
    cache_.articles.reserve(size_t(block.articleCount));
    const char* text = cache_.text.constData();
    const char* const end = text + cache_.text.size();
    const char* p = text;
    int lines = 0;
    while (p < end) {
        if (int(cache_.articles.size()) == block.articleCount)
            return false;
        const auto* keyEnd = static_cast<const char*>(std::memchr(p, 0, size_t(end - p)));
        if (!keyEnd)
            return false;
        const char* articleText = keyEnd + 1;
        const auto* textEnd
            = static_cast<const char*>(std::memchr(articleText, 0, size_t(end - articleText)));
        if (!textEnd)
            return false;
        cache_.articles.push_back({quint32(p - text), quint32(keyEnd - p),
            quint32(articleText - text), quint32(textEnd - articleText), lines});
        lines += 2 + int(std::count(articleText, textEnd, '\n'));
        if (lines > block.lineCount)
            return false;
        p = textEnd + 1;
    }
    return int(cache_.articles.size()) == block.articleCount && lines == block.lineCount;
}

DictionaryLookup Dictionary::Lookup(QStringView word)
{
    word = word.trimmed();
    if (word.isEmpty())
        return {};
    const DictionaryLookup plain = LookupKey(sortKey_.Key(word));
    if (plain.match == DictionaryMatch::Found || !IsEnglishLcid(Lcid()))
        return plain;
    // Words of 64 characters or more get no base forms.
    for (const QString& form : EnglishBaseForms(word)) {
        const DictionaryLookup base = LookupKey(sortKey_.Key(form));
        if (base.match == DictionaryMatch::Found)
            return base;
    }
    return plain;
}

DictionaryLookup Dictionary::LookupKey(const QByteArray& key)
{
    const auto keyOf = [this](const Block& block) {
        return std::pair(blockKeys_.constData() + block.keyOffset, block.keyLength);
    };
    // The last block whose first key is not greater than the word's; a word before every
    // block belongs to the first.
    const auto after = std::upper_bound(
        blocks_.begin(), blocks_.end(), key, [&](const QByteArray& wanted, const Block& block) {
            const auto [bytes, length] = keyOf(block);
            return CompareSortKeys(wanted.constData(), wanted.size(), bytes, length) < 0;
        });
    const int blockIndex = after == blocks_.begin() ? 0 : int(after - blocks_.begin()) - 1;
    const CachedBlock* cached = Expand(blockIndex);
    if (!cached)
        return {};
    const char* text = cached->text.constData();
    const auto& articles = cached->articles;
    const auto insertion = std::lower_bound(articles.begin(), articles.end(), key,
        [&](const ArticleSpan& article, const QByteArray& wanted) {
            return CompareSortKeys(text + article.keyStart, article.keyLength, wanted.constData(),
                       wanted.size())
                < 0;
        });
    const Block& block = blocks_[size_t(blockIndex)];
    const int position = int(insertion - articles.begin());
    if (insertion != articles.end()
        && CompareSortKeys(
               text + insertion->keyStart, insertion->keyLength, key.constData(), key.size())
            == 0)
        return {block.firstArticle + position, DictionaryMatch::Found};

    // The neighbours of the insertion point; past the block's end the next block's first article
    // follows, and the block table already holds its key.
    qsizetype before = -1;
    if (position > 0) {
        const ArticleSpan& previous = articles[size_t(position - 1)];
        before = CommonPrefix(
            text + previous.keyStart, previous.keyLength, key.constData(), key.size());
    }
    qsizetype following = -1;
    int followingArticle = -1;
    if (insertion != articles.end()) {
        following = CommonPrefix(
            text + insertion->keyStart, insertion->keyLength, key.constData(), key.size());
        followingArticle = block.firstArticle + position;
    } else if (size_t(blockIndex) + 1 < blocks_.size()) {
        const Block& next = blocks_[size_t(blockIndex) + 1];
        const auto [bytes, length] = keyOf(next);
        following = CommonPrefix(bytes, length, key.constData(), key.size());
        followingArticle = next.firstArticle;
    }
    if (following > before)
        return {followingArticle, DictionaryMatch::Nearest};
    return {block.firstArticle + position - 1, DictionaryMatch::Nearest};
}

int Dictionary::BlockOfArticle(int article) const
{
    const auto after = std::upper_bound(blocks_.begin(), blocks_.end(), article,
        [](int wanted, const Block& block) { return wanted < block.firstArticle; });
    return int(after - blocks_.begin()) - 1;
}

const Dictionary::ArticleSpan* Dictionary::FindArticle(int article)
{
    if (article < 0 || article >= articleCount_)
        return nullptr;
    const int blockIndex = BlockOfArticle(article);
    const CachedBlock* cached = Expand(blockIndex);
    if (!cached)
        return nullptr;
    return &cached->articles[size_t(article - blocks_[size_t(blockIndex)].firstArticle)];
}

QString Dictionary::ArticleText(int article)
{
    const ArticleSpan* span = FindArticle(article);
    if (!span)
        return {};
    return ConvertToUnicode(codePageIndex_,
        QByteArrayView(cache_.text.constData() + span->textStart, span->textLength));
}

int Dictionary::ArticleFirstLine(int article)
{
    const ArticleSpan* span = FindArticle(article);
    if (!span)
        return -1;
    return blocks_[size_t(cache_.index)].firstLine + span->firstLine;
}

DictionaryParagraph Dictionary::Line(int line, bool markHeadword)
{
    DictionaryParagraph paragraph;
    if (line < 0 || line >= lineCount_)
        return paragraph;
    const auto afterBlock = std::upper_bound(blocks_.begin(), blocks_.end(), line,
        [](int wanted, const Block& block) { return wanted < block.firstLine; });
    const int blockIndex = int(afterBlock - blocks_.begin()) - 1;
    const CachedBlock* cached = Expand(blockIndex);
    if (!cached)
        return paragraph;
    const int lineInBlock = line - blocks_[size_t(blockIndex)].firstLine;
    const auto afterArticle = std::upper_bound(cached->articles.begin(), cached->articles.end(),
        lineInBlock, [](int wanted, const ArticleSpan& span) { return wanted < span.firstLine; });
    const ArticleSpan& span = *(afterArticle - 1);
    int lineInArticle = lineInBlock - span.firstLine;
    const bool headwordLine = lineInArticle == 0;

    // Walk to the wanted line of the article text; past its last line is the empty line that
    // separates articles.
    const char* start = cached->text.constData() + span.textStart;
    const char* const end = start + span.textLength;
    for (; lineInArticle > 0 && start <= end; --lineInArticle) {
        const auto* lf = static_cast<const char*>(std::memchr(start, '\n', size_t(end - start)));
        start = lf ? lf + 1 : end + 1;
    }
    if (start > end)
        return paragraph;
    const auto* lf = static_cast<const char*>(std::memchr(start, '\n', size_t(end - start)));
    paragraph.text = ConvertToUnicode(codePageIndex_, QByteArrayView(start, lf ? lf : end));

    // The reader folds runs of blanks, so indentation survives only as no-break spaces.
    for (qsizetype i = 0; i < paragraph.text.size() && paragraph.text[i] == u' '; ++i)
        paragraph.text[i] = QChar(0x00A0);
    paragraph.attributes.assign(size_t(paragraph.text.size()), 0);
    if (markHeadword && headwordLine) {
        qsizetype headwordEnd = paragraph.text.indexOf(QStringLiteral("  "));
        if (headwordEnd < 0)
            headwordEnd = paragraph.text.size();
        std::fill_n(paragraph.attributes.begin(), headwordEnd, kDictionaryBoldAttribute);
    }
    return paragraph;
}

} // namespace lbv
