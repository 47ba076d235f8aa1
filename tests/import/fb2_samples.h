#pragma once
// FB2 texts for the import tests, built from parts so each test shows only what it varies.
#include "text/code_pages.h"

#include <QByteArray>
#include <QString>

namespace lbv::test {

inline const QString kUtf8Declaration
    = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n");

inline QString StandardTitleInfo()
{
    return QStringLiteral("<genre>sf</genre><author><first-name>Ivar</first-name>"
                          "<last-name>Kessel</last-name></author>"
                          "<book-title>Foundation</book-title><date>1951</date><lang>en</lang>");
}

// A whole book: the declaration (may be empty), the FictionBook root with the given title-info
// content, and a short body.
inline QString Fb2Text(const QString& declaration, const QString& titleInfo = StandardTitleInfo(),
    const QString& body = QStringLiteral("<body><section><p>Text.</p></section></body>"))
{
    return declaration
        + u"<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
          u"xmlns:l=\"http://www.w3.org/1999/xlink\"><description><title-info>"
        + titleInfo + u"</title-info></description>" + body + u"</FictionBook>";
}

inline QByteArray Encoded(const QString& text, int codePageNumber)
{
    QByteArray bytes;
    QString error;
    ConvertFromUnicode(CodePageIndex(codePageNumber), text, bytes, error);
    return bytes;
}

inline QByteArray Fb2Utf8(const QString& titleInfo = StandardTitleInfo())
{
    return Fb2Text(kUtf8Declaration, titleInfo).toUtf8();
}

} // namespace lbv::test
