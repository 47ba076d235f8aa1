#include "gui/options/shelf_options_page.h"

#include "gui/common/color_chooser.h"
#include "gui/common/font_color.h"
#include "settings/font_record.h"
#include "settings/settings_store.h"
#include "settings/shelf_view_settings.h"
#include "settings/startup_defaults.h"
#include "shelf/genre_dictionary.h"
#include "text/case_fold.h"
#include "text/messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

namespace lbv {

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kBooksView = QStringLiteral("BooksView");

struct ColorRow {
    const char* sample;
    const char* fgKey;
    const char* bgKey;
    const char* font;
};

constexpr ColorRow kColorRows[] = {
    {"Short book", "ColorShortBookFG", "ColorShortBookBG", "BookViewFont"},
    {"Book", "ColorBookFG", "ColorBookBG", "BookViewFont"},
    {"Long book", "ColorLongBookFG", "ColorLongBookBG", "BookViewFont"},
    {"N/A book", "ColorNABookFG", "ColorNABookBG", "BookViewFont"},
    {"Book details", "ColorPreviewFG", "ColorPreviewBG", "BookDetailsFont"},
};

struct FontRow {
    const char* label;
    const char* key;
    int points;
};

constexpr FontRow kFontRows[] = {
    {"Book font", "BookViewFont", 10},
    {"Log font", "LogViewFont", 8},
    {"Book details font", "BookDetailsFont", 8},
};

// The frames of the grid check boxes, by the name their group announces.
const std::pair<const char16_t*, const char*> kGridFrames[] = {
    {u"AuthorTree_Grid", "Author tree"},
    {u"BooksView_Grid", "Books view"},
    {u"LogView_Grid", "Log view"},
};

std::optional<QFont> AskFont(QWidget* parent, const QFont& initial)
{
    bool accepted = false;
    const QFont font = QFontDialog::getFont(&accepted, initial, parent);
    if (!accepted)
        return std::nullopt;
    return font;
}

void ShowPlainMessage(QWidget* parent, const QString& text)
{
    QMessageBox::information(parent, MessageText(Msg::ProgramTitle), text);
}

SystemColors PaletteColors()
{
    const QPalette palette = QApplication::palette();
    return {ToColorRef(palette.color(QPalette::Base)), ToColorRef(palette.color(QPalette::Text))};
}

} // namespace

CShelfOptionsPage::CShelfOptionsPage(SettingsStore& settings, QWidget* parent)
    : QWidget(parent)
    , settings_(settings)
    , chooseColor_(AskColor)
    , chooseFont_(AskFont)
    , showMessage_(ShowPlainMessage)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateFonts());
    layout->addWidget(CreateColors());
    layout->addWidget(CreateChecks());
    layout->addWidget(CreateClearType());
    layout->addWidget(CreateDoubleClick());
    layout->addWidget(CreateGenreLanguage());
    layout->addStretch(1);
}

QColor CShelfOptionsPage::Color(const QString& key)
{
    for (const IntSettingDefault& entry : StartupIntDefaults())
        if (entry.section == kSettings && entry.name == key) {
            const qint32 stored
                = settings_.EnsureProfileInt(kSettings, key, entry.Resolve(PaletteColors()));
            return ToQColor(ColorRef(stored));
        }
    return ReadColor(settings_, key, 0);
}

QWidget* CShelfOptionsPage::CreateFonts()
{
    auto* frame = new QGroupBox(QStringLiteral("Fonts"), this);
    auto* grid = new QGridLayout(frame);
    int row = 0;
    for (const FontRow& entry : kFontRows) {
        const QString key = QString::fromLatin1(entry.key);
        auto* button = new QPushButton(QStringLiteral("..."), frame);
        button->setObjectName(key);
        connect(button, &QPushButton::clicked, this,
            [this, key, points = entry.points] { ChooseFont(key, points); });
        grid->addWidget(new QLabel(QString::fromLatin1(entry.label), frame), row, 0);
        grid->addWidget(button, row++, 1);
    }
    return frame;
}

void CShelfOptionsPage::ChooseFont(const QString& key, int points)
{
    const std::optional<QFont> chosen = chooseFont_(this, ReadFont(settings_, key, points));
    if (!chosen)
        return;
    // In autorun mode nothing is stored, but the samples show the choice.
    WriteFont(settings_, key, *chosen);
    for (const ColorPair& pair : colorPairs_)
        if (pair.fontKey == key)
            pair.sample->setFont(*chosen);
    Q_EMIT settingChanged(key);
}

QWidget* CShelfOptionsPage::CreateColors()
{
    auto* frame = new QGroupBox(QStringLiteral("Colors"), this);
    auto* grid = new QGridLayout(frame);
    int row = 0;
    for (const ColorRow& entry : kColorRows) {
        auto* sample = new QLabel(QString::fromLatin1(entry.sample), frame);
        sample->setAutoFillBackground(true);
        sample->setFont(ReadFont(settings_, QString::fromLatin1(entry.font), 10));
        sample->setObjectName(QString::fromLatin1(entry.fgKey) + QLatin1String("Sample"));
        const ColorPair pair {QString::fromLatin1(entry.fgKey), QString::fromLatin1(entry.bgKey),
            QString::fromLatin1(entry.font), sample};
        colorPairs_.push_back(pair);
        ShowSample(pair);
        grid->addWidget(sample, row, 0);
        int column = 1;
        for (const QString& key : {pair.fgKey, pair.bgKey}) {
            auto* button = new QPushButton(key.endsWith(QLatin1String("FG"))
                    ? QStringLiteral("Text...")
                    : QStringLiteral("Background..."),
                frame);
            button->setObjectName(key);
            connect(button, &QPushButton::clicked, this, [this, key] { ChooseColor(key); });
            grid->addWidget(button, row, column++);
        }
        ++row;
    }
    return frame;
}

void CShelfOptionsPage::ShowSample(const ColorPair& pair)
{
    QPalette palette = pair.sample->palette();
    palette.setColor(QPalette::WindowText, Color(pair.fgKey));
    palette.setColor(QPalette::Window, Color(pair.bgKey));
    pair.sample->setPalette(palette);
}

void CShelfOptionsPage::ChooseColor(const QString& key)
{
    const std::optional<QColor> chosen = chooseColor_(this, Color(key));
    if (!chosen)
        return;
    settings_.WriteProfileInt(kSettings, key, qint32(ToColorRef(*chosen)));
    for (const ColorPair& pair : colorPairs_)
        if (pair.fgKey == key || pair.bgKey == key)
            ShowSample(pair);
    Q_EMIT settingChanged(key);
}

QWidget* CShelfOptionsPage::CreateChecks()
{
    auto* box = new QWidget(this);
    auto* frames = new QHBoxLayout;
    auto* behaviour = new QVBoxLayout;
    for (const auto& [announcement, title] : kGridFrames) {
        auto* frame = new QGroupBox(QString::fromLatin1(title), box);
        new QVBoxLayout(frame);
        frame->setObjectName(QString::fromUtf16(announcement));
        frames->addWidget(frame);
    }
    for (const ShelfViewSetting& setting : ShelfViewSettings()) {
        const QString section = setting.section.toString();
        const QString key = setting.key.toString();
        const QString announcement = setting.announcement.toString();
        auto* frame = box->findChild<QGroupBox*>(announcement);
        auto* check = new QCheckBox(setting.label.toString(), frame ? frame : box);
        check->setObjectName(section + u'/' + key);
        check->setChecked(settings_.GetProfileInt(section, key, setting.defaultValue ? 1 : 0) != 0);
        connect(check, &QCheckBox::toggled, this, [this, section, key, announcement](bool on) {
            settings_.WriteProfileInt(section, key, on ? 1 : 0);
            Q_EMIT settingChanged(announcement);
        });
        if (frame)
            frame->layout()->addWidget(check);
        else
            behaviour->addWidget(check);
    }
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(frames);
    layout->addLayout(behaviour);
    return box;
}

QWidget* CShelfOptionsPage::CreateClearType()
{
    auto* check = new QCheckBox(QStringLiteral("Use cleartype"), this);
    check->setObjectName(QStringLiteral("UseClearType"));
    check->setChecked(settings_.GetProfileInt(kSettings, check->objectName(), 0) != 0);
    connect(check, &QCheckBox::toggled, this, [this](bool on) {
        settings_.WriteProfileInt(kSettings, QStringLiteral("UseClearType"), on ? 1 : 0);
        for (const FontRow& entry : kFontRows) {
            const QString key = QString::fromLatin1(entry.key);
            WriteFontSetting(
                settings_, key, ReadFontSetting(settings_, key, entry.points, logicalDpiY()));
        }
        // The fonts are read with the quality this sets, so their views read them again.
        for (const char* name : {"UseClearType", "BookViewFont", "BookDetailsFont", "LogViewFont"})
            Q_EMIT settingChanged(QString::fromLatin1(name));
    });
    return check;
}

QWidget* CShelfOptionsPage::CreateDoubleClick()
{
    auto* row = new QWidget(this);
    auto* combo = new QComboBox(row);
    combo->setObjectName(QStringLiteral("DoubleClickStyle"));
    // In alphabetical order, which is also the order of the stored values.
    combo->addItems({QStringLiteral("Open book in reader"), QStringLiteral("Open properties")});
    const qint32 stored = settings_.EnsureProfileInt(kBooksView, combo->objectName(), 0);
    combo->setCurrentIndex(stored >= 0 && stored < combo->count() ? stored : 0);
    connect(combo, &QComboBox::activated, this, [this](int index) {
        settings_.WriteProfileInt(kBooksView, QStringLiteral("DoubleClickStyle"), index);
        Q_EMIT settingChanged(QStringLiteral("DoubleClickStyle"));
    });
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Double click on book..."), row));
    layout->addWidget(combo, 1);
    return row;
}

QWidget* CShelfOptionsPage::CreateGenreLanguage()
{
    auto* row = new QWidget(this);
    languages_ = new QComboBox(row);
    languages_->setObjectName(QStringLiteral("GenreLang"));
    FillLanguages();
    connect(languages_, &QComboBox::activated, this, &CShelfOptionsPage::LanguageChosen);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Genre language:"), row));
    layout->addWidget(languages_, 1);
    return row;
}

void CShelfOptionsPage::FillLanguages()
{
    QList<LanguageEntry> languages = ProgramGenreDictionary().Languages();
    std::sort(languages.begin(), languages.end(),
        [](const LanguageEntry& a, const LanguageEntry& b) { return a.name < b.name; });
    const QString stored
        = settings_.GetProfileString(QString(), QStringLiteral("GenreLang"), QStringLiteral("en"));
    languages_->clear();
    int selected = 0;
    for (const LanguageEntry& language : languages) {
        if (EqualsNoCase(language.code, stored))
            selected = languages_->count();
        languages_->addItem(language.name, language.code);
    }
    languages_->setCurrentIndex(languages_->count() > 0 ? selected : -1);
}

void CShelfOptionsPage::LanguageChosen(int index)
{
    const QString code = languages_->itemData(index).toString();
    settings_.WriteProfileString(QString(), QStringLiteral("GenreLang"), code);
    QString error;
    if (!LoadProgramGenreDictionary(settings_, &error))
        showMessage_(this, error);
    Q_EMIT settingChanged(QStringLiteral("GenreLang"));
    // The names may be another language's now.
    FillLanguages();
}

} // namespace lbv
