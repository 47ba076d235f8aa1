#include "reader/image_document.h"

#include "reader/content_kind.h"
#include "text/messages.h"

namespace lbv {
namespace {

// Pictures are read whole; anything larger than this is no picture a reader shows.
constexpr int64_t kMaxPictureFile = 256 * 1024 * 1024;

} // namespace

ImageDocument::ImageDocument(
    std::unique_ptr<ByteSource> source, DocumentOptions options, PictureKind kind)
    : source_(std::move(source)), options_(std::move(options)), kind_(kind)
{
}

bool ImageDocument::Load(int)
{
    const int64_t size = source_->Size();
    if (size > kMaxPictureFile) {
        error_ = MessageText(Msg::XmlParserOutOfMemory);
        return false;
    }
    data_.resize(qsizetype(size));
    const int64_t got = source_->ReadAt(0, data_.data(), size);
    data_.resize(qsizetype(std::max<int64_t>(got, 0)));
    if (options_.observer.progress)
        options_.observer.progress(data_.size(), size);
    // A book of another kind forced to be a picture would only show nothing.
    if (DetectContentKind(
            QByteArrayView(data_).first(std::min<qsizetype>(data_.size(), kContentSampleSize)))
        != (kind_ == PictureKind::Png ? kDocumentPng : kDocumentJpeg)) {
        error_
            = MessageText(kind_ == PictureKind::Png ? Msg::InvalidPngFile : Msg::InvalidJpegFile);
        data_.clear();
        return false;
    }
    return true;
}

ParagraphView ImageDocument::GetParagraph(int body, int paragraph)
{
    ParagraphView view;
    if (body != 0 || paragraph != 0)
        return view;
    view.align = 2 | kAlignImageParagraph;
    view.text = QString(kImageParagraphLength, u' ');
    view.attributes.assign(kImageParagraphLength, 0);
    view.links.append({0, 0, QString()});
    return view;
}

int ImageDocument::ParagraphLength(int body, int paragraph) const
{
    return body == 0 && paragraph == 0 ? kImageParagraphLength : 0;
}

int64_t ImageDocument::ParagraphStart(int body, int paragraph) const
{
    return body == 0 && paragraph > 0 ? kImageParagraphLength : 0;
}

int ImageDocument::ParagraphAtOffset(int body, int64_t offset) const
{
    return body == 0 && offset == kImageParagraphLength ? 1 : 0;
}

QString ImageDocument::BodyName(int body) const
{
    return body == 0 ? MessageText(Msg::BodyMain) : QString();
}

// The document's one picture answers to any id.
ImageHandle ImageDocument::GetImage(const QString& id, const ImageRequest& request)
{
    if (ImageHandle cached = cache_.Find(id, request))
        return cached;
    ImageHandle image = DecodePicture(data_, kind_, options_.gamma, request);
    if (image)
        cache_.Add(id, request, image);
    return image;
}

} // namespace lbv
