#pragma once
// A PNG or JPEG file opened by itself: one body holding one centred image paragraph.
#include "reader/byte_source.h"
#include "reader/document_options.h"
#include "reader/document_source.h"
#include "reader/image_decoding.h"

#include <memory>

namespace lbv {

class ImageDocument final : public DocumentSource {
public:
    ImageDocument(std::unique_ptr<ByteSource> source, DocumentOptions options, PictureKind kind);

    ParagraphView GetParagraph(int body, int paragraph) override;
    int ParagraphCount(int body) const override { return body == 0 ? 1 : 0; }
    int ParagraphLength(int body, int paragraph) const override;
    int64_t ParagraphStart(int body, int paragraph) const override;
    int64_t BodyEnd(int body) const override { return body == 0 ? kImageParagraphLength : 0; }
    int ParagraphAtOffset(int body, int64_t offset) const override;
    ImageHandle GetImage(const QString& id, const ImageRequest& request) override;
    void ClearImageCache() override { cache_.Clear(); }
    void SetGamma(int gamma) override
    {
        options_.gamma = gamma;
        ClearImageCache();
    }
    QString BodyName(int body) const override;
    bool Load(int codePage) override;
    QString ErrorText() const override { return error_; }
    int64_t MemoryUsed() const override { return source_->MemoryUsed() + data_.capacity(); }
    QString SourceDescription() const override { return source_->Description(); }
    PictureKind Kind() const { return kind_; }

private:
    std::unique_ptr<ByteSource> source_;
    DocumentOptions options_;
    PictureKind kind_;
    QByteArray data_;
    ImageCache cache_;
    QString error_;
};

} // namespace lbv
