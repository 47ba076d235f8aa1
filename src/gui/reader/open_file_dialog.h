#pragma once
// "Open file": the folder list with its location above it. Folders and ZIP archives are entered
// by activating them, so a member inside an archive is chosen like any file. It starts where the
// last book was chosen (Parameters/OpenPath) and stores the chosen file's location back there.
#include "reader/document_factory.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace lbv {

class ReaderDialogs;
class SettingsStore;

class COpenFileDialog : public QDialog {
    Q_OBJECT
public:
    // The store and the dialogs must outlive the dialog.
    COpenFileDialog(SettingsStore& store, const BookSourceOptions& options, ReaderDialogs& dialogs,
        QWidget* parent = nullptr);

    // Lists a folder, an archive or a folder inside one; false (the error shown, the list kept)
    // when it can't be listed.
    bool Enter(const QString& location);
    const QString& Location() const { return location_; }
    // The reader path chosen on accept.
    const QString& ChosenPath() const { return chosen_; }

    void accept() override;

private:
    void Activate();

    SettingsStore& store_;
    BookSourceOptions options_;
    ReaderDialogs& dialogs_;
    QLabel* path_;
    QListWidget* list_;
    QPushButton* open_;
    QString location_;
    QString chosen_;
};

} // namespace lbv
