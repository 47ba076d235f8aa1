#include "reader/reader_session.h"

#include "reader/entry_navigation.h"
#include "reader/image_document.h"
#include "reader/sibling_pictures.h"
#include "text/messages.h"

namespace lbv {
namespace {

// A section's title as the contents list shows it: its text paragraphs joined, pictures left out.
QString TitleText(DocumentSource& document, const ContentsEntry& entry)
{
    QStringList pieces;
    for (int i = entry.paragraph; i < entry.paragraph + entry.paragraphCount; ++i) {
        const ParagraphView view = document.GetParagraph(entry.body, i);
        if (view.IsImage())
            continue;
        QString piece;
        for (qsizetype c = 0; c < view.text.size(); ++c)
            if (!(view.attributes[std::size_t(c)] & kAttrInlineImage))
                piece += view.text[c];
        piece = piece.trimmed();
        if (!piece.isEmpty())
            pieces << piece;
    }
    return pieces.join(u' ');
}

bool IsIndexFile(const QString& path)
{
    return path.endsWith(QStringLiteral(".lvf"), Qt::CaseInsensitive);
}

} // namespace

ElementStyleTable CurrentElementStyles(SettingsStore& store)
{
    ElementStyleTable table = ElementStyleTable::BuiltIn();
    table.ApplyOverrides(store);
    return table;
}

struct ReaderSession::Loaded {
    std::unique_ptr<DocumentSource> document;
    std::shared_ptr<std::vector<ContentsEntry>> contents
        = std::make_shared<std::vector<ContentsEntry>>();
};

ReaderSession::ReaderSession(SettingsStore& store, TextMeasurer& measurer, ErrorSink errors)
    : store_(store)
    , measurer_(measurer)
    , errors_(std::move(errors))
    , parameters_(ReaderParameters::Load(store))
    , styles_(std::make_unique<ElementStyleTable>(CurrentElementStyles(store)))
{
}

// The formatter and the finder refer to the document, so they go first.
ReaderSession::~ReaderSession()
{
    finder_.reset();
    formatter_.reset();
}

const QString& ReaderSession::Path() const
{
    static const QString none;
    return state_ ? state_->Path() : none;
}

bool ReaderSession::Open(const QString& path)
{
    QString error;
    if (OpenQuietly(path, error))
        return true;
    errors_(error);
    return false;
}

bool ReaderSession::OpenQuietly(const QString& path, QString& error)
{
    QString readerPath = path;
    if (resolver_ && !resolver_(path, &readerPath, &error))
        return false;
    return OpenBook(readerPath, {}, error);
}

bool ReaderSession::Reopen(int format, int encoding)
{
    if (!IsOpen())
        return false;
    QString error;
    if (OpenBook(Path(), {format, encoding, nullptr, position_}, error))
        return true;
    errors_(error);
    return false;
}

bool ReaderSession::ReloadStyles()
{
    auto styles = std::make_unique<ElementStyleTable>(CurrentElementStyles(store_));
    if (!IsOpen()) {
        styles_ = std::move(styles);
        return true;
    }
    QString error;
    if (OpenBook(Path(), {std::nullopt, std::nullopt, std::move(styles), position_}, error))
        return true;
    errors_(error);
    return false;
}

bool ReaderSession::OpenBook(const QString& readerPath, Request request, QString& error)
{
    // Saved first: the book may share its stored state with the one being opened.
    SaveState();
    auto state = std::make_unique<BookState>(store_, readerPath);
    int format = request.format.value_or(state->Format());
    if (format < -1 || format > kDocumentDictionary)
        format = -1; // stored by another version, or damaged
    const int encoding = request.encoding.value_or(state->Encoding());
    const ElementStyleTable& styles = request.styles ? *request.styles : *styles_;
    std::unique_ptr<Loaded> loaded = Load(readerPath, format, encoding, styles, error);
    // Books of one file name share their stored state, so a stored format may belong to
    // another book; only a format the user chooses now is held to.
    if (!loaded && format != -1 && !request.format) {
        QString ignored;
        loaded = Load(readerPath, -1, encoding, styles, ignored);
        format = -1;
    }
    if (!loaded)
        return false;
    state->SetFormat(format);
    state->SetEncoding(encoding);
    // New styles change how paragraphs look, not which there are, so the jumps still lead home.
    if (request.styles)
        styles_ = std::move(request.styles);
    else
        history_.Clear();
    const std::optional<BookPosition>& stored = state->Position();
    const ReadingPosition position
        = request.position.value_or(stored ? ToReadingPosition(*stored) : ReadingPosition {});
    Install(std::move(loaded), std::move(state), position);
    return true;
}

std::unique_ptr<ReaderSession::Loaded> ReaderSession::Load(const QString& readerPath, int format,
    int encoding, const ElementStyleTable& styles, QString& error) const
{
    auto loaded = std::make_unique<Loaded>();
    DocumentOptions options;
    options.styles = &styles;
    options.fileBufSize = parameters_.fileBufSize;
    options.gamma = parameters_.gamma;
    options.observer.contents
        = [contents = loaded->contents](const ContentsEntry& entry) { contents->push_back(entry); };
    loaded->document
        = OpenDocument(readerPath, format, encoding, SourceOptions(), std::move(options), error);
    if (!loaded->document)
        return nullptr;
    return loaded;
}

void ReaderSession::Install(std::unique_ptr<Loaded> loaded, std::unique_ptr<BookState> state,
    const ReadingPosition& position)
{
    const std::optional<PageGeometry> geometry
        = formatter_ ? std::optional(formatter_->Geometry()) : std::nullopt;
    finder_.reset();
    formatter_.reset();
    document_ = std::move(loaded->document);
    formatter_ = std::make_unique<TextFormatter>(*document_, measurer_);
    formatter_->SetSettings(FormatterSettings::From(parameters_));
    if (geometry)
        formatter_->SetGeometry(*geometry);
    finder_ = std::make_unique<TextFinder>(*document_);
    state_ = std::move(state);
    for (const ContentsEntry& entry : *loaded->contents)
        state_->AddSection({entry.paragraph, 0, entry.body}, entry.paragraphCount, entry.level,
            TitleText(*document_, entry));
    SetPosition(position);
}

void ReaderSession::SetPosition(const ReadingPosition& position)
{
    position_ = formatter_ ? formatter_->Normalize(position) : position;
    if (state_)
        state_->SetPosition(ToBookPosition(position_));
}

BookSourceOptions ReaderSession::SourceOptions() const
{
    return {parameters_.fileBufSize, parameters_.zipEncoding};
}

void ReaderSession::JumpTo(const ReadingPosition& position)
{
    history_.Jumped(position_);
    SetPosition(position);
}

bool ReaderSession::Step(int step)
{
    if (dynamic_cast<const ImageDocument*>(document_.get())) {
        const std::optional<QString> picture = SiblingPicture(Path(), step, SourceOptions());
        return picture && Open(*picture);
    }
    const std::optional<ReadingPosition> target
        = step < 0 ? history_.Back(position_) : history_.Forward(position_);
    if (target)
        SetPosition(*target);
    return target.has_value();
}

void ReaderSession::ReloadParameters()
{
    const int gamma = parameters_.gamma;
    parameters_ = ReaderParameters::Load(store_);
    // The open book's pictures were decoded with the old gamma.
    if (document_ && parameters_.gamma != gamma)
        document_->SetGamma(parameters_.gamma);
    if (formatter_)
        formatter_->SetSettings(FormatterSettings::From(parameters_));
}

void ReaderSession::SaveState()
{
    if (!state_)
        return;
    state_->SetPosition(ToBookPosition(position_));
    state_->Save();
}

void ReaderSession::Close()
{
    SaveState();
    PruneBooks(store_, ClampNumBookmarks(parameters_.numBookmarks));
}

bool ReaderSession::Start(const QString& commandLinePath, const QString& helpPath)
{
    if (!commandLinePath.isEmpty() && !IsIndexFile(commandLinePath) && Open(commandLinePath))
        return true;
    // One message for the lot: books that moved away shouldn't each raise a box at start-up.
    const QStringList recent = RecentBooks(store_, ClampNumBookmarks(parameters_.numBookmarks));
    QString ignored;
    for (const QString& path : recent)
        if (OpenQuietly(path, ignored))
            return true;
    if (!recent.isEmpty())
        errors_(MessageText(Msg::CantOpenRecentBooks));
    if (OpenQuietly(helpPath, ignored))
        return true;
    errors_(MessageText(Msg::CantOpenHelpFile));
    return false;
}

} // namespace lbv
