#pragma once
// What a file holds: the open-file list's kind by name, and a document's kind by its first
// bytes (the kind numbers are stored per book: 0..3 plain text in one of the text modes,
// 4 FB2, 5 PNG, 6 JPEG).
#include <QByteArrayView>
#include <QString>

namespace lbv {

enum class FileKind { Document, Archive, Image, Other };
// ".txt", ".xml", ".prc", ".pdb", ".fb2", ".dic" are documents, ".zip" an archive unless the
// name is inside one already, ".png", ".jpg", ".jpeg" images; short names are other files.
FileKind FileKindByName(const QString& name, bool insideArchive);

enum DocumentKind : int {
    kTextLinePerParagraph = 0, // every LF ends a paragraph
    kTextIndentedFirstLine = 1, // LF followed by a blank
    kTextMacLinePerParagraph = 2, // every CR
    kTextMacIndentedFirstLine = 3, // CR followed by a blank
    kDocumentFb2 = 4,
    kDocumentPng = 5,
    kDocumentJpeg = 6,
};
inline constexpr int kDocumentKindCount = 7;
inline constexpr int kContentSampleSize = 2048;

// The kind of a document from (up to) its first 2048 bytes.
int DetectContentKind(QByteArrayView sample);
// One of the four text modes, from the line lengths and indentation of the sample.
int DetectTextMode(QByteArrayView sample);
QString TextModeName(int mode); // "Line per paragraph", ...

} // namespace lbv
