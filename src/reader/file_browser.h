#pragma once
// What the reader's open-file list shows at a location: a folder on disk, or a folder inside a
// ZIP archive written as "archive.zip/folder" (the form reader paths of members take), so an
// archive is walked into like a folder and a member chosen from it.
#include "reader/document_factory.h"

#include <QString>
#include <vector>

namespace lbv {

struct BrowseEntry {
    enum class Kind { Parent, Folder, Archive, Document, Image };

    Kind kind = Kind::Document;
    QString name; // ".." for the parent
    QString path; // the location or reader path it leads to
};

// The parent first, then folders, archives and files (documents and pictures), each group by
// name ignoring case. Files of other kinds are left out: the reader can't open them. False with
// the reason when the location can't be listed.
bool ListLocation(const QString& location, const BookSourceOptions& options,
    std::vector<BrowseEntry>* entries, QString* error);

// The location one level up (an archive's top goes to the archive's folder); empty at the root.
QString ParentLocation(const QString& location);

// The stored location when it still lists, else its nearest listable ancestor, else the home
// folder: a folder or archive removed since leaves the user close to where they were.
QString ListableLocation(const QString& stored, const BookSourceOptions& options);

} // namespace lbv
