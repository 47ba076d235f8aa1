#include "reader/book_state.h"

#include <QDateTime>
#include <algorithm>

namespace lbv {
namespace {

// Seconds from 1601-01-01 (where FILETIME counts from) to 1970-01-01.
constexpr qint64 kFileTimeEpochOffset = 11644473600;

QString Section()
{
    return QString::fromUtf16(kBookmarksSection);
}

QString BookSection(const QString& key)
{
    return Section() + u'/' + key;
}

// Reads comma-separated integers from the front of the text, at most `limit`; `rest` is what
// follows the comma after the last one taken. Stops at the first field that isn't a number.
int TakeNumbers(QStringView text, qint64* numbers, int limit, QStringView* rest, bool* restFollows)
{
    int count = 0;
    *restFollows = false;
    while (count < limit) {
        const qsizetype comma = text.indexOf(u',');
        bool ok = false;
        const qint64 value = (comma < 0 ? text : text.left(comma)).trimmed().toLongLong(&ok);
        if (!ok)
            break;
        numbers[count++] = value;
        if (comma < 0) {
            text = {};
            break;
        }
        text = text.mid(comma + 1);
        *restFollows = true;
    }
    *rest = text;
    return count;
}

bool FitsInt(qint64 value)
{
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

struct StoredBook {
    int format = -1;
    int encoding = -1;
    quint64 time = 0;
    QString path;
};

// "format,encoding,time low,time high,path"
std::optional<StoredBook> ParseBookValue(QStringView value)
{
    qint64 numbers[4];
    QStringView rest;
    bool restFollows = false;
    if (TakeNumbers(value, numbers, 4, &rest, &restFollows) != 4 || !restFollows
        || !FitsInt(numbers[0]) || !FitsInt(numbers[1]) || numbers[2] < 0 || numbers[2] > 0xFFFFFFFF
        || numbers[3] < 0 || numbers[3] > 0xFFFFFFFF)
        return std::nullopt;
    return StoredBook {int(numbers[0]), int(numbers[1]),
        quint64(numbers[3]) << 32 | quint64(numbers[2]), rest.toString()};
}

std::optional<BookPosition> ParsePosition(QStringView value)
{
    qint64 numbers[3] = {0, 0, 0};
    QStringView rest;
    bool restFollows = false;
    const int count = TakeNumbers(value, numbers, 3, &rest, &restFollows);
    if (count < 2 || !FitsInt(numbers[0]) || !FitsInt(numbers[1]) || !FitsInt(numbers[2]))
        return std::nullopt;
    return BookPosition {int(numbers[0]), int(numbers[1]), int(numbers[2])};
}

// "paragraph,offset,body,text", or the older "paragraph,offset,text".
std::optional<BookEntry> ParseBookmark(QStringView value)
{
    qint64 numbers[3] = {0, 0, 0};
    QStringView rest;
    bool restFollows = false;
    const int count = TakeNumbers(value, numbers, 3, &rest, &restFollows);
    if (count < 2 || !restFollows || !FitsInt(numbers[0]) || !FitsInt(numbers[1])
        || !FitsInt(numbers[2]))
        return std::nullopt;
    BookEntry entry;
    entry.position = {int(numbers[0]), int(numbers[1]), count == 3 ? int(numbers[2]) : 0};
    entry.text = rest.toString();
    entry.flags = BookEntry::kUserBookmark;
    return entry;
}

QString PositionText(const BookPosition& position)
{
    return QString::number(position.paragraph) + u',' + QString::number(position.offset) + u','
        + QString::number(position.body);
}

struct DatedBook {
    QString key;
    std::optional<StoredBook> book;
};

// Every book value of the section, newest first; values that don't parse come last.
std::vector<DatedBook> BooksNewestFirst(SettingsStore& store)
{
    std::vector<DatedBook> books;
    for (const QString& key : store.ValueNames(Section()))
        books.push_back({key, ParseBookValue(store.GetProfileString(Section(), key))});
    std::stable_sort(books.begin(), books.end(), [](const DatedBook& a, const DatedBook& b) {
        return (a.book ? a.book->time : 0) > (b.book ? b.book->time : 0);
    });
    return books;
}

} // namespace

QString BookKey(const QString& path)
{
    const qsizetype folderEnd = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const QStringView name = QStringView(path).mid(folderEnd + 1);
    QString key;
    key.reserve(name.size());
    for (const QChar c : name) {
        if (c == u'%' || c == u'/' || c == u'\\')
            key += QStringLiteral("%%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
        else
            key += c;
    }
    return key;
}

quint64 CurrentLocalFileTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    const qint64 localMs = now.toMSecsSinceEpoch() + qint64(now.offsetFromUtc()) * 1000;
    return quint64((localMs + kFileTimeEpochOffset * 1000) * 10000);
}

BookState::BookState(SettingsStore& store, const QString& path)
    : store_(store)
    , path_(path)
    , key_(BookKey(path))
{
    Load();
}

void BookState::Load()
{
    if (const auto stored = ParseBookValue(store_.GetProfileString(Section(), key_))) {
        format_ = stored->format;
        encoding_ = stored->encoding;
    } else {
        format_ = -1;
        encoding_
            = store_.GetProfileInt(QStringLiteral("Parameters"), QStringLiteral("DefEncoding"), -1);
    }
    const QString section = BookSection(key_);
    position_ = ParsePosition(store_.GetProfileString(section, QString()));
    const QStringList listed = store_.ValueNames(section);
    const QSet<QString> names(listed.begin(), listed.end());
    for (int number = 0; names.contains(QString::number(number)); ++number) {
        if (auto bookmark
            = ParseBookmark(store_.GetProfileString(section, QString::number(number))))
            Insert(std::move(*bookmark));
    }
}

void BookState::SetFormat(int format)
{
    modified_ = modified_ || format != format_;
    format_ = format;
}

void BookState::SetEncoding(int encoding)
{
    modified_ = modified_ || encoding != encoding_;
    encoding_ = encoding;
}

void BookState::SetPosition(const BookPosition& position)
{
    modified_ = modified_ || position_ != position;
    position_ = position;
}

void BookState::Insert(BookEntry entry)
{
    const auto at = std::upper_bound(entries_.begin(), entries_.end(), entry.position,
        [](const BookPosition& position, const BookEntry& e) { return position < e.position; });
    if (entry.IsUserBookmark())
        ++bookmarkCount_;
    entries_.insert(at, std::move(entry));
}

void BookState::AddBookmark(const BookPosition& position, const QString& text)
{
    Insert({text, position, 0, 0, BookEntry::kUserBookmark});
    modified_ = true;
}

void BookState::AddSection(
    const BookPosition& position, int titleParagraphs, int level, const QString& text)
{
    Insert({text, position, titleParagraphs, level, 0});
}

bool BookState::DeleteBookmark(int entry)
{
    if (entry < 0 || entry >= int(entries_.size()) || !entries_[size_t(entry)].IsUserBookmark())
        return false;
    entries_.erase(entries_.begin() + entry);
    --bookmarkCount_;
    modified_ = true;
    return true;
}

bool BookState::Save(quint64 localFileTime)
{
    if (!modified_ || path_.isEmpty())
        return false;
    const QString value = QString::number(format_) + u',' + QString::number(encoding_) + u','
        + QString::number(localFileTime & 0xFFFFFFFF) + u',' + QString::number(localFileTime >> 32)
        + u',' + path_;
    store_.WriteProfileString(Section(), key_, value);
    const QString section = BookSection(key_);
    store_.RemoveSection(section);
    if (position_)
        store_.WriteProfileString(section, QString(), PositionText(*position_));
    int number = 0;
    for (const BookEntry& entry : entries_) {
        if (entry.IsUserBookmark())
            store_.WriteProfileString(section, QString::number(number++),
                PositionText(entry.position) + u',' + entry.text);
    }
    modified_ = false;
    return true;
}

QStringList RecentBooks(SettingsStore& store, int count)
{
    QStringList paths;
    for (const DatedBook& entry : BooksNewestFirst(store)) {
        if (paths.size() >= count)
            break;
        if (entry.book && !entry.book->path.isEmpty())
            paths.append(entry.book->path);
    }
    return paths;
}

void PruneBooks(SettingsStore& store, int keep)
{
    const std::vector<DatedBook> books = BooksNewestFirst(store);
    for (size_t i = size_t(std::max(keep, 0)); i < books.size(); ++i) {
        store.RemoveValue(Section(), books[i].key);
        store.RemoveSection(BookSection(books[i].key));
    }
}

} // namespace lbv
