#include "convert/converter_factory.h"

#include "convert/html_to_fb2.h"
#include "convert/html_to_fb2_links.h"
#include "convert/text_to_fb2.h"

#include <QFileInfo>
#include <exception>

namespace lbv {

ConverterKind ConverterKindFor(const QString& path)
{
    if (QFileInfo(path).suffix().compare(u"txt", Qt::CaseInsensitive) == 0)
        return ConverterKind::PlainText;
    if (IsHtmlPagePath(path))
        return ConverterKind::Html;
    if (!PandocInputFormat(path).isEmpty())
        return ConverterKind::Pandoc;
    return ConverterKind::None;
}

Any2Fb2Converter::Any2Fb2Converter(QString pandocProgram, int pandocTimeoutMs)
    : pandoc_(std::move(pandocProgram))
    , pandocTimeoutMs_(pandocTimeoutMs)
{
}

bool Any2Fb2Converter::SetProperty(const QString& name, const QVariant& value, QString* error)
{
    return options_.Set(name, value, error);
}

ConversionResult Any2Fb2Converter::Convert(const QString& path)
{
    try {
        switch (ConverterKindFor(path)) {
        case ConverterKind::PlainText:
            return ConvertTextToFb2(path, options_);
        case ConverterKind::Html:
            return ConvertHtmlToFb2(path, options_);
        case ConverterKind::Pandoc:
            if (pandoc_.isEmpty())
                return {nullptr,
                    QStringLiteral("Converting \"%1\" needs the pandoc program, which is not "
                                   "installed. Install pandoc and import the file again.")
                        .arg(path)};
            return ConvertWithPandoc(pandoc_, path, options_, pandocTimeoutMs_);
        case ConverterKind::None:
            break;
        }
        return {nullptr,
            QStringLiteral("No converter reads \"%1\": plain text (.txt), HTML (.html, .htm) "
                           "and, with pandoc, EPUB, DOCX, ODT, RTF and Markdown are converted.")
                .arg(path)};
    } catch (const std::exception& failure) {
        return {nullptr,
            QStringLiteral("Converting \"%1\" failed: %2")
                .arg(path, QString::fromLocal8Bit(failure.what()))};
    }
}

std::unique_ptr<DocumentConverter> CreateAny2Fb2Converter(QString* error)
{
    if (error)
        error->clear();
    return std::make_unique<Any2Fb2Converter>(FindPandoc());
}

} // namespace lbv
