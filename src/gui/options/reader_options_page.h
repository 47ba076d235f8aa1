#pragma once
// The Reader sub-page of the Options page: how the open book is read (its document kind and code
// page), the display, the progress bar, the colours, and the Styles and Buttons dialogs. Every
// change is written at once and announced by the name of its group, so the open book follows.
#include "gui/common/color_chooser.h"
#include "reader/reader_settings.h"
#include "text/messages.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QCheckBox;
class QComboBox;
class QDialog;
class QFontComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace lbv {

class CReaderColorTable;
class CReaderView;

class CReaderOptionsPage : public QWidget {
    Q_OBJECT
public:
    // Runs a modal dialog; true when it was accepted.
    using DialogRunner = std::function<bool(QDialog&)>;

    explicit CReaderOptionsPage(SettingsStore& settings, QWidget* parent = nullptr);

    // The view whose book the Format group reads another way; without one the group is disabled.
    void SetReaderView(CReaderView* view);
    void SetColorChooser(ColorChooser chooser);
    void SetDialogRunner(DialogRunner runner) { runDialog_ = std::move(runner); }

Q_SIGNALS:
    void settingChanged(const QString& name);

protected:
    // The view changes some of these values itself (rotation), so they are shown afresh.
    void showEvent(QShowEvent* event) override;

private:
    QWidget* CreateFormat();
    QWidget* CreateDisplay();
    QWidget* CreateProgressBar();
    QWidget* CreateColors();
    QWidget* CreateButtons();
    QCheckBox* AddCheck(QWidget* parent, Msg text, const QString& name);
    QSpinBox* AddNumber(QWidget* parent, const QString& name, int minimum, int maximum);
    // Shows the stored values without writing anything back.
    void LoadControls();
    void RefreshFormat();
    void ReopenBook();
    void StoreDisplay();
    void ShowFontSample();
    void StoreProgressBar(const QString& key);
    void EditDictionaries();
    void EditStyles();
    void EditButtons();
    void Announce(const QString& name);

    SettingsStore& settings_;
    QPointer<CReaderView> view_;
    DialogRunner runDialog_;
    bool loading_ = false;
    QString fontFace_;
    QComboBox* fileFormat_ = nullptr;
    QComboBox* encoding_ = nullptr;
    QComboBox* defaultEncoding_ = nullptr;
    QFontComboBox* font_ = nullptr;
    QLabel* fontSample_ = nullptr;
    QSpinBox* fontSize_ = nullptr;
    QCheckBox* bold_ = nullptr;
    QComboBox* smoothing_ = nullptr;
    QComboBox* rotate_ = nullptr;
    QSpinBox* columns_ = nullptr;
    QSpinBox* margins_ = nullptr;
    QCheckBox* justify_ = nullptr;
    QCheckBox* hyphenate_ = nullptr;
    QCheckBox* showProgress_ = nullptr;
    QList<QCheckBox*> progressItems_;
    CReaderColorTable* colors_ = nullptr;
    QCheckBox* oneLineLess_ = nullptr;
};

} // namespace lbv
