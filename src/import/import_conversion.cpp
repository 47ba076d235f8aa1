// Converting a document that is not FB2 during an import: the converter gets the user's options
// and the file (an archive member through a temporary copy), the result is checked like any
// book header, filed under the library's or the converted files folder's mask and written in
// the book code page.
#include "convert/converter.h"
#include "convert/converter_common.h"
#include "import/import_book.h"
#include "import/log_line.h"
#include "import/temp_files.h"
#include "settings/settings_store.h"
#include "text/messages.h"

namespace lbv {

BookImporter::Conversion BookImporter::ConvertDocument(
    CBookHeader& header, ImportOperation operation, bool* replace)
{
    ImportLog& log = *context_.log;
    log.LogInfo(MessageText(Msg::ConvertingDocument).arg(OneLineText(header.file)));
    const auto fail = [&] {
        CopyFailedSource(header);
        return Conversion::Failed;
    };
    if (!context_.converter) {
        log.LogError(MessageText(Msg::ConverterMissing));
        return fail();
    }
    DocumentConverter& converter = *context_.converter;

    QString error;
    const ConverterProperties properties
        = context_.settings ? ReadConverterProperties(*context_.settings) : ConverterProperties();
    if (!ApplyConverterProperties(converter, properties, &error)) {
        log.LogError(MessageText(Msg::ConverterError) + error);
        return fail();
    }

    // A packed member is refused before it is unpacked: its size is known from the scan.
    if (header.fileSize > kMaxSourceBytes) {
        log.LogDebug(SourceTooLargeMessage(header.file, header.fileSize));
        log.LogError(MessageText(Msg::CantConvertDocument).arg(header.file));
        return fail();
    }
    const QString tempFile = ExtractToTempFile(header.file, header.compression, &error);
    const TemporaryCopy removeTempFile(tempFile);
    if (tempFile.isEmpty() && !error.isEmpty()) {
        log.LogDebug(error);
        log.LogError(MessageText(Msg::CantCreateTempFileFor).arg(OneLineText(header.file)));
        return fail();
    }

    const ConversionResult result = converter.Convert(tempFile.isEmpty() ? header.file : tempFile);
    if (!result.Succeeded()) {
        log.LogDebug(result.message);
        log.LogError(MessageText(Msg::CantConvertDocument).arg(OneLineText(header.file)));
        return fail();
    }

    header.format = FormatFb2;
    if (!header.ReadTitleInfo(*result.document, &error)) {
        log.LogError(error);
        return fail();
    }
    if (operation != ImportOperation::JustConvert) {
        switch (CheckExisting(header)) {
        case Existing::Skip:
            header.format = FormatUnknown;
            return Conversion::Skipped;
        case Existing::Replace:
            *replace = true;
            break;
        case Existing::Absent:
            break;
        }
    }
    QString text = result.document->Xml();
    if (header.genre.isEmpty()) {
        header.genre = context_.options.defaultGenre;
        text.replace(QStringLiteral("<genre></genre>"),
            QStringLiteral("<genre>%1</genre>").arg(header.genre.toHtmlEscaped()));
    }
    if (!WriteConvertedText(header, operation, text, *replace))
        return fail();
    return Conversion::Converted;
}

bool BookImporter::WriteConvertedText(
    CBookHeader& header, ImportOperation operation, const QString& text, bool replace)
{
    ImportLog& log = *context_.log;
    StorageOptions storage = library_;
    if (operation == ImportOperation::JustConvert && !ConvertedFilesStorage(&storage))
        return false;

    QString error;
    QByteArray bytes;
    if (!EncodeBookText(text, context_.options.bookCharset, &bytes, &error)) {
        log.LogStepText(error);
        return false;
    }
    // The user's "replace" answer covers the file too: the catalog entry and the book it names
    // stay one. The converted files folder is never overwritten.
    const bool overwrite = operation == ImportOperation::Standard && replace;
    const QString target = PlaceBookFile(header, storage, &bytes, overwrite, &error);
    if (!error.isEmpty())
        log.LogStepText(error); // also the warning that an existing file was kept
    if (target.isEmpty())
        return false;
    log.LogInfo(MessageText(Msg::ConversionSuccessful).arg(OneLineText(target)));
    return true;
}

} // namespace lbv
