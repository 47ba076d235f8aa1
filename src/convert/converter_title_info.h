#pragma once
// What the converters can tell about a book from its file name and its own words: the author's
// name split into its parts, "Author - Title" file names, and the language of the text.
#include "convert/converter_fb2_builder.h"

#include <QString>
#include <QStringView>

namespace lbv {

// Splits a written name into first, middle and last name. "Last, First" is read as such; a
// patronymic (Иванович, Петровна) or initials tell "Last First Middle" from "First Middle
// Last"; otherwise the last word is the last name. One word is a nickname. Names written in
// capitals are given ordinary capitals.
Fb2Author ParseAuthorName(QStringView name);

// Whether a line could be a person's name: two to four capitalised words (initials count), and
// nothing but letters, hyphens, apostrophes and dots.
bool LooksLikePersonName(QStringView line);

// A title as a book list should show it: surrounding blanks and quotes removed, a title written
// in capitals given sentence capitals.
QString TidyTitle(QStringView line);

// The file's name without its extension, underscores read as blanks.
QString FileTitle(const QString& path);

// "Author - Title" (also with an en or em dash): true with both parts when the text has that
// form (and, when asked, the part before the dash could be a person's name); the author may be
// written "First Last", "Last First Middle" or "Last, First".
bool AuthorAndTitleFromText(
    QStringView text, bool requirePersonName, Fb2Author* author, QString* title);
// The same for the name of a file, without its extension.
bool AuthorAndTitleFromFileName(const QString& path, Fb2Author* author, QString* title);

// An ISO 639-1 code guessed from the letters of the text: "ru", "uk", "be" for Cyrillic text,
// "en", "de", "fr", "es", "pl", "cs" for Latin text; "en" when there are no letters.
QString GuessLanguage(QStringView text);

} // namespace lbv
