#include "catalog/index_dates.h"

#include <ctime>

namespace lbv {
namespace {

// scanf's "%<width>u" without sign: blanks, then one to `width` digits.
bool ScanUnsigned(const char*& p, const char* end, int width, unsigned* value)
{
    while (p < end
        && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f'))
        ++p;
    const char* start = p;
    unsigned result = 0;
    while (p < end && p - start < width && *p >= '0' && *p <= '9')
        result = result * 10 + unsigned(*p++ - '0');
    *value = result;
    return p > start;
}

bool ScanLiteral(const char*& p, const char* end, char literal)
{
    if (p < end && *p == literal) {
        ++p;
        return true;
    }
    return false;
}

// Local midnight of the day, days and months out of range carried over; negative when the
// day lies before 1970 or mktime cannot represent it.
qint64 LocalMidnight(int year, int month, int day)
{
    std::tm tm {};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    return t < 0 ? -1 : qint64(t);
}

} // namespace

bool IndexDates::FromText(QByteArrayView text, qint64* added)
{
    const char* p = text.data();
    const char* end = p + text.size();
    unsigned year = 0;
    unsigned month = 0;
    unsigned day = 0;
    if (!ScanUnsigned(p, end, 4, &year) || !ScanLiteral(p, end, '-')
        || !ScanUnsigned(p, end, 2, &month) || !ScanLiteral(p, end, '-')
        || !ScanUnsigned(p, end, 2, &day)) {
        *added = noDate_;
        return true;
    }
    const quint64 key = quint64(year) * 10000 + month * 100 + day;
    auto it = midnights_.constFind(key);
    if (it == midnights_.cend())
        it = midnights_.insert(key, LocalMidnight(int(year), int(month), int(day)));
    if (*it < 0)
        return false;
    *added = *it;
    return true;
}

bool IndexDates::ToText(qint64 added, QString* text) const
{
    if (added == noDate_)
        return false;
    const std::time_t t = std::time_t(added);
    std::tm tm {};
    if (!localtime_r(&t, &tm) || tm.tm_year + 1900 < 1970 || tm.tm_year + 1900 > 9999)
        return false;
    // Near the epoch the local day may have begun before it, in zones east of UTC.
    if (added < 2 * 86400 && LocalMidnight(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday) < 0)
        return false;
    char buffer[16];
    const std::size_t length = std::strftime(buffer, sizeof buffer, "%Y-%m-%d", &tm);
    *text = QString::fromLatin1(buffer, qsizetype(length));
    return true;
}

} // namespace lbv
