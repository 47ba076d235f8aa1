#include "catalog/member_path.h"

#include <QFileInfo>

namespace lbv {
namespace {

// The first "@" (past position 0) for which `accept(position)` holds, or -1.
template<typename Accept> qsizetype FirstCut(const QString& path, Accept accept)
{
    for (qsizetype at = path.indexOf(u'@', 1); at > 0; at = path.indexOf(u'@', at + 1))
        if (accept(at))
            return at;
    return -1;
}

} // namespace

bool SplitMemberPath(const QString& path, QString* archive, QString* member)
{
    qsizetype at = path.indexOf(u'@', 1);
    if (at < 0) {
        *archive = path;
        member->clear();
        return false;
    }
    // With a single "@" there is no choice to make, and nothing to look up on disk.
    if (path.indexOf(u'@', at + 1) > 0) {
        const auto afterZip = [&](qsizetype cut) {
            return QStringView(path).left(cut).endsWith(u".zip", Qt::CaseInsensitive);
        };
        const auto afterFile = [&](qsizetype cut) { return QFileInfo(path.left(cut)).isFile(); };
        qsizetype cut = FirstCut(path, [&](qsizetype c) { return afterZip(c) && afterFile(c); });
        if (cut < 0)
            cut = FirstCut(path, afterFile);
        if (cut < 0)
            cut = FirstCut(path, afterZip);
        if (cut > 0)
            at = cut;
    }
    *archive = path.left(at);
    *member = path.mid(at + 1);
    return true;
}

QString CombinedMemberPath(const QString& archive, const QString& member)
{
    return archive + u'@' + member;
}

bool IsStorablePath(const QString& path)
{
    for (const QChar c : path)
        if (c.unicode() < 0x20 || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
            return false;
    return true;
}

} // namespace lbv
