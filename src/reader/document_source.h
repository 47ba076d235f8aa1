#pragma once
// The interface of every open reader document (FB2, plain text, picture) and the paragraph
// view the formatter lays out. Positions count characters (UTF-16 units) from the start of the
// document; bodies split the paragraph list into named parts.
#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace lbv {

// Character attribute bits of a paragraph's text.
inline constexpr uint16_t kAttrSizeMask = 0x003F; // signed font size step
inline constexpr uint16_t kAttrBold = 0x0040;
inline constexpr uint16_t kAttrItalic = 0x0080;
inline constexpr uint16_t kAttrInlineImage = 0x0200;
inline constexpr uint16_t kAttrUnderline = 0x0400;
inline constexpr uint16_t kAttrColourShift = 11; // 3 bits of colour slot
inline constexpr uint16_t kAttrHyphenBreak = 0x8000; // a hyphenated break may come before it

inline constexpr uint8_t kAlignImageParagraph = 0x40;
inline constexpr int kImageParagraphLength = 32;

struct ParagraphLink {
    int start = 0; // character index within the paragraph
    int length = 0;
    QString target; // a link's href as written ("#" kept); an image's id without "#"
};

struct ParagraphView {
    QString text;
    std::vector<uint16_t> attributes; // one per UTF-16 unit of text
    uint8_t align = 0; // 0 default, 1 right, 2 centre, 4 justify; | 0x40 for an image paragraph
    int leftIndent = 0; // in 1/25 inch
    int rightIndent = 0;
    int firstLineIndent = 0;
    // Links, then inline images; an inline image's character code is its index in this list.
    QList<ParagraphLink> links;

    bool IsImage() const { return align & kAlignImageParagraph; }
};

struct ReadingPosition {
    int paragraph = 0;
    int offset = 0;
    int body = 0;
};

// A table-of-contents entry: a section title's paragraphs within its body and its level.
struct ContentsEntry {
    int paragraph = 0;
    int paragraphCount = 0;
    int body = 0;
    int level = 0;
};

// Observers of loading: progress is told the total first (position 0), then positions.
struct LoadObserver {
    std::function<void(int64_t position, int64_t total)> progress;
    std::function<void(const ContentsEntry&)> contents;
};

// A decoded picture: 24-bit RGB rows without padding, scaled to fit the requested page size and
// then turned for the rotation, so at 900 and 2700 width and height are those of the turned
// pixels (the picture's height on the page is `width`).
struct DecodedImage {
    int width = 0;
    int height = 0;
    QByteArray rgb; // width * height * 3 bytes
};
using ImageHandle = std::shared_ptr<const DecodedImage>;

struct ImageRequest {
    int maxWidth = 0;
    int maxHeight = 0;
    int rotation = 0; // 0, 900, 1800, 2700: the pixels are turned to match
};

class DocumentSource {
public:
    virtual ~DocumentSource() = default;

    // Out-of-range indices give an empty view, zero counts and lengths.
    virtual ParagraphView GetParagraph(int body, int paragraph) = 0;
    virtual int ParagraphCount(int body) const = 0;
    virtual int ParagraphLength(int body, int paragraph) const = 0;
    // An index at or past the body's count gives the body's end offset.
    virtual int64_t ParagraphStart(int body, int paragraph) const = 0;
    virtual int64_t BodyEnd(int body) const = 0;
    // The paragraph whose range holds the offset; the body's end gives the paragraph count,
    // offsets outside the body give 0.
    virtual int ParagraphAtOffset(int body, int64_t offset) const = 0;
    // Documents without pictures have none to give or to drop.
    virtual ImageHandle GetImage(const QString& /*id*/, const ImageRequest& /*request*/)
    {
        return nullptr;
    }
    virtual void ClearImageCache() { }
    // Pictures decoded from now on use this display gamma; those decoded before are dropped.
    virtual void SetGamma(int /*gamma*/) { }
    // The code page index a plain-text document decodes with; FB2 documents answer 0.
    virtual int DetectedCodePage() const { return 0; }
    virtual int BodyCount() const { return 1; }
    virtual QString BodyName(int body) const = 0;
    // A link target id (without "#") → its body and paragraph within that body.
    // Documents without anchors find none.
    virtual bool FindAnchor(const QString& /*id*/, int& /*body*/, int& /*paragraph*/) const
    {
        return false;
    }
    // Reads the document; codePage is a code page index or -1 for automatic. On failure
    // ErrorText() says why.
    virtual bool Load(int codePage) = 0;
    virtual QString ErrorText() const = 0;
    // After a successful load of a book whose markup had to be repaired first: the error that
    // the strict parse stopped at. Empty for every other document.
    virtual QString RepairNote() const { return {}; }
    // Bytes the open document keeps in memory for its model (not counting decoded images).
    virtual int64_t MemoryUsed() const = 0;
    // How the bytes were stored: "None", "ZIP, deflated (0.35)", "PDB, packed (0.61)", ...
    virtual QString SourceDescription() const = 0;
};

} // namespace lbv
