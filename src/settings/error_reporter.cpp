#include "settings/error_reporter.h"

#include <cstdio>

namespace lbv {

void StderrErrorReporter::ShowError(const QString& caption, const QString& text)
{
    const QByteArray line = (caption + u": " + text + u'\n').toLocal8Bit();
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
    std::fflush(stderr);
}

} // namespace lbv
