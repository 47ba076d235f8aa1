#pragma once
// The Shelf sub-page of the Options page: colours, grid lines and the shelf's behaviour. Every
// change is written at once and announced by its name; there is no OK or Apply.
#include <QColor>
#include <QFont>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;

namespace lbv {

class SettingsStore;

class CShelfOptionsPage : public QWidget {
    Q_OBJECT
public:
    // Asks for a colour starting from the given one; null when cancelled.
    using ColorChooser = std::function<std::optional<QColor>(QWidget*, const QColor&)>;
    using FontChooser = std::function<std::optional<QFont>(QWidget*, const QFont&)>;
    using MessageShower = std::function<void(QWidget*, const QString&)>;

    explicit CShelfOptionsPage(SettingsStore& settings, QWidget* parent = nullptr);

    void SetColorChooser(ColorChooser chooser) { chooseColor_ = std::move(chooser); }
    void SetFontChooser(FontChooser chooser) { chooseFont_ = std::move(chooser); }
    void SetMessageShower(MessageShower shower) { showMessage_ = std::move(shower); }

Q_SIGNALS:
    void settingChanged(const QString& name);

private:
    struct ColorPair {
        QString fgKey;
        QString bgKey;
        QString fontKey;
        QLabel* sample;
    };

    QWidget* CreateFonts();
    void ChooseFont(const QString& key, int points);
    QWidget* CreateColors();
    QWidget* CreateChecks();
    QWidget* CreateDoubleClick();
    QWidget* CreateClearType();
    QWidget* CreateGenreLanguage();
    // Lists the dictionary's languages by name and selects the stored one.
    void FillLanguages();
    void LanguageChosen(int index);
    void ChooseColor(const QString& key);
    void ShowSample(const ColorPair& pair);
    // The stored colour, or its default (written outside autorun) when absent.
    QColor Color(const QString& key);

    SettingsStore& settings_;
    ColorChooser chooseColor_;
    FontChooser chooseFont_;
    MessageShower showMessage_;
    QComboBox* languages_ = nullptr;
    std::vector<ColorPair> colorPairs_;
};

} // namespace lbv
