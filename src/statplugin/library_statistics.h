#pragma once
// The statistics the plug-in reports: authors and books of an index document, and which book
// files are present in the library folder.
#include <QString>
#include <libxml/tree.h>

namespace lbv {

struct LibraryStatistics {
    quint32 authors = 0;
    quint32 books = 0;
    quint32 booksOnline = 0;
    quint32 booksOffline = 0;
    qint64 onlineBytes = 0; // an archive counts whole, once per book stored in it
};

// Walks the index once; a book without a stored path is looked for at its standard place below
// `libraryFolder`. False with `error` set when the index lacks its options or a book lacks its
// title or genre.
bool CollectStatistics(
    const xmlDoc* index, const QString& libraryFolder, LibraryStatistics* statistics,
    QString* error);

// The report shown to the user.
QString StatisticsText(const LibraryStatistics& statistics);

} // namespace lbv
