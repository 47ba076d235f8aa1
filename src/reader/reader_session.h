#pragma once
// The book the reader has open and everything that lives as long as it does: the document, its
// formatter, its remembered state (position, format, encoding, bookmarks and contents), Find and
// the jump history. Opening swaps them all only when the new book loads, so a failure leaves the
// open book as it was. Also the start-up sequence (command line, recent books, help book).
#include "reader/book_state.h"
#include "reader/document_factory.h"
#include "reader/element_styles.h"
#include "reader/jump_history.h"
#include "reader/reader_settings.h"
#include "reader/text_finder.h"
#include "reader/text_formatter.h"

#include <functional>
#include <memory>
#include <optional>

namespace lbv {

// The built-in element styles with the user's "Styles" overrides.
ElementStyleTable CurrentElementStyles(SettingsStore& store);

class ReaderSession {
public:
    // Texts for the user (failures to open); the GUI shows them in message boxes.
    using ErrorSink = std::function<void(const QString&)>;
    // From a path the user names to the path the reader opens (a library book "archive@member");
    // false with the reason.
    using PathResolver
        = std::function<bool(const QString& path, QString* readerPath, QString* error)>;

    // The store and the measurer must outlive the session.
    ReaderSession(SettingsStore& store, TextMeasurer& measurer, ErrorSink errors);
    ~ReaderSession();
    ReaderSession(const ReaderSession&) = delete;
    ReaderSession& operator=(const ReaderSession&) = delete;

    void SetPathResolver(PathResolver resolver) { resolver_ = std::move(resolver); }

    // Opens with the book's stored format and encoding; a stored format that no longer fits is
    // forgotten and the book opened as detected. The previous book's state is saved first. False
    // (the message given to the sink, the open book kept) when the book doesn't load.
    bool Open(const QString& path);
    // Opens the book again with another format or encoding (-1 automatic), keeping the place.
    bool Reopen(int format, int encoding);
    // After a change of the "Styles" section: the table is rebuilt and the book laid out anew.
    bool ReloadStyles();
    // Re-reads section "Parameters" and hands the formatter its part (and the book a new gamma).
    void ReloadParameters();
    // Saves the book's state and forgets books beyond NumBookmarks.
    void Close();
    // Stores the current position in the book state and saves it (the view's periodic save).
    void SaveState();

    // The command-line book unless it is an index file, else the recent books newest first
    // (one message when none of them opens), else the help book. False when nothing opened.
    bool Start(const QString& commandLinePath, const QString& helpPath);

    bool IsOpen() const { return document_ != nullptr; }
    const QString& Path() const;
    DocumentSource* Document() { return document_.get(); }
    TextFormatter* Formatter() { return formatter_.get(); }
    BookState* State() { return state_.get(); }
    TextFinder* Finder() { return finder_.get(); }
    JumpHistory& History() { return history_; }
    const ReaderParameters& Parameters() const { return parameters_; }
    // How book files are read (buffer size, ZIP member name encoding).
    BookSourceOptions SourceOptions() const;
    const ElementStyleTable& Styles() const { return *styles_; }

    ReadingPosition Position() const { return position_; }
    // Kept inside the book (see TextFormatter::Normalize).
    void SetPosition(const ReadingPosition& position);
    // A direct move (start or end, a find hit, a contents choice, a link): Back returns here.
    void JumpTo(const ReadingPosition& position);
    // In a picture opened on its own, the previous or next picture beside it; otherwise a step
    // through the jump history. False when there is nothing that way.
    bool Back() { return Step(-1); }
    bool Forward() { return Step(1); }

private:
    struct Loaded;
    // What a (re)opening changes; unset fields keep the stored or current value.
    struct Request {
        std::optional<int> format; // chosen by the user: no fallback to detection
        std::optional<int> encoding;
        std::unique_ptr<ElementStyleTable> styles;
        std::optional<ReadingPosition> position;
    };

    bool OpenQuietly(const QString& path, QString& error);
    bool Step(int step);
    bool OpenBook(const QString& readerPath, Request request, QString& error);
    std::unique_ptr<Loaded> Load(const QString& readerPath, int format, int encoding,
        const ElementStyleTable& styles, QString& error) const;
    void Install(std::unique_ptr<Loaded> loaded, std::unique_ptr<BookState> state,
        const ReadingPosition& position);

    SettingsStore& store_;
    TextMeasurer& measurer_;
    ErrorSink errors_;
    PathResolver resolver_;
    ReaderParameters parameters_;
    std::unique_ptr<ElementStyleTable> styles_;
    std::unique_ptr<DocumentSource> document_;
    std::unique_ptr<TextFormatter> formatter_;
    std::unique_ptr<BookState> state_;
    std::unique_ptr<TextFinder> finder_;
    JumpHistory history_;
    ReadingPosition position_;
};

} // namespace lbv
