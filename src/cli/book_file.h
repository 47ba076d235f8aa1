#pragma once
// A book as the reader opens it: a plain file as it is; a library book inside a ZIP archive
// ("archive@member", or an archive whose first member is taken) through a temporary copy that
// lives as long as this object.
#include <QString>

namespace lbv::cli {

class BookFile {
public:
    BookFile() = default;
    ~BookFile();
    BookFile(const BookFile&) = delete;
    BookFile& operator=(const BookFile&) = delete;

    // False with the reason when the archive or its member can't be read.
    bool Open(const QString& path, QString* error);
    // The file to hand to the reader.
    const QString& Path() const { return path_; }

private:
    QString path_;
    QString tempFile_;
};

} // namespace lbv::cli
