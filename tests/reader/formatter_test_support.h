#pragma once
// A document made of paragraphs given in the test, pictures of given sizes, and a formatter over
// it with the fixed-width measurer (10 x 20 pixel cells, 100 DPI: 1/25 inch is 4 pixels).
#include "reader/fixed_width_measurer.h"
#include "reader/text_formatter.h"

#include <QHash>
#include <QStringList>
#include <algorithm>
#include <memory>
#include <vector>

namespace lbv::test {

inline ParagraphView TextParagraph(
    const QString& text, uint8_t align = 0, int left = 0, int right = 0, int firstLine = 0)
{
    ParagraphView view;
    view.text = text;
    view.attributes.assign(std::size_t(text.size()), 0);
    view.align = align;
    view.leftIndent = left;
    view.rightIndent = right;
    view.firstLineIndent = firstLine;
    return view;
}

inline ParagraphView ImageParagraph(const QString& id)
{
    ParagraphView view = TextParagraph(QString(kImageParagraphLength, u' '), kAlignImageParagraph);
    view.links.append({0, 0, id});
    return view;
}

// One body of the given paragraphs; pictures are handed out at their own size, whatever the
// request, so a test can show one taller than the page.
class FakeDocument final : public DocumentSource {
public:
    explicit FakeDocument(std::vector<ParagraphView> paragraphs)
        : paragraphs_(std::move(paragraphs))
    {
        int64_t offset = 0;
        for (const ParagraphView& view : paragraphs_) {
            starts_.push_back(offset);
            offset += view.text.size();
        }
        starts_.push_back(offset);
    }

    void AddImage(const QString& id, int width, int height)
    {
        auto image = std::make_shared<DecodedImage>();
        image->width = width;
        image->height = height;
        image->rgb = QByteArray(width * height * 3, '\0');
        images_.insert(id, image);
    }
    int ImageRequests() const { return imageRequests_; }

    ParagraphView GetParagraph(int body, int paragraph) override
    {
        return Valid(body, paragraph) ? paragraphs_[std::size_t(paragraph)] : ParagraphView {};
    }
    int ParagraphCount(int body) const override { return body == 0 ? int(paragraphs_.size()) : 0; }
    int ParagraphLength(int body, int paragraph) const override
    {
        return Valid(body, paragraph) ? int(paragraphs_[std::size_t(paragraph)].text.size()) : 0;
    }
    int64_t ParagraphStart(int, int paragraph) const override
    {
        return starts_[std::size_t(std::clamp(paragraph, 0, int(paragraphs_.size())))];
    }
    int64_t BodyEnd(int) const override { return starts_.back(); }
    int ParagraphAtOffset(int, int64_t) const override { return 0; }
    ImageHandle GetImage(const QString& id, const ImageRequest&) override
    {
        ++imageRequests_;
        return images_.value(id);
    }
    void ClearImageCache() override { }
    int BodyCount() const override { return 1; }
    QString BodyName(int) const override { return QStringLiteral("Main"); }
    bool FindAnchor(const QString&, int&, int&) const override { return false; }
    bool Load(int) override { return true; }
    QString ErrorText() const override { return {}; }
    int64_t MemoryUsed() const override { return 0; }
    QString SourceDescription() const override { return QStringLiteral("None"); }

private:
    bool Valid(int body, int paragraph) const
    {
        return body == 0 && paragraph >= 0 && paragraph < int(paragraphs_.size());
    }

    std::vector<ParagraphView> paragraphs_;
    std::vector<int64_t> starts_;
    QHash<QString, ImageHandle> images_;
    int imageRequests_ = 0;
};

// A formatter whose column text is textWidth pixels wide (no margins) and pageHeight high.
struct Layout {
    explicit Layout(std::vector<ParagraphView> paragraphs, int textWidth = 200,
        int pageHeight = 100, FormatterSettings settings = {}, int columns = 1)
        : document(std::move(paragraphs))
        , formatter(document, measurer)
    {
        formatter.SetSettings(settings);
        formatter.SetGeometry(
            PageGeometry::ForClient(textWidth * columns, pageHeight, 0, columns, 0, 0));
    }

    FakeDocument document;
    FixedWidthMeasurer measurer;
    TextFormatter formatter;
};

inline QStringList LineTexts(const Page& page)
{
    QStringList texts;
    for (const LayoutLine& line : page.lines)
        texts.append(line.text);
    return texts;
}

inline FormatterSettings Settings(bool justify, bool hyphenate = false, bool oneLineLess = false)
{
    FormatterSettings settings;
    settings.justify = justify;
    settings.hyphenate = hyphenate;
    settings.oneLineLess = oneLineLess;
    return settings;
}

} // namespace lbv::test
