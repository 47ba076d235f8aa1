#pragma once
// The "New shelf" wizard: the structure page picks the file-name mask and the compression, the
// location page the folder for the index and the books and the index file's name.
#include <QString>
#include <QWizard>
#include <QWizardPage>

class QButtonGroup;
class QCheckBox;
class QLineEdit;

namespace lbv {

struct NewLibraryChoice {
    QString fileNameMask;
    bool compressFiles = false;
    QString folder;
    QString indexName;

    QString IndexPath() const; // the folder joined with the index name
};

class CStructurePage : public QWizardPage {
    Q_OBJECT
public:
    explicit CStructurePage(QWidget* parent = nullptr);
    // An empty mask would file every book under one name; one with ".." or an absolute part
    // would file them outside the library.
    bool isComplete() const override;

    QString Mask() const;
    bool Compress() const;

private:
    void ChoosePreset(int id);

    QButtonGroup* choices_;
    QLineEdit* mask_;
    QCheckBox* compress_;
};

class CLocationPage : public QWizardPage {
    Q_OBJECT
public:
    explicit CLocationPage(QWidget* parent = nullptr);
    bool isComplete() const override; // Finish only with both the folder and the name

    QString Folder() const;
    QString IndexName() const;

private:
    void BrowseFolder();

    QLineEdit* folder_;
    QLineEdit* indexName_;
};

class CNewLibraryWizard : public QWizard {
    Q_OBJECT
public:
    explicit CNewLibraryWizard(QWidget* parent = nullptr);
    NewLibraryChoice Choice() const;

    CStructurePage* StructurePage() const { return structure_; }
    CLocationPage* LocationPage() const { return location_; }

private:
    CStructurePage* structure_;
    CLocationPage* location_;
};

} // namespace lbv
