#include "convert/html_to_fb2_images.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace lbv {

namespace {

constexpr qint64 kMaxImageBytes = 16 * 1024 * 1024;

const char* SniffImageType(const QByteArray& data)
{
    if (data.startsWith("\x89PNG\r\n\x1A\n"))
        return "image/png";
    if (data.startsWith("\xFF\xD8\xFF"))
        return "image/jpeg";
    return nullptr; // the reader shows only JPEG and PNG
}

} // namespace

HtmlImages::HtmlImages(
    Fb2Builder& builder, const ConverterOptions& options, const QString& rootFolder)
    : builder_(builder)
    , options_(options)
    , rootFolder_(rootFolder)
{
}

QString HtmlImages::Href(const QString& source, const QString& pagePath)
{
    if (source.isEmpty() || options_.removeAllImages)
        return {};
    if (source.startsWith(u"data:", Qt::CaseInsensitive)) {
        // The same picture repeated is one binary.
        const auto known = files_.constFind(source);
        return known != files_.constEnd() ? *known : *files_.insert(source, Embedded(source));
    }
    const QUrl url(source, QUrl::TolerantMode);
    if (source.startsWith(u"//"))
        return options_.removeOffSiteImages ? QString() : u"http:" + source;
    if (!url.scheme().isEmpty() && !url.isLocalFile())
        return options_.removeOffSiteImages ? QString() : source;
    const QString path = url.isLocalFile() ? url.toLocalFile() : url.path();
    if (path.isEmpty())
        return {};
    return LocalFile(QFileInfo(QFileInfo(pagePath).dir(), path).absoluteFilePath());
}

// data:image/png;base64,....
QString HtmlImages::Embedded(const QString& source)
{
    const qsizetype comma = source.indexOf(u',');
    if (comma < 0 || !QStringView(source).left(comma).contains(u";base64", Qt::CaseInsensitive))
        return {};
    const QByteArray data = QByteArray::fromBase64(QStringView(source).mid(comma + 1).toLatin1());
    const char* type = SniffImageType(data);
    return type ? u'#' + builder_.AddBinary(u"image", type, data) : QString();
}

QString HtmlImages::LocalFile(const QString& path)
{
    const auto known = files_.constFind(path);
    if (known != files_.constEnd())
        return *known;
    QString href;
    const QFileInfo info(path);
    // The canonical path resolves ".." and symbolic links that would lead out of the folder.
    const QString canonical = info.canonicalFilePath();
    QFile file(canonical);
    if (!canonical.isEmpty() && canonical.startsWith(rootFolder_ + u'/') && info.isFile()
        && info.size() <= kMaxImageBytes && file.open(QIODevice::ReadOnly)) {
        const QByteArray data = file.readAll();
        if (const char* type = SniffImageType(data))
            href = u'#' + builder_.AddBinary(info.fileName(), type, data);
    }
    files_.insert(path, href);
    return href;
}

} // namespace lbv
