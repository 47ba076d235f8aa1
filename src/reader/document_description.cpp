#include "reader/document_description.h"

#include "reader/content_kind.h"
#include "reader/dictionary_document.h"
#include "reader/fb2_document.h"
#include "reader/image_document.h"
#include "reader/text_document.h"
#include "text/code_pages.h"
#include "text/messages.h"

namespace lbv {
namespace {

QString FormatName(const DocumentSource& document)
{
    if (dynamic_cast<const Fb2Document*>(&document))
        return MessageText(Msg::FormatFb2);
    if (const auto* text = dynamic_cast<const TextDocument*>(&document))
        return MessageText(Msg::FormatText).arg(TextModeName(text->Mode()));
    if (const auto* picture = dynamic_cast<const ImageDocument*>(&document))
        return MessageText(picture->Kind() == PictureKind::Jpeg ? Msg::FormatJpeg : Msg::FormatPng);
    if (dynamic_cast<const DictionaryDocument*>(&document))
        return MessageText(Msg::FormatDictionary);
    return {};
}

} // namespace

QStringList DocumentDescription(
    const DocumentSource& document, const QString& path, int chosenEncoding)
{
    QStringList lines {MessageText(Msg::DescriptionPath).arg(path)};
    const QString format = FormatName(document);
    if (!format.isEmpty())
        lines << MessageText(Msg::DescriptionFormat).arg(format);
    // Only plain text is decoded by the reader itself; other formats name their own encoding.
    const int encoding = chosenEncoding >= 0           ? chosenEncoding
        : dynamic_cast<const TextDocument*>(&document) ? document.DetectedCodePage()
                                                       : -1;
    if (encoding >= 0 && encoding < CodePageCount())
        lines << MessageText(Msg::DescriptionEncoding).arg(CodePageDisplayName(encoding));
    lines << MessageText(Msg::DescriptionCompression).arg(document.SourceDescription());
    return lines;
}

} // namespace lbv
