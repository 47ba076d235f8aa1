#include "catalog/libravon_doc.h"

#include "catalog/file_name_mask.h"
#include "text/messages.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>

namespace lbv {
namespace {

QString NameKey(const QString& firstName, const QString& lastName)
{
    return lastName + QChar(0x1F) + firstName;
}

bool AuthorLess(const std::unique_ptr<CAuthor>& a, const std::unique_ptr<CAuthor>& b)
{
    return a->sortKey < b->sortKey;
}

} // namespace

CLibravonDoc::CLibravonDoc() = default;
CLibravonDoc::~CLibravonDoc() = default;

void CLibravonDoc::SetModified(bool flag)
{
    modified_ = flag;
}

void CLibravonDoc::Changed()
{
    modified_ = true;
    ++generation_;
}

void CLibravonDoc::RecordsChanged()
{
    ++generation_;
    authorIndexValid_ = false;
    for (const auto& author : authors_)
        author->ForgetTitles();
}

const std::vector<std::unique_ptr<CAuthor>>& CLibravonDoc::Authors() const
{
    MergePendingAuthors();
    return authors_;
}

qsizetype CLibravonDoc::IndexOf(const CAuthor* author) const
{
    const auto& authors = Authors();
    for (std::size_t i = 0; i < authors.size(); ++i)
        if (authors[i].get() == author)
            return qsizetype(i);
    return -1;
}

void CLibravonDoc::MergePendingAuthors() const
{
    if (sortedCount_ == authors_.size())
        return;
    const auto middle = authors_.begin() + std::ptrdiff_t(sortedCount_);
    std::sort(middle, authors_.end(), AuthorLess);
    std::inplace_merge(authors_.begin(), middle, authors_.end(), AuthorLess);
    sortedCount_ = authors_.size();
}

void CLibravonDoc::ReplaceAuthors(std::vector<std::unique_ptr<CAuthor>> authors)
{
    authors_ = std::move(authors);
    SortAuthors();
    authorsByName_.clear();
    authorIndexValid_ = false; // rebuilt by the first lookup
    ++generation_;
}

void CLibravonDoc::SortAuthors()
{
    std::sort(authors_.begin(), authors_.end(), AuthorLess);
    sortedCount_ = authors_.size();
}

bool CLibravonDoc::New()
{
    authors_.clear();
    sortedCount_ = 0;
    authorsByName_.clear();
    authorIndexValid_ = true;
    path = QStringLiteral("untitled");
    ++generation_;
    modified_ = false; // a fresh library has nothing to save yet
    return true;
}

void CLibravonDoc::IndexAuthor(CAuthor* author) const
{
    authorsByName_[NameKey(author->firstName, author->lastName)].append(author);
}

void CLibravonDoc::RebuildAuthorIndex() const
{
    authorsByName_.clear();
    for (const auto& author : authors_)
        IndexAuthor(author.get());
    authorIndexValid_ = true;
}

CAuthor* CLibravonDoc::AppendAuthor(const QString& firstName, const QString& lastName)
{
    authors_.push_back(std::make_unique<CAuthor>(firstName, lastName));
    CAuthor* author = authors_.back().get();
    if (authorIndexValid_)
        IndexAuthor(author);
    Changed();
    return author;
}

std::unique_ptr<CAuthor> CLibravonDoc::TakeAuthor(qsizetype index)
{
    MergePendingAuthors();
    std::unique_ptr<CAuthor> author = std::move(authors_[std::size_t(index)]);
    authors_.erase(authors_.begin() + index);
    sortedCount_ = authors_.size();
    if (authorIndexValid_) {
        const QString key = NameKey(author->firstName, author->lastName);
        auto it = authorsByName_.find(key);
        if (it != authorsByName_.end()) {
            it->removeOne(author.get());
            if (it->isEmpty())
                authorsByName_.erase(it);
        }
    }
    return author;
}

QList<CAuthor*> CLibravonDoc::AuthorsNamed(const QString& firstName, const QString& lastName) const
{
    if (!authorIndexValid_)
        RebuildAuthorIndex();
    QList<CAuthor*> found = authorsByName_.value(NameKey(firstName, lastName));
    // Several authors with the same names come only from a loaded index: keep catalog order.
    if (found.size() > 1) {
        std::sort(found.begin(), found.end(),
            [this](CAuthor* a, CAuthor* b) { return IndexOf(a) < IndexOf(b); });
    }
    return found;
}

CAuthor* CLibravonDoc::FindAuthor(const QString& firstName, const QString& lastName) const
{
    const QList<CAuthor*> found = AuthorsNamed(firstName, lastName);
    return found.isEmpty() ? nullptr : found.first();
}

CBook* CLibravonDoc::FindBook(const BookDescription& header) const
{
    return FindBook(header, AuthorsNamed(header.firstName, header.lastName));
}

CBook* CLibravonDoc::FindBook(const BookDescription& header, const QList<CAuthor*>& named) const
{
    for (CAuthor* author : named)
        if (CBook* book = author->FindTitle(header.title))
            return book;
    return nullptr;
}

QString CLibravonDoc::IndexFolder() const
{
    const qsizetype cut
        = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\'))) + 1;
    return path.left(cut);
}

bool CLibravonDoc::IndexWritable() const
{
    if (IndexFolder().isEmpty())
        return true;
    const QFileInfo file(path);
    if (file.exists())
        return file.isFile() && file.isWritable() && QFileInfo(file.absolutePath()).isWritable();
    // Save makes the missing folders: the nearest one there must take them.
    QFileInfo folder(file.absolutePath());
    while (!folder.exists() && folder.absolutePath() != folder.absoluteFilePath())
        folder.setFile(folder.absolutePath());
    return folder.isDir() && folder.isWritable();
}

QString CLibravonDoc::StandardFileName(const QString& firstName, const QString& lastName,
    const QString& title, const QString& genre, int format, int compression) const
{
    return IndexFolder() + ExpandMask(fileNameMask, firstName, lastName, title, genre, compression)
        + FormatExtension(format);
}

bool CLibravonDoc::AddBook(const BookDescription& header, bool replace)
{
    const QList<CAuthor*> named = AuthorsNamed(header.firstName, header.lastName);
    if (CBook* existing = FindBook(header, named)) {
        if (replace) {
            existing->title = header.title;
            if (header.year != 0)
                existing->year = header.year;
            existing->file = header.file;
            existing->format = header.format;
            if (!header.genre.isEmpty())
                existing->genre = header.genre;
            existing->compression = header.compression;
            if (!header.extras.isEmpty())
                existing->extras = header.extras;
            Changed();
            return true;
        }
        bool changed = false;
        if (existing->year == 0 && header.year != 0) {
            existing->year = header.year;
            changed = true;
        }
        const QString standard = StandardFileName(header.firstName, header.lastName, header.title,
            header.genre, header.format, compressFiles ? CompressionZip : CompressionNone);
        if (SameLibraryPath(header.file, standard) && !SameLibraryPath(header.file, existing->file)) {
            existing->file = header.file;
            existing->format = header.format;
            existing->compression = header.compression;
            changed = true;
        }
        if (!header.genre.isEmpty() && existing->genre.isEmpty()) {
            existing->genre = header.genre;
            changed = true;
        }
        if (changed)
            Changed();
        return changed;
    }

    CAuthor* author = named.isEmpty() ? nullptr : named.first();
    if (!author) {
        // Appended unsorted; Authors() merges new authors into place on the next read.
        author = AppendAuthor(header.firstName, header.lastName);
    }
    CGroup* group = author->FindGroup(kDefaultGroupName);
    if (!group)
        group = author->AppendGroup(kDefaultGroupName);
    auto book = std::make_unique<CBook>();
    book->title = header.title;
    book->year = header.year;
    book->file = header.file;
    book->format = header.format;
    book->genre = header.genre;
    book->compression = header.compression;
    book->extras = header.extras;
    book->added = QDateTime::currentSecsSinceEpoch();
    group->AppendBook(std::move(book));
    Changed();
    return true;
}

bool CLibravonDoc::RemoveAuthor(CAuthor* author)
{
    const qsizetype index = IndexOf(author);
    if (index < 0)
        return false;
    TakeAuthor(index); // the returned owner deletes the author with its groups and books
    Changed();
    return true;
}

bool CLibravonDoc::RemoveGroup(CGroup* group, bool* authorRemoved)
{
    if (authorRemoved)
        *authorRemoved = false;
    CAuthor* author = group->author;
    const qsizetype index = author->IndexOf(group);
    if (index < 0)
        return false;
    if (author->groups_.size() == 1) {
        if (authorRemoved)
            *authorRemoved = true;
        return RemoveAuthor(author);
    }
    author->groups_.erase(author->groups_.begin() + index);
    author->ForgetTitles();
    Changed();
    return true;
}

bool CLibravonDoc::RemoveBook(CBook* book, bool* groupRemoved, bool* authorRemoved)
{
    if (groupRemoved)
        *groupRemoved = false;
    if (authorRemoved)
        *authorRemoved = false;
    CGroup* group = book->group;
    const qsizetype index = group ? group->IndexOf(book) : -1;
    if (index < 0)
        return false;
    if (group->books_.size() == 1) {
        if (groupRemoved)
            *groupRemoved = true;
        return RemoveGroup(group, authorRemoved);
    }
    group->TakeBook(index);
    Changed();
    return true;
}

bool CLibravonDoc::RemoveGroupKeepingBooks(CGroup* group, bool* authorRemoved)
{
    if (authorRemoved)
        *authorRemoved = false;
    CAuthor* author = group->author;
    if (author->IndexOf(group) < 0)
        return false;
    if (group->name != kDefaultGroupName) {
        CGroup* target = author->FindGroup(kDefaultGroupName);
        if (!target)
            target = author->AppendGroup(kDefaultGroupName);
        while (!group->books_.empty())
            target->InsertBook(qsizetype(target->books_.size()),
                group->TakeBook(qsizetype(group->books_.size()) - 1));
        Changed();
    }
    return RemoveGroup(group, authorRemoved);
}

bool CLibravonDoc::MoveBookToGroup(CBook* book, CGroup* target)
{
    CGroup* source = book->group;
    if (!source || !target || source == target || source->author != target->author)
        return false;
    const qsizetype index = source->IndexOf(book);
    if (index < 0)
        return false;
    target->InsertBook(qsizetype(target->books_.size()), source->TakeBook(index));
    Changed();
    return true;
}

bool CLibravonDoc::MoveBookBefore(CBook* book, CBook* other)
{
    if (!book || !other || book == other || !book->group || book->group != other->group)
        return false;
    CGroup* group = book->group;
    const qsizetype from = group->IndexOf(book);
    const qsizetype to = group->IndexOf(other);
    if (from < 0 || to < 0)
        return false;
    group->InsertBook(to, group->TakeBook(from));
    Changed();
    return true;
}

bool CLibravonDoc::SortGroupByTitle(CGroup* group)
{
    if (!group || group->author->IndexOf(group) < 0)
        return false;
    std::stable_sort(group->books_.begin(), group->books_.end(),
        [](const std::unique_ptr<CBook>& a, const std::unique_ptr<CBook>& b) {
            return QString::compare(a->title, b->title, Qt::CaseInsensitive) < 0;
        });
    group->author->ForgetTitles();
    Changed();
    return true;
}

QString CLibravonDoc::CheckGroupName(const CAuthor& author, const QString& name, QString* error)
{
    const QString trimmed = name.trimmed();
    QString problem;
    if (trimmed.isEmpty())
        problem = MessageText(Msg::GroupNameEmpty);
    else if (author.FindGroup(trimmed))
        problem = MessageText(Msg::GroupExists);
    if (problem.isEmpty())
        return trimmed;
    if (error)
        *error = problem;
    return {};
}

CGroup* CLibravonDoc::CreateGroup(CAuthor* author, const QString& name, QString* error)
{
    const QString checked = CheckGroupName(*author, name, error);
    if (checked.isEmpty())
        return nullptr;
    CGroup* group = author->AppendGroup(checked);
    Changed();
    return group;
}

bool CLibravonDoc::RenameGroup(CGroup* group, const QString& name, QString* error)
{
    const QString checked = CheckGroupName(*group->author, name, error);
    if (checked.isEmpty())
        return false;
    group->name = checked;
    Changed();
    return true;
}

} // namespace lbv
