#pragma once
// FictionBook texts and files for the reader's GUI tests.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

namespace lbv::test {

// A book titled "T" whose main body holds `body`; `after` follows that body (a notes body,
// binaries). The link namespace is declared for links and pictures.
inline QByteArray ReaderBook(const QByteArray& body, const QByteArray& after = {})
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><FictionBook "
           "xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
           "xmlns:l=\"http://www.w3.org/1999/xlink\"><description><title-info>"
           "<book-title>T</book-title></title-info></description><body>"
        + body + "</body>" + after + "</FictionBook>";
}

inline QString WriteBookFile(const QString& path, const QByteArray& text)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_EQ(file.write(text), text.size());
    return path;
}

} // namespace lbv::test
