#pragma once
// The converter the import drives: plain text and HTML through the built-in converters, EPUB,
// DOCX, ODT, RTF and Markdown through pandoc when it is installed. It is chosen per file by the
// file's extension.
#include "convert/converter.h"
#include "convert/converter_options.h"
#include "convert/pandoc_converter.h"

#include <QString>
#include <memory>

namespace lbv {

enum class ConverterKind { None, PlainText, Html, Pandoc };

// Which converter reads a file, by its extension.
ConverterKind ConverterKindFor(const QString& path);

class Any2Fb2Converter : public DocumentConverter {
public:
    // `pandocProgram` empty: pandoc is not installed.
    explicit Any2Fb2Converter(QString pandocProgram, int pandocTimeoutMs = kPandocTimeoutMs);

    bool SetProperty(const QString& name, const QVariant& value, QString* error) override;
    // Never throws; running out of memory on a huge document fails with a message.
    ConversionResult Convert(const QString& path) override;

    const ConverterOptions& Options() const { return options_; }

private:
    ConverterOptions options_;
    QString pandoc_;
    int pandocTimeoutMs_;
};

// The converter an import run holds, or null with the reason when none can be made (the import
// then refuses to convert). The built-in converters are always there; pandoc is looked up now.
std::unique_ptr<DocumentConverter> CreateAny2Fb2Converter(QString* error = nullptr);

} // namespace lbv
