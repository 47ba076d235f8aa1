#include "catalog/catalog_records.h"

#include "catalog/libravon_doc.h"
#include "catalog/member_path.h"

#include <ctime>

namespace lbv {

QString FormatExtension(int format)
{
    switch (format) {
    case FormatFb2:
        return QStringLiteral(".fb2");
    case FormatLit:
        return QStringLiteral(".lit");
    case FormatTxt:
        return QStringLiteral(".txt");
    case FormatPdb:
        return QStringLiteral(".pdb");
    case FormatHtml:
        return QStringLiteral(".html");
    default:
        return {};
    }
}

bool SameLibraryPath(const QString& a, const QString& b)
{
    QString x = a.toLower();
    QString y = b.toLower();
    x.replace(QLatin1Char('/'), QLatin1Char('\\'));
    y.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return x == y;
}

qint64 NoDateSentinel()
{
    std::tm tm {};
    tm.tm_year = 90;
    tm.tm_mon = 0;
    tm.tm_mday = 1;
    tm.tm_isdst = -1;
    return qint64(std::mktime(&tm));
}

CAuthor* CBook::Author() const
{
    return group ? group->author : nullptr;
}

QString CBook::DefaultFileName(const CLibravonDoc& catalog) const
{
    const CAuthor* author = Author();
    return catalog.StandardFileName(author ? author->firstName : QString(),
        author ? author->lastName : QString(), title, genre, format, compression);
}

bool CBook::IsAtStandardPlace(const CLibravonDoc& catalog) const
{
    // No stored path means the standard one, as everywhere else the path is used.
    return file.isEmpty() || SameLibraryPath(file, DefaultFileName(catalog));
}

QString StoredFileOnDisk(const QString& path, int compression)
{
    // Only an archive member is cut: a plain book may lie in a folder named "user@host".
    QString archive = path;
    QString member;
    if (compression == CompressionZip)
        SplitMemberPath(path, &archive, &member);
    return archive;
}

QString CBook::StoredFilePath() const
{
    return StoredFileOnDisk(file, compression);
}

qsizetype CGroup::IndexOf(const CBook* book) const
{
    for (std::size_t i = 0; i < books_.size(); ++i)
        if (books_[i].get() == book)
            return qsizetype(i);
    return -1;
}

CBook* CGroup::AppendBook(std::unique_ptr<CBook> book)
{
    book->group = this;
    CBook* raw = book.get();
    books_.push_back(std::move(book));
    author->NoteBookAppended(raw);
    return raw;
}

std::unique_ptr<CBook> CGroup::TakeBook(qsizetype index)
{
    std::unique_ptr<CBook> book = std::move(books_[std::size_t(index)]);
    books_.erase(books_.begin() + index);
    author->ForgetTitles();
    return book;
}

void CGroup::InsertBook(qsizetype index, std::unique_ptr<CBook> book)
{
    book->group = this;
    books_.insert(books_.begin() + index, std::move(book));
    author->ForgetTitles();
}

CGroup* CAuthor::FindGroup(const QString& name) const
{
    for (const auto& group : groups_)
        if (group->name == name)
            return group.get();
    return nullptr;
}

qsizetype CAuthor::IndexOf(const CGroup* group) const
{
    for (std::size_t i = 0; i < groups_.size(); ++i)
        if (groups_[i].get() == group)
            return qsizetype(i);
    return -1;
}

qsizetype CAuthor::BookCount() const
{
    qsizetype count = 0;
    for (const auto& group : groups_)
        count += qsizetype(group->Books().size());
    return count;
}

CGroup* CAuthor::AppendGroup(const QString& name)
{
    groups_.push_back(std::make_unique<CGroup>(this, name));
    // A new group comes last and is empty, so the title lookup stays valid.
    return groups_.back().get();
}

CBook* CAuthor::FindTitle(const QString& title)
{
    if (!titlesValid_) {
        titles_.clear();
        for (const auto& group : groups_)
            for (const auto& book : group->Books())
                if (!titles_.contains(book->title))
                    titles_.insert(book->title, book.get());
        titlesValid_ = true;
    }
    return titles_.value(title, nullptr);
}

void CAuthor::NoteBookAppended(CBook* book)
{
    if (!titlesValid_)
        return;
    // A book appended to an earlier group than the current holder of its title would become
    // the first match, so only an unused title can be recorded without a rebuild.
    if (titles_.contains(book->title))
        titlesValid_ = false;
    else
        titles_.insert(book->title, book);
}

} // namespace lbv
