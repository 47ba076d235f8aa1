#pragma once
// What an import run does and the user's import options, read once when a run starts.
#include <QString>

namespace lbv {

class SettingsStore;

// The Import page's "Operation:" choices, in the order shown.
enum class ImportOperation : int {
    Standard = 0, // convert when needed, copy to the standard place, catalogue
    JustConvert = 1, // convert into the converted files folder; nothing is catalogued
    InPlace = 2, // catalogue books where they are; nothing is copied or converted
};

// "When book already in index:" (setting ExistingBookAction).
enum class ExistingBookAction : int { Ask = 0, Replace = 1, Skip = 2 };

struct ImportOptions {
    ExistingBookAction existingBookAction = ExistingBookAction::Ask;
    QString defaultGenre = QStringLiteral("SF");
    QString convertedFilesDir;
    QString failedFilesDir;
    bool copyFailedFiles = false;
    QString logFilesDir; // log files are written only when set and writeLogs is on
    bool writeLogs = false;
    QString renameBookMask = QStringLiteral("%l %f\\%f %l. %t");
    bool useZipCompression = true;
    QString bookCharset = QStringLiteral("1251,windows-1251");
};

// Sections "Settings" and "ImportView" as the Options page leaves them. An ExistingBookAction
// outside 0..2 counts as 0 (ask).
ImportOptions ReadImportOptions(SettingsStore& settings);

// What "Rename converted book mask:" makes of the example book (Ивар Кессель, "Прелюдия к
// основанию", genre sf): the folder, the expanded mask, then ".zip" or ".fb2". Empty for an
// empty mask, which the conversion refuses.
QString RenameMaskExample(const QString& folder, const QString& mask, bool useZipCompression);

// The operation's text on the Import page.
QString OperationText(ImportOperation operation);

} // namespace lbv
