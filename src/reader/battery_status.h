#pragma once
// The battery figure of the progress bar, read from the kernel's power supply folders.
#include <QString>
#include <optional>

namespace lbv {

// Above 100 means mains power, as the progress bar shows "AC" for it.
inline constexpr int kBatteryOnMains = 255;

// The charge in percent of the first battery under root (normally /sys/class/power_supply),
// kBatteryOnMains while a mains or USB supply is online, nothing without either.
std::optional<int> ReadBatteryStatus(
    const QString& root = QStringLiteral("/sys/class/power_supply"));

} // namespace lbv
