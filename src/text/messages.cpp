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
    {Msg::ProgramTitle, u"Libravon"},
    {Msg::Error, u"Error"},
    {Msg::HeaderChangedWrite, u"The book header was changed.\r\nDo you want to write changes?"},
    {Msg::BookChangedCaption, u"Book changed"},
    {Msg::ErrorDeletingBook, u"Error deleting book."},
    {Msg::ErrorAddingBook, u"Error adding book to index."},
    {Msg::BookNotInStandardPlace,
     u"The book is not in standard place.\r\nThis operation is not currently supported.\r\n"
     u"Please wait for next version."},
    {Msg::CantCreateExporter, u"Can't create instance of %1 exporter.\r\n"},
    {Msg::BookNotFb2, u"The book \"%1\" is not in FB2 format.\r\nExport can not be performed."},
    {Msg::ExportBookCaption, u"Export book"},
    {Msg::CantCreateExportTempFile,
     u"Error creating temp file for book \"%1\".\r\n%2\r\nExport can not be performed."},
    {Msg::ExportDone, u"Export done."},
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
    {Msg::MaskHintPlaceholders, u"Use %f - first name, %l - last name, %t - tile, %g - genre"},
    {Msg::MaskHintTransliteration, u"Use %F,%L,%T,%G for cyrillic transliteration"},
    {Msg::NotFictionBook2, u"Not a FictionBook2 document"},
    {Msg::XmlParserOutOfMemory, u"XML parser: Out of memory"},
    {Msg::XmlParseError, u"XML parse error: %1 at line %2, column %3"},
    {Msg::BodyMain, u"Main"},
    {Msg::ReaderFileNotFound, u"%1: File not found"},
    {Msg::ReaderFileIoError, u"%1: I/O Error"},
    {Msg::CantOpenZipFile, u"Can't open zip file"},
    {Msg::InvalidZipFile, u"Invalid or unsupported ZIP file"},
    {Msg::InvalidPdbFile, u"Invalid or unsupported PDB file"},
    {Msg::InvalidTcrFile, u"Invalid or unsupported TCR file"},
    {Msg::SourcePlain, u"None"},
    {Msg::SourceZipStored, u"ZIP, stored"},
    {Msg::SourceZipDeflated, u"ZIP, deflated (%1)"},
    {Msg::SourcePdbNotPacked, u"PDB, not packed"},
    {Msg::SourcePdbPacked, u"PDB, packed (%1)"},
    {Msg::SourceTcrPacked, u"TCR, packed (%1)"},
    {Msg::TextModeLinePerParagraph, u"Line per paragraph"},
    {Msg::TextModeIndentedFirstLine, u"Indented first line"},
    {Msg::TextModeMacLinePerParagraph, u"MAC Line per paragraph"},
    {Msg::TextModeMacIndentedFirstLine, u"MAC Indented first line"},
    {Msg::DictionaryDisabled, u"Dictionary disabled"},
    {Msg::CantOpenDictionary, u"Can't open dictionary: "},
    {Msg::InvalidDictionaryFile, u"%1: Ivalid dictionary file"},
    {Msg::ActionLineForward, u"Line forward"},
    {Msg::ActionLineBackward, u"Line backward"},
    {Msg::ActionPageForward, u"Page forward"},
    {Msg::ActionPageBackward, u"Page backward"},
    {Msg::ActionStartOfFile, u"Start of file"},
    {Msg::ActionEndOfFile, u"End of file"},
    {Msg::ActionToggleFullscreen, u"Toggle fullscreen"},
    {Msg::ActionFind, u"Find"},
    {Msg::ActionFindNext, u"Find next"},
    {Msg::ActionContents, u"Contents"},
    {Msg::ActionBack, u"Back"},
    {Msg::ActionForward, u"Forward"},
    {Msg::ActionExit, u"Exit"},
    {Msg::ActionRotate, u"Rotate"},
    {Msg::ActionNextBookmarkOrSection, u"Next bookmark/section"},
    {Msg::ActionPreviousBookmarkOrSection, u"Previous bookmark/section"},
    {Msg::ActionNextSection, u"Next section"},
    {Msg::ActionPreviousSection, u"Previous section"},
    {Msg::ActionStartAutoscroll, u"Start autoscroll"},
    {Msg::ActionStopAutoscroll, u"Stop autoscroll"},
    {Msg::ActionToggleAutoscroll, u"Toggle autoscroll"},
    {Msg::ActionFasterAutoscroll, u"Faster autoscroll"},
    {Msg::ActionSlowerAutoscroll, u"Slower autoscroll"},
    {Msg::ActionFasterAutoscrollFine, u"Faster AS (fine)"},
    {Msg::ActionSlowerAutoscrollFine, u"Slower AS (fine)"},
    {Msg::ActionNone, u"None"},
    {Msg::KeyLeft, u"Left"},
    {Msg::KeyUp, u"Up"},
    {Msg::KeyRight, u"Right"},
    {Msg::KeyDown, u"Down"},
    {Msg::KeyEnter, u"Enter/Action"},
    {Msg::KeySpace, u"Space"},
    {Msg::KeyPageUp, u"Page Up"},
    {Msg::KeyPageDown, u"PageDown"},
    {Msg::KeyHome, u"Home"},
    {Msg::KeyEnd, u"End"},
    {Msg::KeyInsert, u"Insert"},
    {Msg::KeyDelete, u"Delete"},
    {Msg::KeyF1, u"F1"},
    {Msg::KeyF2, u"F2"},
    {Msg::KeyF3, u"F3"},
    {Msg::KeyF4, u"F4"},
    {Msg::KeyF5, u"F5"},
    {Msg::KeyF6, u"F6"},
    {Msg::KeyF7, u"F7"},
    {Msg::KeyF8, u"F8"},
    {Msg::KeyF9, u"F9"},
    {Msg::KeyF10, u"F10"},
    {Msg::KeyF11, u"F11"},
    {Msg::KeyF12, u"F12"},
    {Msg::KeyButton, u"Button %1"},
    {Msg::KeyCode, u"Key %1"},
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
