#pragma once
// Steps the built-in converters share: reading the source file, decoding text, and handing the
// finished document over (after the user's expressions on the result).
#include "convert/converter.h"
#include "convert/converter_fb2_builder.h"
#include "convert/converter_options.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace lbv {

// Larger sources are refused rather than read: no book is that large, and a conversion holds
// the file, its text and its documents in memory, about 18 times the source's size. Linked
// HTML pages share the same allowance.
inline constexpr qint64 kMaxSourceBytes = 32LL * 1024 * 1024;

ConversionResult ConversionFailure(const QString& message);
// The message of a source of `size` bytes over kMaxSourceBytes.
QString SourceTooLargeMessage(const QString& path, qint64 size);

// The whole file; false with the converter's message when it can't be read or is empty or too
// large.
bool ReadDocumentBytes(const QString& path, QByteArray* bytes, QString* message);

// NUL bytes in the first 64 KB: a binary file, not text (UTF-16 is told by its byte-order mark).
bool LooksBinary(const QByteArray& bytes);
bool HasUtf16ByteOrderMark(const QByteArray& bytes);

// Decodes text bytes: by a UTF-16 or UTF-8 byte-order mark when there is one, else by the code
// page registry's index `codePageIndex`, else by the detected code page.
QString DecodeDocumentText(const QByteArray& bytes, int codePageIndex = -1);

// A preformatted line as FB2 can show it: leading blanks, runs of blanks and tabs (four
// columns) become no-break spaces; single blanks between words stay.
QString KeepBlanks(QStringView line);

// Gives every empty title-info genre (and one reading `placeholder`) the form "<genre></genre>"
// that the import fills with its default genre.
void PrepareGenreForImport(XmlDocument& document, QStringView placeholder = {});

// Runs the "OnResult" expressions over the document's text; a result they leave unreadable
// fails with the parser's reason.
ConversionResult ApplyResultRules(XmlDocumentPtr document, const ConverterOptions& options);
// Finishes the builder's document and applies the "OnResult" expressions.
ConversionResult FinishConversion(
    Fb2Builder& builder, const Fb2TitleInfo& info, const ConverterOptions& options);

} // namespace lbv
