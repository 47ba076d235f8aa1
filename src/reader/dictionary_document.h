#pragma once
// A dictionary opened like a book: one body whose paragraphs are the dictionary's lines, every
// article's headword line bold up to its first two blanks, an empty line between articles.
#include "reader/byte_source.h"
#include "reader/dictionary.h"
#include "reader/document_source.h"

#include <QTemporaryFile>
#include <memory>
#include <vector>

namespace lbv {

class DictionaryDocument final : public DocumentSource {
public:
    // The dictionary reads its own file; one inside an archive is copied out of `source` into a
    // temporary file that lives as long as the document.
    DictionaryDocument(QString path, std::unique_ptr<ByteSource> source);

    ParagraphView GetParagraph(int body, int paragraph) override;
    int ParagraphCount(int body) const override;
    int ParagraphLength(int body, int paragraph) const override;
    int64_t ParagraphStart(int body, int paragraph) const override;
    int64_t BodyEnd(int body) const override;
    int ParagraphAtOffset(int body, int64_t offset) const override;
    QString BodyName(int body) const override;
    // Opens the dictionary and measures every line once (the code page is the dictionary's own).
    bool Load(int codePage) override;
    QString ErrorText() const override { return error_; }
    int64_t MemoryUsed() const override;
    QString SourceDescription() const override;

private:
    bool CopyToTemporaryFile();

    QString path_;
    std::unique_ptr<ByteSource> source_;
    std::unique_ptr<QTemporaryFile> copy_;
    QString error_;
    std::unique_ptr<Dictionary> dictionary_;
    std::vector<int64_t> starts_; // each line's first character, then the body's end
};

} // namespace lbv
