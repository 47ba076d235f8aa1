#pragma once
// The built-in converter for HTML pages, over libxml2's forgiving HTML parser (never touching
// the network): the page's declared or detected charset is honoured, its title and author meta
// data fill the title-info, and with a link depth set, the local pages it links to are
// appended as further sections.
#include "convert/converter.h"
#include "convert/converter_options.h"

#include <QByteArray>
#include <QString>

namespace lbv {

ConversionResult ConvertHtmlToFb2(const QString& path, const ConverterOptions& options);
// The same for a page already read; `path` names it (for its images and the pages it links).
ConversionResult ConvertHtmlBytesToFb2(
    const QByteArray& bytes, const QString& path, const ConverterOptions& options);

} // namespace lbv
