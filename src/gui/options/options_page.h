#pragma once
// The Options page: one sub-page per part of the program whose options it holds.
#include <QWidget>

class QTabWidget;

namespace lbv {

class CImportOptionsPage;
class CReaderOptionsPage;
class CReaderView;
class CShelfOptionsPage;
class SettingsStore;

class COptionsPage : public QWidget {
    Q_OBJECT
public:
    explicit COptionsPage(SettingsStore& settings, QWidget* parent = nullptr);

    CShelfOptionsPage* ShelfOptions() const { return shelf_; }
    CReaderOptionsPage* ReaderOptions() const { return reader_; }
    // The reader view whose open book the Reader tab's Format group reads another way.
    void SetReaderView(CReaderView* view);
    // Null in autorun mode, where nothing is imported and its options would not be kept.
    CImportOptionsPage* ImportOptions() const { return import_; }

Q_SIGNALS:
    // An option was written; the views that show it read it again.
    void settingChanged(const QString& name);

private:
    QTabWidget* tabs_;
    CShelfOptionsPage* shelf_;
    CReaderOptionsPage* reader_;
    CImportOptionsPage* import_ = nullptr;
};

} // namespace lbv
