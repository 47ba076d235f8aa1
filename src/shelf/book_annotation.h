#pragma once
// The annotation the book list previews, read once per book from the book's own header.
namespace lbv {

class CBook;
class CLibravonDoc;

// Fills book.annotation with the title-info's annotation paragraphs, reading a prefix of
// `prefetchSize` bytes of the book (the member of its archive for a packed book) the first time
// only. A book that is not FB2, does not parse or has no annotation is loaded with none; a book
// whose header cannot be read at all (offline, unreadable) stays unloaded so a later call tries
// again. Returns whether the book has at least one paragraph.
bool LoadAnnotation(CBook& book, const CLibravonDoc& catalog, int prefetchSize);

} // namespace lbv
