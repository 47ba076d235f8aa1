#pragma once
// Import dates as the index file stores them: the local calendar day, "YYYY-MM-DD".
#include "catalog/catalog_records.h"

#include <QByteArrayView>
#include <QHash>
#include <QString>

namespace lbv {

class IndexDates {
public:
    // Scans "%4u-%2u-%2u" (blanks before each number, one- or two-digit month and day). Three
    // fields give local midnight of that day, out-of-range months and days carried over as the
    // C library's mktime does; anything else gives the no-date sentinel. False when the day
    // cannot be represented (its midnight lies before 1970).
    bool FromText(QByteArrayView text, qint64* added);
    // The text to store for `added`; false when nothing is to be stored: the no-date sentinel,
    // or a time whose day FromText would refuse (a file holding it could not be opened again).
    bool ToText(qint64 added, QString* text) const;
    // The no-date sentinel, computed once (each computation asks the time zone database).
    qint64 NoDate() const { return noDate_; }

private:
    const qint64 noDate_ = NoDateSentinel();
    // Scanned (year, month, day) -> local midnight; -1 for days that cannot be represented.
    // Libraries have far fewer distinct days than books, and mktime is slow.
    QHash<quint64, qint64> midnights_;
};

} // namespace lbv
