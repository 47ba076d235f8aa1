#pragma once
// The built-in converter for plain text: detects the code page, finds paragraphs, section
// titles, epigraphs and verse, and takes author and title from an "Author - Title" file name or
// from the text's opening lines.
#include "convert/converter.h"
#include "convert/converter_options.h"

#include <QByteArray>
#include <QString>

namespace lbv {

ConversionResult ConvertTextToFb2(const QString& path, const ConverterOptions& options);
// The same for text already read; `path` names the file (its name may carry author and title).
ConversionResult ConvertTextBytesToFb2(
    const QByteArray& bytes, const QString& path, const ConverterOptions& options);

} // namespace lbv
