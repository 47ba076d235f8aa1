#pragma once
// The user's extra book-list columns: each names a value inside an FB2 header by XPath. The
// header reader captures the values into each book's extra fields; the book list shows them.
//
// Definitions come from "extras.dat" beside the program (else in its installed data folder):
// one "name = xpath" per line; lines starting with a blank, a tab or "#" and lines without "="
// are skipped. Without such a file the four built-in columns apply.
#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

namespace lbv {

struct ExtraColumn {
    QString name; // never empty
    // An XPath from the document; one ending in "@" and a name (".../fb:sequence@name") reads
    // that attribute of the element the part before the "@" selects.
    QString xpath;
};
using ExtraColumnList = QList<ExtraColumn>;

// Language, source language, sequence name and number of the title-info.
ExtraColumnList BuiltInExtraColumns();
// The definitions in the text of an extras.dat file (UTF-8).
ExtraColumnList ParseExtraColumns(const QByteArray& text);
// The definitions of a file; nothing when it cannot be read.
std::optional<ExtraColumnList> LoadExtraColumns(const QString& path);
// Where the program looks for extras.dat: beside the executable, then in ../share/libravon.
QString ExtraColumnsPath();

// The process-wide definitions, read on first use. Thread-safe; a caller keeps the list it got
// alive for as long as it needs it.
std::shared_ptr<const ExtraColumnList> ExtraColumns();
// Replaces the process-wide definitions (tests, a reload after extras.dat changed).
void InstallExtraColumns(ExtraColumnList columns);

} // namespace lbv
