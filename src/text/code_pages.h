#pragma once
// The code page registry: every code page the program can read and write, addressed by an index
// into the list sorted by number (the reader stores indices in its settings, so the list must
// stay stable). The five built-in pages decode through compiled-in tables, UTF-8 through Qt and
// every other page through ICU. All functions are safe to call from any thread.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

namespace lbv {

int CodePageCount();
// By any of the page's names, ignoring case; names ICU knows as aliases of a page's converter
// are accepted too ("latin1", "ISO_8859-5:1988"). -1 when no page answers to the name.
int FindCodePage(QStringView name);
// Index of a code page number, or -1.
int CodePageIndex(int number);
// The page number (1251) and its first name ("windows-1251") of an index; -1 and empty for an
// index outside the registry.
int CodePageNumber(int index);
QString CodePageName(int index);
QString CodePageDisplayName(int index);
// The 256-entry byte-to-Unicode table of a built-in page, or null for every other index.
const char16_t* CodePageTable(int index);

// Windows-1251, used wherever no code page is named.
int DefaultCodePageIndex();
// The index of DetectCodePage's answer (windows-1252 when that number is not registered).
int DetectCodePageIndex(QByteArrayView bytes);

// Decodes bytes of a code page; malformed or unassigned bytes become replacement characters. An
// index outside the registry decodes as the default code page. A UTF-8 byte-order mark at the
// start is dropped.
QString ConvertToUnicode(int index, QByteArrayView bytes);

enum class UnmappableCharacters {
    Substitute, // as "?"
    XmlReference, // as "&#1234;", for XML documents, so that nothing is lost
};
// Encodes text into a code page. False with ICU's error name in error when the page can't be
// encoded into (then bytes is left empty). No byte-order mark is written.
bool ConvertFromUnicode(int index, QStringView text, QByteArray& bytes, QString& error,
    UnmappableCharacters unmappable = UnmappableCharacters::Substitute);

// One line of the converted-file code page choice: "Cyrillic (Windows)" with "1251,windows-1251".
struct CodePageChoice {
    QString displayName;
    QString value;
};
// Every registered page, ordered by display name.
QList<CodePageChoice> CodePageChoices();

} // namespace lbv
