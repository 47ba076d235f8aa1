#pragma once
// What the reader remembers per book, in settings section "Bookmarks": a value named by the
// book's key ("format,encoding,time low,time high,path") and a subsection of the same name whose
// default value is the reading position ("paragraph,offset,body") and whose values "0", "1", ...
// are the user's bookmarks ("paragraph,offset,body,text"). The key is the file name without its
// folder, so books of the same name in different folders share one entry.
#include "settings/settings_store.h"

#include <QString>
#include <QStringList>
#include <compare>
#include <optional>
#include <vector>

namespace lbv {

inline constexpr char16_t kBookmarksSection[] = u"Bookmarks";

// A place in a document; ordered by body, then paragraph, then offset.
struct BookPosition {
    int paragraph = 0;
    int offset = 0; // characters into the paragraph
    int body = 0;

    friend bool operator==(const BookPosition&, const BookPosition&) = default;
    friend std::strong_ordering operator<=>(const BookPosition& a, const BookPosition& b)
    {
        if (auto order = a.body <=> b.body; order != 0)
            return order;
        if (auto order = a.paragraph <=> b.paragraph; order != 0)
            return order;
        return a.offset <=> b.offset;
    }
};

// A section of the document's contents or a user bookmark.
struct BookEntry {
    static constexpr unsigned kUserBookmark = 1;

    QString text;
    BookPosition position;
    int titleParagraphs = 0; // sections: how many paragraphs the title spans
    int level = 0; // sections: nesting depth
    unsigned flags = 0;

    bool IsUserBookmark() const { return flags & kUserBookmark; }
};

// The file name with every "%", "/" and "\" written as "%" and four upper-case hex digits.
QString BookKey(const QString& path);

// Local time as a Windows FILETIME (100-nanosecond steps since 1601), the form saved states are
// dated in.
quint64 CurrentLocalFileTime();

class BookState {
public:
    // An unreadable stored state leaves automatic format, the DefEncoding setting and no
    // position; unreadable bookmarks are skipped.
    BookState(SettingsStore& store, const QString& path);

    const QString& Path() const { return path_; }
    const QString& Key() const { return key_; }
    int Format() const { return format_; } // -1 automatic, else a document kind
    int Encoding() const { return encoding_; } // -1 automatic, else a code page index
    void SetFormat(int format);
    void SetEncoding(int encoding);
    const std::optional<BookPosition>& Position() const { return position_; }
    void SetPosition(const BookPosition& position);
    bool IsModified() const { return modified_; }

    // Sections and bookmarks together, ordered by position; equal positions keep their order of
    // arrival.
    const std::vector<BookEntry>& Entries() const { return entries_; }
    int BookmarkCount() const { return bookmarkCount_; }
    void AddBookmark(const BookPosition& position, const QString& text);
    // From the document's contents while it loads; sections are not saved.
    void AddSection(
        const BookPosition& position, int titleParagraphs, int level, const QString& text);
    // False (and nothing changes) unless the entry is a user bookmark.
    bool DeleteBookmark(int entry);

    // Writes the state when it was changed, dated with the given local time; the bookmarks are
    // renumbered from 0. False when nothing was written.
    bool Save(quint64 localFileTime = CurrentLocalFileTime());

private:
    void Insert(BookEntry entry);
    void Load();

    SettingsStore& store_;
    QString path_;
    QString key_;
    int format_ = -1;
    int encoding_ = -1;
    std::optional<BookPosition> position_;
    std::vector<BookEntry> entries_;
    int bookmarkCount_ = 0;
    bool modified_ = false;
};

// Full paths of the most recently saved books, newest first, at most `count`.
QStringList RecentBooks(SettingsStore& store, int count);
// Forgets every book but the `keep` most recently saved ones (states that can't be read count
// as the oldest).
void PruneBooks(SettingsStore& store, int keep);

} // namespace lbv
