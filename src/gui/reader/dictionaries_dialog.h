#pragma once
// "Dictionaries": the dictionary list with "Dictionary disabled" first. A file is added only
// when it opens as a dictionary; OK stores the list and the chosen entry and announces
// ReaderCurrentDict.
#include "reader/dictionary_list.h"

#include <QDialog>
#include <memory>

class QListWidget;
class QPushButton;

namespace lbv {

class ReaderDialogs;
class SettingsStore;

class CDictionariesDialog : public QDialog {
    Q_OBJECT
public:
    // The store must outlive the dialog; without dialogs it asks with real message boxes and
    // file dialogs.
    explicit CDictionariesDialog(
        SettingsStore& store, QWidget* parent = nullptr, ReaderDialogs* dialogs = nullptr);
    ~CDictionariesDialog() override;

    // The list as edited so far, the highlighted entry current.
    DictionaryList Edited() const;

    void accept() override;

Q_SIGNALS:
    void settingChanged(const QString& name);

private:
    void Fill(int current);
    void Add();
    void Remove();

    SettingsStore& store_;
    std::unique_ptr<ReaderDialogs> ownDialogs_;
    ReaderDialogs& dialogs_;
    DictionaryList list_;
    QListWidget* entries_;
    QPushButton* remove_;
};

} // namespace lbv
