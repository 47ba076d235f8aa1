#pragma once
// Where the pictures of an HTML page come from in the FB2 book: local JPEG and PNG files and
// data: URLs are embedded as binaries (each file once), off-site images stay links unless the
// user removes them. Local files are taken only from the book's own folder, so a page can't
// carry the reader's other files into a book.
#include "convert/converter_fb2_builder.h"
#include "convert/converter_options.h"

#include <QHash>
#include <QString>

namespace lbv {

class HtmlImages {
public:
    // `rootFolder`: canonical path of the folder of the book's first page.
    HtmlImages(Fb2Builder& builder, const ConverterOptions& options, const QString& rootFolder);

    // The href an FB2 <image> gets for <img src=source> on the page at `pagePath`: "#" and a
    // binary's id, an off-site URL, or empty when the image is left out.
    QString Href(const QString& source, const QString& pagePath);

private:
    QString Embedded(const QString& source);
    QString LocalFile(const QString& path);

    Fb2Builder& builder_;
    const ConverterOptions& options_;
    const QString rootFolder_;
    QHash<QString, QString> files_; // path or data: URL -> href ("" when unusable)
};

} // namespace lbv
