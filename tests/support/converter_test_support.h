#pragma once
// Shared by the converter tests: files in a temporary folder, a converter with chosen options,
// and XPath reads of the FB2 it returns (always after reloading the document's text, so every
// check also proves that libxml2 reads what the converter wrote).
#include "catalog/xml_document.h"
#include "convert/converter_factory.h"
#include "text/code_pages.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <initializer_list>
#include <ostream>
#include <utility>

// Readable failure messages for text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace lbv::test {

inline QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

inline QString FixturePath(const QString& name)
{
    return QStringLiteral(LBV_TEST_DATA_DIR "/import/converters/") + name;
}

// The converted book, reloaded from its text; null (with a test failure) when conversion or
// reloading failed.
struct Book {
    XmlDocumentPtr document;
    QString text;
    QString message;

    explicit operator bool() const { return document != nullptr; }

    QStringList Texts(const QString& xpath) const
    {
        QStringList texts;
        for (const xmlNode* node : SelectNodes(document->Node(), xpath))
            texts.append(NodeText(node));
        return texts;
    }
    QString Text(const QString& xpath) const { return Texts(xpath).value(0); }
    int Count(const QString& xpath) const
    {
        return int(SelectNodes(document->Node(), xpath).size());
    }
};

inline Book Reload(ConversionResult result)
{
    Book book;
    book.message = result.message;
    if (!result.document)
        return book;
    book.text = result.document->Xml();
    QString error;
    book.document = LoadXmlText(book.text, &error);
    EXPECT_TRUE(book.document) << qPrintable(error);
    if (book.document)
        book.document->SetSelectionNamespaces(FictionBookSelectionNamespaces()
            + QStringLiteral(" xmlns:l='http://www.w3.org/1999/xlink'"));
    return book;
}

inline Book Convert(
    const QString& path, std::initializer_list<std::pair<const char*, QVariant>> properties = {})
{
    Any2Fb2Converter converter(FindPandoc());
    for (const auto& [name, value] : properties) {
        QString error;
        EXPECT_TRUE(converter.SetProperty(QString::fromLatin1(name), value, &error)) << name;
    }
    return Reload(converter.Convert(path));
}

} // namespace lbv::test
