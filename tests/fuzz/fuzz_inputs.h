#pragma once
// What each fuzz target does with one input. The reader tests run the same functions over the
// inputs kept in tests/data/reader/fuzz, so a crash once found stays fixed.
#include "reader/content_kind.h"
#include "reader/fb2_document.h"
#include "reader/palm_sources.h"
#include "reader/text_document.h"
#include "reader/zip_member_source.h"
#include "reader/zip_scan.h"

#include <QByteArray>
#include <vector>

namespace lbv::fuzz {

inline void ReadFb2(const QByteArray& bytes)
{
    DocumentOptions options;
    options.fileBufSize = 8192;
    Fb2Document document(std::make_unique<MemoryByteSource>(bytes), options);
    if (!document.Load(-1))
        return;
    for (int body = 0; body < document.BodyCount(); ++body) {
        document.BodyName(body);
        for (int p = 0; p < document.ParagraphCount(body); ++p) {
            const ParagraphView view = document.GetParagraph(body, p);
            if (view.text.size() != document.ParagraphLength(body, p)
                || view.attributes.size() != std::size_t(view.text.size()))
                __builtin_trap();
            for (const ParagraphLink& link : view.links) {
                int anchorBody = 0, anchorParagraph = 0;
                if (link.target.startsWith(u'#'))
                    document.FindAnchor(link.target.mid(1), anchorBody, anchorParagraph);
                else
                    document.GetImage(link.target, {64, 64, 900});
            }
        }
        document.ParagraphAtOffset(body, document.BodyEnd(body) / 2);
    }
}

// The first byte picks the text mode and the code page (-1 automatic, else a registry index).
inline void ReadPlainText(const QByteArray& input)
{
    if (input.isEmpty())
        return;
    const int mode = uchar(input[0]) & 3;
    const int codePage = (uchar(input[0]) >> 2) % 8 - 1;
    const QByteArray bytes = input.mid(1);
    DetectContentKind(bytes);
    TextDocument document(std::make_unique<MemoryByteSource>(bytes), {}, mode);
    if (!document.Load(codePage))
        return;
    for (int p = 0; p < document.ParagraphCount(0); ++p)
        if (document.GetParagraph(0, p).text.size() != document.ParagraphLength(0, p))
            __builtin_trap();
}

inline void ReadThrough(ByteSource& source, int64_t step, int64_t limit)
{
    std::vector<char> buffer(std::size_t(step) + 7);
    const int64_t size = std::min(source.Size(), limit);
    for (int64_t at = 0; at < size; at += step)
        source.ReadAt(at, buffer.data(), int64_t(buffer.size()));
    source.ReadAt(size / 3, buffer.data(), 100); // and back
}

inline void ReadPdb(const QByteArray& bytes)
{
    QString error;
    if (auto source = PdbTextSource::Open(std::make_unique<MemoryByteSource>(bytes), error))
        ReadThrough(*source, 3001, INT64_MAX);
}

inline void ReadTcr(const QByteArray& bytes)
{
    QString error;
    if (auto source = TcrTextSource::Open(std::make_unique<MemoryByteSource>(bytes), error))
        ReadThrough(*source, 4999, INT64_MAX);
}

inline void ReadZipFolder(const std::shared_ptr<ByteSource>& archive, const ZipFolder& folder)
{
    for (const ZipMember& member : folder.members) {
        ZipMemberSource source(archive, member, 8192);
        ReadThrough(source, 4096, 1 << 20);
    }
    for (const ZipFolder& child : folder.folders)
        ReadZipFolder(archive, child);
}

inline void ReadZip(const QByteArray& bytes)
{
    auto archive = std::make_shared<MemoryByteSource>(bytes);
    QString error;
    if (const auto directory = ZipDirectory::Scan(*archive, QString(), error))
        ReadZipFolder(archive, directory->Root());
}

} // namespace lbv::fuzz
