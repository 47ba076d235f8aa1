#pragma once
// The reader's own walk over a ZIP archive's local file headers: the members that can be read
// (stored or deflated), arranged as a tree of folders.
#include "reader/byte_source.h"

#include <QString>
#include <memory>
#include <vector>

namespace lbv {

struct ZipMember {
    QString name; // the last path part
    int64_t dataOffset = 0;
    int64_t compressedSize = -1; // -1 for a stored member
    int64_t size = 0;
};

struct ZipFolder {
    QString name;
    std::vector<ZipFolder> folders;
    std::vector<ZipMember> members;

    const ZipFolder* Folder(const QString& name) const;
    const ZipMember* Member(const QString& name) const;
};

class ZipDirectory {
public:
    // Scans the archive from its first local header (past the stub of a self-extracting
    // archive). Null with "Invalid or unsupported ZIP file" when a header is short, broken or
    // claims data past the end of the archive. Names carrying the UTF-8 flag are UTF-8; others
    // are read in zipEncoding (a code page name) when set, else as UTF-8 when valid, else as
    // CP866; then normalised (NormalizedMemberName), the first of a repeated name kept.
    static std::unique_ptr<ZipDirectory> Scan(
        ByteSource& archive, const QString& zipEncoding, QString& error);

    const ZipFolder& Root() const { return root_; }
    // A member by its path inside the archive ("folder/book.fb2", or with "\\"); null when
    // absent.
    const ZipMember* Find(const QString& memberPath) const;
    int MemberCount() const { return count_; }

private:
    ZipFolder root_;
    int count_ = 0;
};

} // namespace lbv
