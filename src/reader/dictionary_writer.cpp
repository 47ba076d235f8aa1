#include "reader/dictionary_writer.h"

#include "reader/dictionary.h"
#include "reader/dictionary_sort_key.h"
#include "text/code_pages.h"
#include "text/utf.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <limits>
#include <zlib.h>

namespace lbv {
namespace {

struct EncodedArticle {
    QByteArray key;
    QByteArray text;
};

struct EncodedBlock {
    QByteArray text; // keys and texts, each followed by a zero byte
    QByteArray stored;
    QByteArray key;
    quint32 articleCount = 0;
    quint32 lineFeeds = 0;
};

QString Unescape(QStringView field)
{
    QString result;
    result.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field[i];
        if (c == u'\\' && i + 1 < field.size()) {
            const QChar next = field[i + 1];
            if (next == u'n' || next == u't' || next == u'\\') {
                result += next == u'n' ? QChar(u'\n') : next == u't' ? QChar(u'\t') : next;
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

void AppendU32(QByteArray* out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out->append(bytes, 4);
}

bool EncodeArticles(const std::vector<DictionarySourceEntry>& entries,
    const DictionaryWriterOptions& options, std::vector<EncodedArticle>* articles, QString* error)
{
    if (!IsKnownLcid(options.lcid)) {
        *error = QStringLiteral("no locale is known for LCID 0x%1")
                     .arg(options.lcid, 4, 16, QLatin1Char('0'));
        return false;
    }
    // Keys and texts end at zero bytes, so only code pages that keep ASCII in single bytes fit.
    const int codePage = CodePageIndex(options.codePage);
    QByteArray probe;
    QString ignored;
    if (codePage < 0 || !ConvertFromUnicode(codePage, u"a", probe, ignored) || probe != "a") {
        *error = QStringLiteral("code page %1 is not supported").arg(options.codePage);
        return false;
    }
    const DictionarySortKey sortKey(options.lcid);
    articles->reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const QString headword = entries[i].headword.trimmed();
        const auto where
            = [&] { return QStringLiteral("entry %1 (\"%2\")").arg(i + 1).arg(headword); };
        if (headword.isEmpty()) {
            *error = QStringLiteral("entry %1: the headword is empty").arg(i + 1);
            return false;
        }
        const QString text = entries[i].definition.isEmpty()
            ? headword
            : headword + QStringLiteral("  ") + entries[i].definition;
        EncodedArticle article {sortKey.Key(headword), {}};
        QString encodingError;
        // The registry substitutes what a code page lacks; decoding again reveals it.
        if (!ConvertFromUnicode(codePage, text, article.text, encodingError)
            || ConvertToUnicode(codePage, article.text) != text) {
            *error = where()
                + QStringLiteral(": a character has no form in code page %1").arg(options.codePage);
            return false;
        }
        // Zero bytes end keys and texts in the file.
        if (article.text.contains('\0') || article.key.isEmpty() || article.key.contains('\0')) {
            *error = where() + QStringLiteral(": holds a zero character");
            return false;
        }
        articles->push_back(std::move(article));
    }
    std::stable_sort(
        articles->begin(), articles->end(), [](const EncodedArticle& a, const EncodedArticle& b) {
            return CompareSortKeys(a.key, b.key) < 0;
        });
    return true;
}

bool MakeBlocks(const std::vector<EncodedArticle>& articles, const DictionaryWriterOptions& options,
    std::vector<EncodedBlock>* blocks, QString* error)
{
    const qsizetype target = std::max(options.blockTextSize, 1);
    for (const EncodedArticle& article : articles) {
        if (blocks->empty() || blocks->back().text.size() >= target) {
            blocks->emplace_back();
            blocks->back().key = article.key;
        }
        EncodedBlock& block = blocks->back();
        block.text += article.key;
        block.text += '\0';
        block.text += article.text;
        block.text += '\0';
        block.articleCount += 1;
        block.lineFeeds += quint32(article.text.count('\n'));
        if (block.text.size() > qsizetype(kMaxDictionaryBlockText)) {
            *error = QStringLiteral("an article is too long for a dictionary block");
            return false;
        }
    }
    for (EncodedBlock& block : *blocks) {
        block.stored = block.text;
        if (!options.compress)
            continue;
        uLongf size = compressBound(uLong(block.text.size()));
        QByteArray compressed(qsizetype(size), Qt::Uninitialized);
        if (compress2(reinterpret_cast<Bytef*>(compressed.data()), &size,
                reinterpret_cast<const Bytef*>(block.text.constData()), uLong(block.text.size()),
                Z_BEST_COMPRESSION)
            != Z_OK) {
            *error = QStringLiteral("zlib failed to compress a block");
            return false;
        }
        // A block stored at its text size counts as plain, so compression must really save.
        if (qsizetype(size) < block.text.size())
            block.stored = compressed.left(qsizetype(size));
    }
    return true;
}

} // namespace

bool ParseDictionarySource(
    const QByteArray& utf8, std::vector<DictionarySourceEntry>* entries, QString* error)
{
    QByteArray bytes = utf8;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QByteArray line = lines[n];
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QString where = QStringLiteral("line %1: ").arg(n + 1);
        if (!IsValidUtf8(line)) {
            *error = where + QStringLiteral("not valid UTF-8");
            return false;
        }
        const qsizetype tab = line.indexOf('\t');
        if (tab < 0) {
            *error = where + QStringLiteral("no tab between the headword and the definition");
            return false;
        }
        entries->push_back(
            {FromUtf8(line.constData(), tab), Unescape(FromUtf8(line.mid(tab + 1)))});
    }
    return true;
}

bool ReadDictionarySource(
    const QString& path, std::vector<DictionarySourceEntry>* entries, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    if (!ParseDictionarySource(file.readAll(), entries, error)) {
        *error = path + QStringLiteral(": ") + *error;
        return false;
    }
    return true;
}

bool WriteDictionary(const QString& path, const std::vector<DictionarySourceEntry>& entries,
    const DictionaryWriterOptions& options, QString* error)
{
    QString ignored;
    QString& message = error ? *error : ignored;
    if (entries.empty() || entries.size() > size_t(std::numeric_limits<int>::max())) {
        message = QStringLiteral("a dictionary needs between 1 and 2^31-1 articles");
        return false;
    }
    std::vector<EncodedArticle> articles;
    std::vector<EncodedBlock> blocks;
    if (!EncodeArticles(entries, options, &articles, &message)
        || !MakeBlocks(articles, options, &blocks, &message))
        return false;

    qint64 tableOffset = 20;
    for (const EncodedBlock& block : blocks)
        tableOffset += block.stored.size();
    if (tableOffset > std::numeric_limits<quint32>::max()) {
        message = QStringLiteral("the dictionary would be larger than 4 GB");
        return false;
    }
    QByteArray header("DICq");
    AppendU32(&header, options.lcid);
    AppendU32(&header, quint32(articles.size()));
    AppendU32(&header, quint32(options.codePage));
    AppendU32(&header, quint32(tableOffset));
    QByteArray table;
    AppendU32(&table, quint32(blocks.size()));
    for (const EncodedBlock& block : blocks) {
        AppendU32(&table, quint32(block.text.size()));
        AppendU32(&table, quint32(block.stored.size()));
        AppendU32(&table, quint32(block.key.size()));
        AppendU32(&table, block.articleCount);
        // An article counts two lines plus one per line feed; the table stores the lines beyond
        // one per article.
        AppendU32(&table, block.articleCount + block.lineFeeds);
    }
    for (const EncodedBlock& block : blocks)
        table += block.key;

    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly) && file.write(header) == header.size();
    for (size_t i = 0; written && i < blocks.size(); ++i)
        written = file.write(blocks[i].stored) == blocks[i].stored.size();
    written = written && file.write(table) == table.size() && file.commit();
    if (!written) {
        message = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace lbv
