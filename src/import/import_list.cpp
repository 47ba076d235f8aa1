#include "import/import_list.h"

#include "import/import_source.h"

#include <QTime>

namespace lbv {
namespace {

constexpr qint64 kSmallSize = 5120;
constexpr qint64 kMediumSize = 102400;

// The file (or archive) part and the member name of a header's path.
struct PathParts {
    QString file;
    QString member;
};

PathParts PartsOf(const CBookHeader& header)
{
    PathParts parts;
    if (header.compression == CompressionZip)
        SplitMemberPath(header.file, &parts.file, &parts.member);
    else
        parts.file = header.file;
    return parts;
}

// The last path component of a file, or the whole member name (which keeps its folders).
QString NamePart(const PathParts& parts)
{
    if (!parts.member.isEmpty())
        return parts.member;
    return parts.file.mid(parts.file.lastIndexOf(u'/') + 1);
}

qsizetype ExtensionStart(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype slash = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
    return dot > slash ? dot : name.size();
}

void TakeHeaders(CImportSource& source, ImportList& list, int* added)
{
    for (auto& header : source.headers) {
        list.AddHeader(std::move(header));
        ++*added;
    }
    source.headers.clear();
    for (auto& child : source.children)
        TakeHeaders(*child, list, added);
    source.children.clear();
}

} // namespace

QString RowDirectory(const CBookHeader& header)
{
    const PathParts parts = PartsOf(header);
    if (!parts.member.isEmpty())
        return parts.file;
    const qsizetype slash = parts.file.lastIndexOf(u'/');
    return slash < 0 ? QString() : parts.file.left(std::max<qsizetype>(slash, 1));
}

QString RowFileName(const CBookHeader& header)
{
    const QString name = NamePart(PartsOf(header));
    return name.left(ExtensionStart(name));
}

QString RowExtension(const CBookHeader& header)
{
    const QString name = NamePart(PartsOf(header));
    return name.mid(ExtensionStart(name));
}

QString RowSizeText(qint64 bytes)
{
    if (bytes <= kSmallSize)
        return QString::number(bytes);
    return QString::number(bytes / 1024) + u'K';
}

int RowSizeClass(qint64 bytes)
{
    return bytes <= kSmallSize ? 0 : bytes <= kMediumSize ? 1 : 2;
}

int ImportList::AddSource(CImportSource& source)
{
    int added = 0;
    TakeHeaders(source, *this, &added);
    return added;
}

void ImportList::AddHeader(std::unique_ptr<CBookHeader> header)
{
    // The parsed prefix is not needed any more, and a list of 100,000 rows would otherwise hold
    // several kilobytes of it per row.
    header->headerText.clear();
    header->headerText.squeeze();
    std::lock_guard lock(mutex_);
    rows_.push_back({std::move(header)});
}

qsizetype ImportList::TakeRows(ImportList& other)
{
    if (&other == this)
        return 0;
    std::scoped_lock lock(mutex_, other.mutex_);
    const qsizetype taken = qsizetype(other.rows_.size());
    rows_.insert(rows_.end(), std::make_move_iterator(other.rows_.begin()),
        std::make_move_iterator(other.rows_.end()));
    other.rows_.clear();
    return taken;
}

qsizetype ImportList::Count() const
{
    std::lock_guard lock(mutex_);
    return qsizetype(rows_.size());
}

ImportRowView ImportList::Row(qsizetype index) const
{
    std::lock_guard lock(mutex_);
    const Entry* row = Find(index);
    if (!row)
        return {};
    const CBookHeader& header = *row->header;
    return {RowDirectory(header), RowFileName(header), RowExtension(header),
        RowSizeText(header.fileSize), RowSizeClass(header.fileSize), row->checked, row->status,
        row->time};
}

ImportList::Entry* ImportList::Find(qsizetype index)
{
    return index >= 0 && std::size_t(index) < rows_.size() ? &rows_[std::size_t(index)] : nullptr;
}

const ImportList::Entry* ImportList::Find(qsizetype index) const
{
    return index >= 0 && std::size_t(index) < rows_.size() ? &rows_[std::size_t(index)] : nullptr;
}

bool ImportList::IsChecked(qsizetype index) const
{
    std::lock_guard lock(mutex_);
    const Entry* row = Find(index);
    return row && row->checked;
}

bool ImportList::SetChecked(qsizetype index, bool checked)
{
    std::lock_guard lock(mutex_);
    Entry* row = Find(index);
    if (!row)
        return false;
    row->checked = checked;
    return true;
}

std::optional<CBookHeader> ImportList::HeaderCopy(qsizetype index) const
{
    std::lock_guard lock(mutex_);
    const Entry* row = Find(index);
    if (!row)
        return std::nullopt;
    return *row->header;
}

void ImportList::SetStatus(qsizetype index, const QString& status)
{
    const QString time = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    std::lock_guard lock(mutex_);
    if (Entry* row = Find(index)) {
        row->status = status;
        row->time = time;
    }
}

void ImportList::SetRunActive(bool active)
{
    std::lock_guard lock(mutex_);
    runActive_ = active;
}

bool ImportList::IsRunActive() const
{
    std::lock_guard lock(mutex_);
    return runActive_;
}

qsizetype ImportList::RemoveUnchecked()
{
    std::lock_guard lock(mutex_);
    const auto kept = std::stable_partition(
        rows_.begin(), rows_.end(), [](const Entry& row) { return row.checked; });
    const qsizetype removed = qsizetype(rows_.end() - kept);
    rows_.erase(kept, rows_.end());
    return removed;
}

bool ImportList::RemoveRow(qsizetype index)
{
    std::lock_guard lock(mutex_);
    if (runActive_ || !Find(index))
        return false;
    rows_.erase(rows_.begin() + index);
    return true;
}

bool ImportList::Clear()
{
    std::lock_guard lock(mutex_);
    if (runActive_)
        return false;
    rows_.clear();
    return true;
}

} // namespace lbv
