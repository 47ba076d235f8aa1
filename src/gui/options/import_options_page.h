#pragma once
// The Import sub-page of the Options page: the folders, switches, mask and choices an import
// run reads when it starts, and the way to the converter options. Every change is written at
// once and announced by the setting's name.
#include <QWidget>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace lbv {

class SettingsStore;

class CImportOptionsPage : public QWidget {
    Q_OBJECT
public:
    // Asks for a folder starting from the given one; empty when cancelled.
    using FolderChooser = std::function<QString(QWidget*, const QString&)>;
    // Shows the converter options; announcements come back through the given callback.
    using ConverterOptionsOpener
        = std::function<void(QWidget*, SettingsStore&, std::function<void(const QString&)>)>;

    explicit CImportOptionsPage(SettingsStore& settings, QWidget* parent = nullptr);

    void SetFolderChooser(FolderChooser chooser) { chooseFolder_ = std::move(chooser); }
    void SetConverterOptionsOpener(ConverterOptionsOpener opener)
    {
        openConverterOptions_ = std::move(opener);
    }

Q_SIGNALS:
    void settingChanged(const QString& name);

private:
    QWidget* CreateFolders();
    QWidget* CreateChecks();
    QWidget* CreateMask();
    QWidget* CreateChoices();
    void ChooseFolder(QLineEdit* edit);
    void WriteText(const QString& key, const QString& value);
    void WriteNumber(const QString& key, int value);
    // The example name under "Result:", from what the controls show.
    void ShowMaskExample();

    SettingsStore& settings_;
    FolderChooser chooseFolder_;
    ConverterOptionsOpener openConverterOptions_;
    QLineEdit* convertedFolder_ = nullptr;
    QLineEdit* mask_ = nullptr;
    QCheckBox* useZip_ = nullptr;
    QLabel* maskExample_ = nullptr;
};

} // namespace lbv
