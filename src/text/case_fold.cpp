#include "text/case_fold.h"

#include <QLocale>

namespace lbv {

int CompareNoCase(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive);
}

QString LowerCase(const QString& text)
{
    static const QLocale locale = QLocale::system();
    return locale.toLower(text);
}

} // namespace lbv
