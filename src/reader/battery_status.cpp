#include "reader/battery_status.h"

#include <QDir>
#include <QFile>
#include <algorithm>

namespace lbv {
namespace {

QString ReadValue(const QString& folder, const char* name)
{
    QFile file(folder + u'/' + QLatin1StringView(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.read(64)).trimmed();
}

} // namespace

std::optional<int> ReadBatteryStatus(const QString& root)
{
    std::optional<int> battery;
    const QDir dir(root);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString folder = dir.filePath(name);
        const QString type = ReadValue(folder, "type");
        if ((type == u"Mains" || type == u"USB") && ReadValue(folder, "online") == u"1")
            return kBatteryOnMains;
        bool ok = false;
        const int capacity = ReadValue(folder, "capacity").toInt(&ok);
        if (type == u"Battery" && ok && !battery)
            battery = std::clamp(capacity, 0, 100);
    }
    return battery;
}

} // namespace lbv
