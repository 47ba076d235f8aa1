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
    {Msg::GroupNameEmpty, u"The group name can not be empty."},
    {Msg::GroupExists, u"This group is already exists."},
    {Msg::MaskHintPlaceholders, u"Use %f - first name, %l - last name, %t - tile, %g - genre"},
    {Msg::MaskHintTransliteration, u"Use %F,%L,%T,%G for cyrillic transliteration"},
    {Msg::DictionaryDisabled, u"Dictionary disabled"},
    {Msg::CantOpenDictionary, u"Can't open dictionary: "},
    {Msg::InvalidDictionaryFile, u"%1: Ivalid dictionary file"},
    {Msg::ReaderFileNotFound, u"%1: File not found"},
    {Msg::ReaderIoError, u"%1: I/O Error"},
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
