#pragma once
// The shelf's search, run the way the search box runs it, for the commands that list books.
#include "shelf/genre_dictionary.h"

#include <QString>
#include <vector>

namespace lbv {
class CBook;
class CLibravonDoc;
} // namespace lbv

namespace lbv::cli {

// The genre titles of the program's "genre-dict.xml" (see ProgramFilePath), in the language of the setting
// GenreLang ("en" by default); only codes when the file is missing.
const GenreDictionary& CliGenres();

// The books whose author, title or genre title contains `text` (case-insensitively), in shelf
// order; every book for a text of up to two characters.
std::vector<CBook*> FindBooks(CLibravonDoc& catalog, const QString& text);

} // namespace lbv::cli
