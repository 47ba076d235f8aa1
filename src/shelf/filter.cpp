#include "shelf/filter.h"

#include "catalog/catalog_records.h"
#include "text/case_fold.h"
#include "text/messages.h"

#include <QRegularExpression>
#include <algorithm>
#include <ctime>
#include <functional>
#include <limits>

namespace lbv {
namespace {

const QChar kFieldSeparator = u'|';
const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");
const QString kNoBound = QStringLiteral("-");

// A bar inside a name or code would split the field when the line is read back; the broken
// bar keeps the text readable.
QString FieldText(const QString& text)
{
    QString field = text;
    return field.replace(kFieldSeparator, QChar(0x00A6));
}

// The leading decimal integer, as atoi reads it: white space, a sign, digits; 0 without digits.
// Out-of-range values are clamped rather than wrapped.
qint32 LeadingInteger(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    qint64 value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i)
        value = std::min<qint64>(value * 10 + (text[i].unicode() - u'0'), qint64(1) << 32);
    value = negative ? -value : value;
    return qint32(std::clamp<qint64>(
        value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

qint32 ReadYear(const QString& field, qint32 noBound)
{
    return field == kNoBound ? noBound : LeadingInteger(field);
}

QString WriteYear(qint32 year, qint32 noBound)
{
    return year == noBound ? kNoBound : QString::number(year);
}

// "YYYY-MM-DD" (up to four, two and two digits, white space allowed before each number);
// anything else, "-" included, is no bound.
qint64 ReadDate(const QString& field)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{1,4})-\\s*(\\d{1,2})-\\s*(\\d{1,2})"));
    const QRegularExpressionMatch match = pattern.match(field);
    if (!match.hasMatch())
        return NoDateSentinel();
    const qint64 day = LocalMidnight(match.capturedView(1).toInt(), match.capturedView(2).toInt(),
        match.capturedView(3).toInt());
    return day == -1 ? NoDateSentinel() : day;
}

QString WriteDate(qint64 time)
{
    if (time == NoDateSentinel())
        return kNoBound;
    const std::time_t t = std::time_t(time);
    std::tm tm {};
    if (!localtime_r(&t, &tm))
        return kNoBound;
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d", &tm);
    return QString::fromLatin1(text);
}

} // namespace

qint64 LocalMidnight(int year, int month, int day)
{
    std::tm tm {};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_isdst = -1;
    return qint64(std::mktime(&tm));
}

Filter::Filter()
    : name(MessageText(Msg::NewFilter))
    , addedFrom(NoDateSentinel())
    , addedTo(addedFrom)
{
}

void Filter::SetGenres(const QStringList& codes)
{
    genres_ = codes;
    genres_.removeAll(QString());
    std::sort(genres_.begin(), genres_.end(), std::greater<>());
    genres_.erase(std::unique(genres_.begin(), genres_.end()), genres_.end());
}

bool Filter::HasGenre(const QString& code) const
{
    return std::any_of(genres_.begin(), genres_.end(),
        [&](const QString& genre) { return EqualsNoCase(genre, code); });
}

QString Filter::StoredForm() const
{
    QStringList fields;
    fields.reserve(6 + genres_.size());
    fields << (name.isEmpty() ? MessageText(Msg::NewFilter) : FieldText(name))
           << (noYear ? kTrue : kFalse) << WriteYear(yearFrom, kNoYearFrom)
           << WriteYear(yearTo, kNoYearTo) << WriteDate(addedFrom) << WriteDate(addedTo);
    for (const QString& genre : genres_)
        fields << FieldText(genre);
    return fields.join(kFieldSeparator);
}

Filter Filter::FromStoredForm(const QString& line)
{
    const QStringList fields = line.split(kFieldSeparator, Qt::SkipEmptyParts);
    Filter filter;
    // A shorter line than the writer produces keeps the new-filter defaults for what is missing.
    const auto count = fields.size();
    if (count > 0)
        filter.name = fields[0];
    if (count > 1)
        filter.noYear = fields[1] == kTrue;
    if (count > 2)
        filter.yearFrom = ReadYear(fields[2], kNoYearFrom);
    if (count > 3)
        filter.yearTo = ReadYear(fields[3], kNoYearTo);
    if (count > 4)
        filter.addedFrom = ReadDate(fields[4]);
    if (count > 5)
        filter.addedTo = ReadDate(fields[5]);
    if (count > 6)
        filter.SetGenres(fields.mid(6));
    return filter;
}

bool Matches(const Filter& filter, const CBook& book)
{
    return YearAndDateTest(filter)(book) && filter.HasGenre(book.genre);
}

YearAndDateTest::YearAndDateTest(const Filter& filter)
    : noYear_(filter.noYear)
    , yearFrom_(filter.yearFrom)
    , yearTo_(filter.yearTo)
    , addedFrom_(filter.addedFrom)
    , addedTo_(filter.addedTo)
{
    const qint64 noDate = NoDateSentinel();
    if (addedFrom_ == noDate)
        addedFrom_ = std::numeric_limits<qint64>::min();
    if (addedTo_ == noDate)
        addedTo_ = std::numeric_limits<qint64>::max();
}

bool YearAndDateTest::operator()(const CBook& book) const
{
    if (book.year == 0 && !noYear_)
        return false;
    if (book.year < yearFrom_ || book.year > yearTo_)
        return false;
    return book.added >= addedFrom_ && book.added <= addedTo_;
}

Filter FilterFromEditor(const FilterEditorInput& input)
{
    Filter filter;
    // The name goes into the stored line and the active-filter key alike: keep both readable.
    if (!input.name.isEmpty())
        filter.name = FieldText(input.name);
    filter.noYear = input.noYear;
    filter.yearFrom
        = input.yearFrom.trimmed().isEmpty() ? kNoYearFrom : LeadingInteger(input.yearFrom);
    filter.yearTo = input.yearTo.trimmed().isEmpty() ? kNoYearTo : LeadingInteger(input.yearTo);
    const auto midnight
        = [](const QDate& date) { return LocalMidnight(date.year(), date.month(), date.day()); };
    if (input.addedFrom && input.addedFrom->isValid())
        filter.addedFrom = midnight(*input.addedFrom);
    if (input.addedTo && input.addedTo->isValid())
        filter.addedTo = midnight(*input.addedTo);
    // Only two real bounds can be the wrong way round; an open end stays open.
    const qint64 noDate = NoDateSentinel();
    if (filter.addedFrom != noDate && filter.addedTo != noDate && filter.addedFrom > filter.addedTo)
        std::swap(filter.addedFrom, filter.addedTo);
    filter.SetGenres(input.genres);
    return filter;
}

} // namespace lbv
