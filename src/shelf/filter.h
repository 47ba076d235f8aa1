#pragma once
// A named shelf filter: admits books by year, by date added and by genre. Filters are stored as
// one "|"-separated line each (see StoredForm) and edited in the filter editor.
#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

namespace lbv {

class CBook;

inline constexpr qint32 kNoYearFrom = -10000;
inline constexpr qint32 kNoYearTo = 30000;

// Seconds since 1970 of local midnight starting the given day (daylight saving decided by the C
// library), the form of every date bound.
qint64 LocalMidnight(int year, int month, int day);

struct Filter {
    Filter();

    QString name;
    bool noYear = true; // books without a year (0) may pass
    qint32 yearFrom = kNoYearFrom;
    qint32 yearTo = kNoYearTo;
    qint64 addedFrom; // NoDateSentinel() when unbounded
    qint64 addedTo;

    // Admitted genre codes, in descending exact order without duplicates.
    const QStringList& Genres() const { return genres_; }
    void SetGenres(const QStringList& codes);
    // Whether `code` is admitted, compared case-insensitively.
    bool HasGenre(const QString& code) const;

    // The stored line: name|noYear|yearFrom|yearTo|addedFrom|addedTo|genre|genre...
    QString StoredForm() const;
    // Never fails: unreadable fields take their defaults.
    static Filter FromStoredForm(const QString& line);

private:
    QStringList genres_;
};

// Whether the filter admits the book: year, then date added, then genre. A filter without
// genres admits nothing.
bool Matches(const Filter& filter, const CBook& book);
// The year and date-added tests of Matches alone, set up once for testing many books, for
// callers that test genres their own way.
class YearAndDateTest {
public:
    explicit YearAndDateTest(const Filter& filter);
    bool operator()(const CBook& book) const;

private:
    bool noYear_;
    qint32 yearFrom_;
    qint32 yearTo_;
    qint64 addedFrom_; // an open end widened to the whole range
    qint64 addedTo_;
};

// What the filter editor's fields hold when the user presses OK.
struct FilterEditorInput {
    QString name;
    bool noYear = true;
    QString yearFrom; // empty: no bound
    QString yearTo;
    std::optional<QDate> addedFrom; // set when its check box is ticked
    std::optional<QDate> addedTo;
    QStringList genres; // codes of the selected rows, in tree order
};
Filter FilterFromEditor(const FilterEditorInput& input);

} // namespace lbv
