#pragma once
// Documents that the pandoc program reads (EPUB, DOCX, ODT, RTF, Markdown), converted by running
// it with FB2 output. pandoc is optional: without it these documents can't be converted, and
// the converter says so.
#include "convert/converter.h"
#include "convert/converter_options.h"

#include <QString>

namespace lbv {

// Long enough for a big EPUB on a slow machine; a hung pandoc must not stall the import.
inline constexpr int kPandocTimeoutMs = 120 * 1000;

// The pandoc program on the search path, or empty.
QString FindPandoc();
// pandoc's name of the input format of a file, by its extension ("epub", "docx", "odt",
// "rtf", "markdown"); empty for anything else.
QString PandocInputFormat(const QString& path);

// Runs `program` over the file. pandoc's error output is the message of a failed conversion.
// A book whose metadata names no author or title gets them from an "Author - Title" file name.
// Of the options only the expressions run on the result apply.
ConversionResult ConvertWithPandoc(const QString& program, const QString& path,
    const ConverterOptions& options, int timeoutMs = kPandocTimeoutMs);

} // namespace lbv
