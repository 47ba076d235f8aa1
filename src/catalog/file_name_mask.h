#pragma once
// The library's file-name mask: a relative path template from which a book's standard place in
// the library folder is built from its author, title and genre.
//
// Placeholders (replaced literally, case-sensitively): %f first name, %l last name, %t title,
// %g genre; %F %L %T %G the same, transliterated from Cyrillic. "\" or "/" separates folders.
#include <QList>
#include <QString>

namespace lbv {

enum Compression : int { CompressionNone = 0, CompressionZip = 1, CompressionGzip = 2 };

// The relative path without extension, folders separated by "/". In ZIP mode the result names
// the archive and its member: "<folders>/<name>.zip@<name>". Values are cleaned and inserted as
// they are; a folder or file name made only of dots gets underscores, and names are shortened to
// fit the file system (the book's name leaves room for its extensions and a clash number).
QString ExpandMask(const QString& mask, const QString& firstName, const QString& lastName,
    const QString& title, const QString& genre, int compression);

// Why a mask can't be a library's: empty when it can. A mask must stay inside the library folder
// (no ".." part and no absolute path).
QString FileNameMaskProblem(const QString& mask);

// Removes or replaces the characters that do not belong in a file name; control characters and
// line separators become spaces.
QString CleanNameForFile(const QString& text);

// The text with control characters and line separators as spaces: names and paths from books
// and archives go into single log lines and file names, where a line break would forge a line.
QString OneLineText(QString text);

// Russian Cyrillic letters to Latin; every other character is copied.
QString Transliterate(const QString& text);

struct MaskPreset {
    QString mask;
    QString example; // shown to the user beside the choice
};
// The masks offered when a new library is set up, in the order shown; the first is the default.
const QList<MaskPreset>& MaskPresets();

} // namespace lbv
