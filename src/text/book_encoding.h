#pragma once
// Which code page the bytes of a book are written in: a byte-order mark decides first, then the
// encoding named by the XML declaration, and only books that name none (or one the registry does
// not know) are guessed by the statistical detection.
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace lbv {

struct BookEncoding {
    int codePage = -1; // index into the code page registry
    qsizetype markLength = 0; // bytes of the byte-order mark the text starts with
};

BookEncoding ChooseBookEncoding(QByteArrayView bytes);

// The bytes as text, without the byte-order mark; `codePage` receives the registry index used.
QString DecodeBookBytes(QByteArrayView bytes, int* codePage = nullptr);

// The length of the XML declaration ("<?xml ... ?>") that the text starts with; 0 for none.
qsizetype XmlDeclarationLength(QStringView text);

} // namespace lbv
