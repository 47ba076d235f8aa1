#pragma once
// Shared by the fuzz targets: a QCoreApplication for Qt's text codecs and resources, made once.
#include <QCoreApplication>

namespace lbv::fuzz {

inline void EnsureApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

} // namespace lbv::fuzz
