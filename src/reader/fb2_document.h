#pragma once
// An FB2 book open in the reader: the model built by one pass of the parser, with paragraph
// text read back from the source on demand and pictures decoded from the book's binaries.
#include "reader/byte_source.h"
#include "reader/document_options.h"
#include "reader/document_source.h"
#include "reader/fb2_model.h"
#include "reader/image_decoding.h"

#include <memory>
#include <vector>

namespace lbv {

class Fb2Document final : public DocumentSource {
public:
    Fb2Document(std::unique_ptr<ByteSource> source, DocumentOptions options);

    ParagraphView GetParagraph(int body, int paragraph) override;
    int ParagraphCount(int body) const override;
    int ParagraphLength(int body, int paragraph) const override;
    int64_t ParagraphStart(int body, int paragraph) const override;
    int64_t BodyEnd(int body) const override;
    int ParagraphAtOffset(int body, int64_t offset) const override;
    ImageHandle GetImage(const QString& id, const ImageRequest& request) override;
    void ClearImageCache() override { images_.Clear(); }
    void SetGamma(int gamma) override
    {
        options_.gamma = gamma;
        ClearImageCache();
    }
    int BodyCount() const override { return int(model_.bodies.size()); }
    QString BodyName(int body) const override;
    bool FindAnchor(const QString& id, int& body, int& paragraph) const override;
    bool Load(int codePage) override;
    QString ErrorText() const override { return error_; }
    QString RepairNote() const override { return repairNote_; }
    int64_t MemoryUsed() const override;
    QString SourceDescription() const override { return sourceDescription_; }

private:
    const BodyEntry* Body(int body) const;
    // Global paragraph index, or -1 when out of range.
    int64_t Global(int body, int paragraph) const;
    uint32_t OffsetOf(uint32_t global) const;
    bool AppendRun(const TextRun& run, ParagraphView& view, bool& hyphenPending);
    QStringView DecodeBytes(uint32_t offset, uint32_t count);
    QByteArray BinaryData(const BinaryRecord& binary);
    // Reads the repaired markup of a book whose strict parse failed; the repaired bytes become
    // the document's source, since its runs point into them.
    bool LoadRepaired(int codePage);

    std::unique_ptr<ByteSource> source_;
    DocumentOptions options_;
    DocumentArena arena_;
    Fb2Model model_;
    QString error_;
    QString repairNote_;
    QString sourceDescription_;
    ImageCache images_;
    std::vector<char> bytes_;
    std::vector<char16_t> units_;
};

} // namespace lbv
