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
    {Msg::GroupNameEmpty, u"The group name can not be empty."},
    {Msg::GroupExists, u"This group is already exists."},
    {Msg::MaskHintPlaceholders, u"Use %f - first name, %l - last name, %t - tile, %g - genre"},
    {Msg::MaskHintTransliteration, u"Use %F,%L,%T,%G for cyrillic transliteration"},
    {Msg::DictionaryDisabled, u"Dictionary disabled"},
    {Msg::CantOpenDictionary, u"Can't open dictionary: "},
    {Msg::InvalidDictionaryFile, u"%1: Ivalid dictionary file"},
    {Msg::ReaderFileNotFound, u"%1: File not found"},
    {Msg::ReaderIoError, u"%1: I/O Error"},
    {Msg::NotFictionBook2, u"Not a FictionBook2 document"},
    {Msg::XmlParserOutOfMemory, u"XML parser: Out of memory"},
    {Msg::XmlParseError, u"XML parse error: %1 at line %2, column %3"},
    {Msg::BodyMain, u"Main"},
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
