#include "text/messages.h"

#include <algorithm>
#include <array>

namespace lbv {
namespace {

struct Entry {
    Msg id;
    const char16_t* text;
};

// Kept in ascending id order; MessageText finds entries by binary search.
constexpr Entry kTable[] = {
    {Msg::Error, u"Error"},
    {Msg::FatalFileNotFound, u"Fatal error: File \"%1\" is not found."},
    {Msg::CantInitializeOle, u"Can't initialize OLE."},
    {Msg::TabShelf, u"Shelf"},
    {Msg::TabReader, u"Reader"},
    {Msg::TabImport, u"Import"},
    {Msg::TabOptions, u"Options"},
    {Msg::TabMaintenance, u"Maintenance"},
    {Msg::CantOpenIndex, u"Can't open \"%1\"."},
    {Msg::OpenIndexFilter,
     u"Compressed index (*.lvf)|*.lvf|Uncompressed index (*.xml)|*.xml|All Files (*.*)|*.*||"},
    {Msg::SaveIndexFilter, u"Compressed index (*.lvf)||"},
    {Msg::IndexModifiedSave, u"Index is modified. Do you want to save the new index?"},
    {Msg::NewShelfTitle, u"New shelf"},
    {Msg::InvalidIndexName, u"Invalid index name "},
    {Msg::IndexCantOpenForLoad, u"Load: Can't open file \"%1\"."},
    {Msg::ImportDateMigration,
     u"This version of Libravon supports additional\r\nfield - import date.\r\nIt looks like "
     u"some books in your library does not contain this field.\r\n\r\nDo you want to add this "
     u"field based on the file creation date?"},
    {Msg::CantCreateDirectoryFor, u"Can't create directory for "},
    {Msg::CantOpenForWriting, u"Can't open \"%1\" for writing."},
    {Msg::EmptyFile, u"Empty file %1."},
    {Msg::CantReadFile, u"Can't read file %1."},
    {Msg::NotAZipFile, u"Not a ZIP file."},
    {Msg::CantReadFileInsideZip, u"Can't read file inside zip: "},
    {Msg::Fb2NoAuthorName, u"[FB2] Can't find author name in "},
    {Msg::Fb2NoBookTitle, u"[FB2] Can't find book title in "},
    {Msg::LooksLikeBrokenFb2, u"File \"%1\" looks like FB2, but broken. Error: %2"},
    {Msg::CantDetectFileType, u"Can't detect file type for: "},
    {Msg::GzipNotSupported, u"GZIP compression is not supported yet."},
    {Msg::BadZipMemberPath, u"Internal error in ZIP file name "},
    {Msg::CantCreateTempFile, u"Can't create temporary file "},
    {Msg::NotAnXmlFile, u"This file is not an XML file: %1"},
    {Msg::CantCreateTempFolder, u"Can't create temporary directory %1."},
    {Msg::TooManyTempFiles, u"Where are too many files in temporary dir like "},
    {Msg::ErrorPrefix, u"Error: "},
    {Msg::WarningPrefix, u"Warning: "},
    {Msg::FileAlreadyExists, u"File \"%1\" already exists. Importing as is."},
    {Msg::CantCreateFolderFor, u"Can't create directory for %1."},
    {Msg::CantEncodeText, u"Error converting from unicode: %1."},
    {Msg::CantCreateFile, u"Can't create file \"%1\"."},
    {Msg::UnsupportedImportType, u"Unsupported file type for standard import."},
    {Msg::NewFilter, u"New filter"},
    {Msg::GenreLanguageNotFound, u"Language \"%1\" is not found in \"%2\"."},
    {Msg::GenreDictionaryLoadError, u"Error loading genre dictionary \"%1\"."},
    {Msg::NoFilter, u"<No filter>"},
    {Msg::CreateFilter, u"<Create filter>"},
    {Msg::GroupNameEmpty, u"The group name can not be empty."},
    {Msg::GroupExists, u"This group is already exists."},
    {Msg::FilterNotFound, u"Filter \"%1\" is not found. Using defaults."},
    {Msg::ImportColumnDirectory, u"Directory"},
    {Msg::ImportColumnFileName, u"File name"},
    {Msg::ImportColumnExt, u"Ext"},
    {Msg::ImportColumnSize, u"Size"},
    {Msg::ImportColumnStatus, u"Status"},
    {Msg::ImportColumnTime, u"Time"},
    {Msg::OperationStandardImport, u"Standard import (convert and copy to standard place)"},
    {Msg::OperationJustConvert, u"Just convert documents (convert and copy to given place)"},
    {Msg::OperationImportInPlace, u"Import \"in place\" (do not convert, for CD-ROMs etc.)"},
    {Msg::ConverterMissing,
     u"Can't create Any2FB2 COM object.\r\nPlease install or reinstall Any 2 FB2 application."},
    {Msg::StatusProcessing, u"Processing..."},
    {Msg::StatusOk, u"Ok"},
    {Msg::StatusAlreadyAdded, u"Already added"},
    {Msg::StatusFailure, u"Failure"},
    {Msg::CantDetectAuthorName, u"Can't detect author's name in \"%1\"."},
    {Msg::CantDetectBookTitle, u"Can't detect book title in \"%1\"."},
    {Msg::CantDetectBookGenre,
     u"Can't detect book genre in \"%1\" Defaults used, but file is not changed."},
    {Msg::BookAlreadyAdded, u"Book %1 %2 \"%3\" is already added."},
    {Msg::ReplaceExistingBook, u"\r\nDo you want to replace existing book?"},
    {Msg::AnswerYes, u"&Yes"},
    {Msg::AnswerNo, u"&No"},
    {Msg::AnswerYesToAll, u"Yes to &all"},
    {Msg::AnswerNoToAll, u"No to a&ll"},
    {Msg::BookAdded, u"Book %1 %2 \"%3\" added."},
    {Msg::FailedFilesDirMissing,
     u"Failed files dir is not set or does not exist. Please check Options/Import page."},
    {Msg::FailedFileCopied, u"Failed file copied to \"%1\"."},
    {Msg::FailedFileNotCopied, u"Failed file can not be copied to \"%1\"."},
    {Msg::ConvertingDocument, u"Converting \"%1\"."},
    {Msg::CantCreateTempFileFor, u"Error creating temp file for \"%1\"."},
    {Msg::CantConvertDocument, u"Error converting document \"%1\"."},
    {Msg::ConvertedFilesDirNotSet,
     u"Converted files directory is not set! Please check Options/Import page."},
    {Msg::ConvertedFilesMaskNotSet,
     u"Converted files name mask is not set! Please check Options/Import page."},
    {Msg::ConversionSuccessful, u"Converion successful: %1."},
    {Msg::ConverterError, u"COM error: "},
    {Msg::MaskHintPlaceholders, u"Use %f - first name, %l - last name, %t - tile, %g - genre"},
    {Msg::MaskHintTransliteration, u"Use %F,%L,%T,%G for cyrillic transliteration"},
    {Msg::ReaderFileNotFound, u"%1: File not found"},
    {Msg::ReaderFileIoError, u"%1: I/O Error"},
    {Msg::DictionaryDisabled, u"Dictionary disabled"},
    {Msg::CantOpenDictionary, u"Can't open dictionary: "},
    {Msg::InvalidDictionaryFile, u"%1: Ivalid dictionary file"},
};

constexpr bool IsSorted()
{
    for (std::size_t i = 1; i < std::size(kTable); ++i)
        if (int(kTable[i - 1].id) >= int(kTable[i].id))
            return false;
    return true;
}
static_assert(IsSorted(), "message table must be sorted by id");

} // namespace

QString MessageText(Msg id)
{
    const auto* it = std::lower_bound(std::begin(kTable), std::end(kTable), id,
        [](const Entry& e, Msg key) { return int(e.id) < int(key); });
    if (it == std::end(kTable) || it->id != id)
        return QStringLiteral("#%1").arg(int(id));
    return QString::fromUtf16(it->text);
}

} // namespace lbv
