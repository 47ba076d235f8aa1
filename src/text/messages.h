#pragma once
// The program's numbered user-visible texts. Code names a text by its id and never retypes the
// words; printf-style placeholders of the original texts are kept as %1, %2, ... for QString::arg.
#include <QString>

namespace lbv {

enum class Msg : int {
    Error = 220,
    FatalFileNotFound = 236,
    CantInitializeOle = 237,
    TabShelf = 238,
    TabReader = 239,
    TabImport = 240,
    TabOptions = 241,
    TabMaintenance = 242,
    CantOpenIndex = 243,
    CantOpenFile = CantOpenIndex, // the same words serve book files
    OpenIndexFilter = 244,
    SaveIndexFilter = 245,
    IndexModifiedSave = 246,
    NewShelfTitle = 247,
    InvalidIndexName = 248,
    IndexCantOpenForLoad = 249,
    ImportDateMigration = 253,
    CantCreateDirectoryFor = 254,
    CantOpenForWriting = 255,
    EmptyFile = 256,
    CantReadFile = 257,
    NotAZipFile = 258,
    CantReadFileInsideZip = 259,
    Fb2NoAuthorName = 260,
    Fb2NoBookTitle = 261,
    LooksLikeBrokenFb2 = 262,
    CantDetectFileType = 263,
    GzipNotSupported = 264,
    BadZipMemberPath = 265,
    CantCreateTempFile = 267,
    NotAnXmlFile = 268,
    CantCreateTempFolder = 269,
    TooManyTempFiles = 270,
    ErrorPrefix = 271,
    WarningPrefix = 272,
    FileAlreadyExists = 273,
    CantCreateFolderFor = 274,
    CantEncodeText = 275,
    CantCreateFile = 276,
    UnsupportedImportType = 277,
    NewFilter = 291,
    GenreLanguageNotFound = 297,
    GenreDictionaryLoadError = 298,
    NoFilter = 299,
    CreateFilter = 300,
    GroupNameEmpty = 309,
    GroupExists = 310,
    FilterNotFound = 311,
    MaskHintPlaceholders = 5001,
    MaskHintTransliteration = 5002,
    ReaderFileNotFound = 6201,
    ReaderFileIoError = 6202,
    DictionaryDisabled = 6601,
    CantOpenDictionary = 6602,
    InvalidDictionaryFile = 6603,
};

QString MessageText(Msg id);

} // namespace lbv
