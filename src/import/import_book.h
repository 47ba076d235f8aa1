#pragma once
// Importing one book: conversion when needed, the existing-book rule, placement in the library
// and the catalog entry, each step reported in the import log.
//
// Catalog safety: an import run changes the catalog on its worker thread while the GUI thread
// shows it. Whoever owns the catalog owns a mutex beside it (ImportContext::catalogMutex); the
// worker holds it only for each single lookup and each AddBook, never while it waits for the
// user or touches files, and the GUI holds it whenever it reads catalog records during a run.
// CLibravonDoc's const accessors may re-order authors, so readers need the same exclusive lock.
#include "import/book_header.h"
#include "import/book_placement.h"
#include "import/import_options.h"

#include <QString>
#include <mutex>

namespace lbv {

class CLibravonDoc;
class DocumentConverter;
class ImportLog;
class SettingsStore;

enum class ImportStatus { Ok, AlreadyAdded, Failure };
// "Ok", "Already added", "Failure".
QString StatusText(ImportStatus status);

// The question about a book that is already in the catalog. Called on the worker thread, which
// waits until the user has answered (a GUI shows a dialog on its own thread and blocks the
// caller meanwhile; the terminal asks on standard input).
class ExistingBookQuestion {
public:
    enum class Answer { Yes, No, YesToAll, NoToAll };
    virtual ~ExistingBookQuestion() = default;
    // `text`: "Book <first> <last> "<title>" is already added." and the question line.
    virtual Answer Ask(const QString& text) = 0;
};

struct ImportContext {
    CLibravonDoc* catalog = nullptr;
    std::mutex* catalogMutex = nullptr; // null when no other thread reads the catalog
    ImportLog* log = nullptr;
    SettingsStore* settings = nullptr; // the converter's options (section Any2FB2)
    ExistingBookQuestion* question = nullptr; // null: books in question are not replaced
    DocumentConverter* converter = nullptr; // null: documents can't be converted
    ImportOptions options;
};

// Holds the catalog's lock (when there is one) for as long as the result lives.
std::unique_lock<std::mutex> LockCatalog(const ImportContext& context);

class BookImporter {
public:
    explicit BookImporter(ImportContext context);

    const ImportContext& Context() const { return context_; }
    ImportOptions& Options() { return context_.options; }

    // Starts a run: forgets the remembered answer and takes the library's mask, compression and
    // folder from the catalog.
    void BeginRun();
    // Imports one header (the caller's working copy: it ends up describing the stored book).
    ImportStatus ImportOne(CBookHeader& header, ImportOperation operation);

private:
    enum class Conversion { Converted, Skipped, Failed };
    enum class Existing { Absent, Replace, Skip };

    // Turns a TXT, HTML or other document into FB2 written to its target; on success the header
    // describes the written book.
    Conversion ConvertDocument(CBookHeader& header, ImportOperation operation, bool* replace);
    bool WriteConvertedText(
        CBookHeader& header, ImportOperation operation, const QString& text, bool replace);
    // Catalogues a book that needs no conversion (or copies it, for JustConvert).
    ImportStatus CatalogueBook(CBookHeader& header, ImportOperation operation, bool replace);
    // The existing-book rule: looks the book up and, when it is there, decides by the setting,
    // the remembered answer or the user's answer. A skip is logged here.
    Existing CheckExisting(const CBookHeader& header);
    // Names and title must be known; a missing genre becomes the default one.
    bool CheckNamesAndGenre(CBookHeader& header);
    // The converted files folder and rename mask, as the library folder and mask of a target.
    bool ConvertedFilesStorage(StorageOptions* storage);
    void CopyFailedSource(const CBookHeader& header);

    ImportContext context_;
    StorageOptions library_;
    ExistingBookAction rememberedAnswer_ = ExistingBookAction::Ask;
};

} // namespace lbv
