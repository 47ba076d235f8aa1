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
// the archive and its member: "<folders>/<name>.zip@<name>".
QString ExpandMask(const QString& mask, const QString& firstName, const QString& lastName,
    const QString& title, const QString& genre, int compression);

// Removes or replaces the characters that do not belong in a file name.
QString CleanNameForFile(const QString& text);

// Russian Cyrillic letters to Latin; every other character is copied.
QString Transliterate(const QString& text);

struct MaskPreset {
    QString mask;
    QString example; // shown to the user beside the choice
};
// The masks offered when a new library is set up, in the order shown; the first is the default.
const QList<MaskPreset>& MaskPresets();

} // namespace lbv
