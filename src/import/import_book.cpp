#include "import/import_book.h"

#include "catalog/file_name_mask.h"
#include "catalog/libravon_doc.h"
#include "catalog/member_path.h"
#include "import/log_line.h"
#include "import/stored_book.h"
#include "text/messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lbv {
namespace {

QString BookText(Msg id, const CBookHeader& header)
{
    return MessageText(id).arg(
        OneLineText(header.firstName), OneLineText(header.lastName), OneLineText(header.title));
}

bool NeedsConversion(int format)
{
    return format == FormatTxt || format == FormatHtml || format == FormatOtherDocument;
}

// The file name a failed source is copied under: its own, or the member's for an archive member.
QString SourceFileName(const CBookHeader& header, QString* archive, QString* member)
{
    if (header.compression == CompressionZip && SplitMemberPath(header.file, archive, member))
        return member->mid(std::max(member->lastIndexOf(u'/'), member->lastIndexOf(u'\\')) + 1);
    *archive = header.file;
    member->clear();
    return QFileInfo(header.file).fileName();
}

} // namespace

QString StatusText(ImportStatus status)
{
    switch (status) {
    case ImportStatus::Ok:
        return MessageText(Msg::StatusOk);
    case ImportStatus::AlreadyAdded:
        return MessageText(Msg::StatusAlreadyAdded);
    case ImportStatus::Failure:
        break;
    }
    return MessageText(Msg::StatusFailure);
}

BookImporter::BookImporter(ImportContext context)
    : context_(std::move(context))
{
}

void BookImporter::BeginRun()
{
    rememberedAnswer_ = ExistingBookAction::Ask;
    if (context_.catalog) {
        const auto lock = LockCatalog(context_);
        library_ = StorageOptionsOf(*context_.catalog);
    }
}

std::unique_lock<std::mutex> LockCatalog(const ImportContext& context)
{
    return context.catalogMutex ? std::unique_lock(*context.catalogMutex)
                                : std::unique_lock<std::mutex>();
}

ImportStatus BookImporter::ImportOne(CBookHeader& header, ImportOperation operation)
{
    bool converted = false;
    bool replace = false;
    if (!header.markupRepair.isEmpty())
        context_.log->LogWarning(
            MessageText(Msg::MarkupRepaired).arg(header.file, header.markupRepair));
    if (operation != ImportOperation::InPlace && NeedsConversion(header.format)) {
        switch (ConvertDocument(header, operation, &replace)) {
        case Conversion::Failed:
            header.format = FormatUnknown;
            return ImportStatus::Failure;
        case Conversion::Skipped:
            return ImportStatus::AlreadyAdded;
        case Conversion::Converted:
            converted = true;
            break;
        }
    }
    if (!CheckNamesAndGenre(header))
        return ImportStatus::Failure;
    // A converted book has been through the rule already, before it was written.
    if (operation != ImportOperation::JustConvert && !converted) {
        switch (CheckExisting(header)) {
        case Existing::Skip:
            return ImportStatus::Ok;
        case Existing::Replace:
            replace = true;
            break;
        case Existing::Absent:
            break;
        }
    }
    return CatalogueBook(header, operation, replace);
}

bool BookImporter::CheckNamesAndGenre(CBookHeader& header)
{
    ImportLog& log = *context_.log;
    bool known = true;
    if (header.firstName.isEmpty() || header.lastName.isEmpty()) {
        log.LogError(MessageText(Msg::CantDetectAuthorName).arg(OneLineText(header.file)));
        known = false;
    }
    if (header.title.isEmpty()) {
        log.LogError(MessageText(Msg::CantDetectBookTitle).arg(OneLineText(header.file)));
        known = false;
    }
    if (known && header.genre.isEmpty()) {
        log.LogWarning(MessageText(Msg::CantDetectBookGenre).arg(OneLineText(header.file)));
        header.genre = context_.options.defaultGenre;
    }
    return known;
}

BookImporter::Existing BookImporter::CheckExisting(const CBookHeader& header)
{
    bool present = false;
    if (context_.catalog) {
        const auto lock = LockCatalog(context_);
        present = context_.catalog->FindBook(header) != nullptr;
    }
    if (!present)
        return Existing::Absent;

    const QString text = BookText(Msg::BookAlreadyAdded, header);
    ExistingBookAction action = context_.options.existingBookAction;
    if (action == ExistingBookAction::Ask)
        action = rememberedAnswer_;
    if (action == ExistingBookAction::Ask) {
        using Answer = ExistingBookQuestion::Answer;
        const Answer answer = context_.question
            ? context_.question->Ask(text + MessageText(Msg::ReplaceExistingBook))
            : Answer::No;
        if (answer == Answer::YesToAll)
            rememberedAnswer_ = ExistingBookAction::Replace;
        else if (answer == Answer::NoToAll)
            rememberedAnswer_ = ExistingBookAction::Skip;
        action = answer == Answer::Yes || answer == Answer::YesToAll ? ExistingBookAction::Replace
                                                                     : ExistingBookAction::Skip;
    }
    if (action == ExistingBookAction::Replace)
        return Existing::Replace;
    context_.log->LogWarning(text);
    return Existing::Skip;
}

ImportStatus BookImporter::CatalogueBook(
    CBookHeader& header, ImportOperation operation, bool replace)
{
    ImportLog& log = *context_.log;
    if (operation == ImportOperation::Standard) {
        QString error;
        const QString placed = PlaceBookFile(header, library_, nullptr, replace, &error);
        if (!error.isEmpty())
            log.LogStepText(error); // also the warning that an existing file was kept
        if (placed.isEmpty())
            return ImportStatus::Failure;
    }
    if (header.format == FormatUnknown || header.format == FormatOtherDocument)
        return ImportStatus::Failure;
    if (operation == ImportOperation::JustConvert)
        return ImportStatus::Ok; // the conversion wrote the result
    // The index can't hold control characters: the stored path would name nothing.
    if (!IsStorablePath(header.file)) {
        log.LogError(MessageText(Msg::PathNotStorable).arg(OneLineText(header.file)));
        return ImportStatus::Failure;
    }
    bool added = false;
    if (context_.catalog) {
        const auto lock = LockCatalog(context_);
        added = context_.catalog->AddBook(header, replace);
    }
    if (added)
        log.LogInfo(BookText(Msg::BookAdded, header));
    else
        log.LogWarning(BookText(Msg::BookAlreadyAdded, header));
    return ImportStatus::Ok;
}

bool BookImporter::ConvertedFilesStorage(StorageOptions* storage)
{
    const ImportOptions& options = context_.options;
    if (options.convertedFilesDir.isEmpty()) {
        context_.log->LogError(MessageText(Msg::ConvertedFilesDirNotSet));
        return false;
    }
    if (options.renameBookMask.isEmpty()) {
        context_.log->LogError(MessageText(Msg::ConvertedFilesMaskNotSet));
        return false;
    }
    storage->fileNameMask = options.renameBookMask;
    storage->compressFiles = options.useZipCompression;
    storage->libraryFolder = options.convertedFilesDir;
    if (!storage->libraryFolder.endsWith(u'/'))
        storage->libraryFolder += u'/';
    return true;
}

void BookImporter::CopyFailedSource(const CBookHeader& header)
{
    const ImportOptions& options = context_.options;
    if (!options.copyFailedFiles)
        return;
    ImportLog& log = *context_.log;
    if (options.failedFilesDir.isEmpty() || !QFileInfo(options.failedFilesDir).isDir()) {
        log.LogError(MessageText(Msg::FailedFilesDirMissing));
        return;
    }
    QString archive;
    QString member;
    const QString target
        = QDir(options.failedFilesDir).filePath(SourceFileName(header, &archive, &member));
    // An earlier copy of the same name is kept: the folder is the user's, not ours to overwrite.
    bool copied = false;
    if (member.isEmpty()) {
        copied = QFile::copy(archive, target);
    } else {
        QByteArray bytes;
        QString error;
        QFile file(target);
        copied = ReadStoredBookBytes(header.file, CompressionZip, &bytes, &error)
            && file.open(QIODevice::WriteOnly | QIODevice::NewOnly)
            && file.write(bytes) == bytes.size() && file.flush();
        if (!copied && file.isOpen())
            file.remove();
    }
    if (copied)
        log.LogInfo(MessageText(Msg::FailedFileCopied).arg(target));
    else
        log.LogError(MessageText(Msg::FailedFileNotCopied).arg(target));
}

} // namespace lbv
