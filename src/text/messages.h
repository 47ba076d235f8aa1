#pragma once
// The program's numbered user-visible texts. Code names a text by its id and never retypes the
// words; printf-style placeholders of the original texts are kept as %1, %2, ... for QString::arg.
#include <QString>

namespace lbv {

enum class Msg : int {
    Error = 220,
    CantCreateExporter = 231,
    BookNotFb2 = 232,
    ExportBookCaption = 233,
    CantCreateExportTempFile = 234,
    ExportDone = 235,
    FatalFileNotFound = 236,
    CantInitializeOle = 237,
    TabShelf = 238,
    TabReader = 239,
    TabImport = 240,
    TabOptions = 241,
    TabMaintenance = 242,
    CantOpenIndex = 243,
    OpenIndexFilter = 244,
    SaveIndexFilter = 245,
    IndexModifiedSave = 246,
    NewShelfTitle = 247,
    InvalidIndexName = 248,
    GroupNameEmpty = 309,
    GroupExists = 310,
    MaskHintPlaceholders = 5001,
    MaskHintTransliteration = 5002,
    DictionaryDisabled = 5660,
    CantOpenDictionary = 5661,
    InvalidDictionaryFile = 5662,
    ReaderFileNotFound = 5663,
    ReaderIoError = 5664,
};

QString MessageText(Msg id);

} // namespace lbv
