#include "gui/shell/new_library_wizard.h"

#include "catalog/file_name_mask.h"
#include "text/messages.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

template <typename T> T* Child(QWidget& parent, const char* name)
{
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

bool ShowsText(QWidget& parent, const QString& text)
{
    for (const QLabel* label : parent.findChildren<QLabel*>())
        if (label->text() == text)
            return true;
    return false;
}

} // namespace

TEST(NewLibraryWizard, StructurePageOffersThePresetsWithTheirExamples)
{
    CNewLibraryWizard wizard;
    EXPECT_EQ(wizard.windowTitle(), QStringLiteral("New shelf"));
    CStructurePage& page = *wizard.StructurePage();
    const QList<MaskPreset>& presets = MaskPresets();
    ASSERT_EQ(presets.size(), 5);
    for (int i = 0; i < presets.size(); ++i) {
        auto* choice = Child<QRadioButton>(page, QStringLiteral("preset%1").arg(i).toLatin1());
        EXPECT_EQ(choice->text(), presets[i].mask);
        EXPECT_TRUE(ShowsText(page, presets[i].example)) << i;
    }
    EXPECT_TRUE(ShowsText(page, MessageText(Msg::MaskHintPlaceholders)));
    EXPECT_TRUE(ShowsText(page, MessageText(Msg::MaskHintTransliteration)));
    EXPECT_EQ(Child<QCheckBox>(page, "useZip")->text(), QStringLiteral("Use ZIP compression"));

    // At start: the first preset, its mask, no compression.
    EXPECT_TRUE(Child<QRadioButton>(page, "preset0")->isChecked());
    EXPECT_EQ(page.Mask(), QStringLiteral("%f %l\\%f %l. %t"));
    EXPECT_FALSE(page.Compress());
}

TEST(NewLibraryWizard, ChoosingAPresetFillsTheMaskAndOtherKeepsIt)
{
    CNewLibraryWizard wizard;
    CStructurePage& page = *wizard.StructurePage();
    auto* mask = Child<QLineEdit>(page, "mask");

    Child<QRadioButton>(page, "preset4")->click();
    EXPECT_EQ(page.Mask(), QStringLiteral("%l %f. %t"));
    Child<QRadioButton>(page, "presetOther")->click();
    EXPECT_EQ(page.Mask(), QStringLiteral("%l %f. %t"));

    Child<QRadioButton>(page, "preset1")->click();
    mask->selectAll();
    QTest::keyClicks(mask, QStringLiteral("%G\\%t"));
    EXPECT_TRUE(Child<QRadioButton>(page, "presetOther")->isChecked());
    EXPECT_EQ(page.Mask(), QStringLiteral("%G\\%t"));

    // An empty mask would give every book the same name.
    mask->clear();
    EXPECT_FALSE(page.isComplete());

    // A mask leading out of the library is refused, with the reason on the page.
    QTest::keyClicks(mask, QStringLiteral("..\\escaped\\%t"));
    EXPECT_FALSE(page.isComplete());
    EXPECT_EQ(Child<QLabel>(page, "maskProblem")->text(),
        FileNameMaskProblem(QStringLiteral("..\\escaped\\%t")));
    mask->setText(QStringLiteral("%l\\%t"));
    EXPECT_TRUE(page.isComplete());
    EXPECT_TRUE(Child<QLabel>(page, "maskProblem")->text().isEmpty());
}

TEST(NewLibraryWizard, FinishNeedsBothTheFolderAndTheIndexName)
{
    CNewLibraryWizard wizard;
    wizard.show();
    Child<QCheckBox>(*wizard.StructurePage(), "useZip")->setChecked(true);
    EXPECT_FALSE(wizard.button(QWizard::FinishButton)->isVisible()
        && wizard.button(QWizard::FinishButton)->isEnabled());
    wizard.next();
    ASSERT_EQ(wizard.currentPage(), wizard.LocationPage());

    CLocationPage& page = *wizard.LocationPage();
    auto* folder = Child<QLineEdit>(page, "folder");
    auto* name = Child<QLineEdit>(page, "indexName");
    EXPECT_EQ(name->text(), QStringLiteral("index.lvf"));
    EXPECT_TRUE(folder->text().isEmpty());
    QAbstractButton* finish = wizard.button(QWizard::FinishButton);
    EXPECT_FALSE(finish->isEnabled());

    folder->setText(QStringLiteral("/home/reader/Books"));
    EXPECT_TRUE(finish->isEnabled());
    name->clear();
    EXPECT_FALSE(finish->isEnabled());
    name->setText(QStringLiteral("shelf.lvf"));
    EXPECT_TRUE(finish->isEnabled());
    EXPECT_NE(Child<QAbstractButton>(page, "browseFolder"), nullptr);

    const NewLibraryChoice choice = wizard.Choice();
    EXPECT_EQ(choice.fileNameMask, QStringLiteral("%f %l\\%f %l. %t"));
    EXPECT_TRUE(choice.compressFiles);
    EXPECT_EQ(choice.IndexPath(), QStringLiteral("/home/reader/Books/shelf.lvf"));
}
