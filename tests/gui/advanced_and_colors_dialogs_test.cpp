#include "gui/reader/advanced_parameters_dialog.h"
#include "gui/reader/qt_text_measurer.h"
#include "gui/reader/reader_color_table.h"
#include "gui/reader/reader_colors_dialog.h"
#include "gui/reader/reader_view.h"
#include "reader/key_map.h"
#include "reader/reader_session.h"
#include "reader/reader_settings.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_store.h"

#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QSpinBox>
#include <QTimer>
#include <gtest/gtest.h>

using namespace lbv;

namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

// Runs a view command that opens a modal dialog, and lets `answer` fill it in and close it.
template<typename Dialog>
void AnswerDialog(
    CReaderView& view, ReaderCommand command, const std::function<void(Dialog&)>& answer)
{
    bool answered = false;
    QTimer::singleShot(0, &view, [&] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answered = true;
        answer(*dialog);
    });
    view.RunCommand(int(command));
    EXPECT_TRUE(answered);
}

class ReaderViewDialogsTest : public ::testing::Test {
protected:
    ReaderViewDialogsTest()
        : store(std::make_unique<MemorySettingsBackend>())
        , view(store, [](const QString&) {})
    {
        view.resize(200, 150);
    }

    SettingsStore store;
    CReaderView view;
};

TEST_F(ReaderViewDialogsTest, AdvancedParametersWriteOnlyWhatChangedClamped)
{
    store.WriteProfileInt(kParametersSection, S("FileBufSize"), 30000); // shown as 16 KB
    AnswerDialog<CAdvancedParametersDialog>(
        view, ReaderCommand::AdvancedParameters, [](CAdvancedParametersDialog& dialog) {
            EXPECT_EQ(dialog.findChild<QSpinBox*>(S("FileBufSize"))->value(), 16);
            EXPECT_EQ(dialog.findChild<QSpinBox*>(S("FontCacheSize"))->value(), 6);
            EXPECT_EQ(dialog.findChild<QSpinBox*>(S("NumBookmarks"))->minimum(), 1);
            dialog.findChild<QSpinBox*>(S("FileBufSize"))->setValue(100);
            dialog.findChild<QSpinBox*>(S("FontCacheSize"))->setValue(9);
            dialog.findChild<QCheckBox*>(S("AutoRepeatLimit"))->setChecked(true);
            dialog.accept();
        });
    EXPECT_EQ(store.ValueNames(kParametersSection),
        (QStringList {S("AutoRepeatLimit"), S("FileBufSize"), S("FontCacheSize")}));
    EXPECT_EQ(store.GetProfileInt(kParametersSection, S("FileBufSize"), 0), 65536);
    EXPECT_EQ(store.GetProfileInt(kParametersSection, S("FontCacheSize"), 0), 9);
    EXPECT_EQ(view.Measurer().FontCacheSize(), 9);
    EXPECT_EQ(view.Session().Parameters().autoRepeatLimit, 1);

    // Cancelled, nothing is written.
    AnswerDialog<CAdvancedParametersDialog>(
        view, ReaderCommand::AdvancedParameters, [](CAdvancedParametersDialog& dialog) {
            dialog.findChild<QSpinBox*>(S("NumBookmarks"))->setValue(3);
            dialog.reject();
        });
    EXPECT_EQ(store.ValueNames(kParametersSection).size(), 3);
}

TEST_F(ReaderViewDialogsTest, ColoursAndGammaAreWrittenWhenChangedAndThePageRedrawn)
{
    AnswerDialog<CReaderColorsDialog>(
        view, ReaderCommand::Colors, [](CReaderColorsDialog& dialog) {
            auto* gamma = dialog.findChild<QDoubleSpinBox*>(S("Gamma"));
            EXPECT_DOUBLE_EQ(gamma->value(), 2.2);
            CReaderColorTable* table = dialog.Table();
            table->SetColorChooser([](QWidget*, const QColor&) { return QColor(0, 0, 200); });
            table->findChild<QListWidget*>(S("readerColors"))
                ->setCurrentRow(int(ReaderColor::Background));
            table->ChangeSelected();
            gamma->setValue(1.5);
            dialog.accept();
        });
    EXPECT_EQ(store.ValueNames(kColorsSection), QStringList {S("Background")});
    EXPECT_EQ(store.GetProfileInt(kColorsSection, S("Background"), 0), 0xC80000);
    EXPECT_EQ(store.GetProfileInt(kParametersSection, S("Gamma"), 0), 1500000);
    EXPECT_EQ(view.Session().Parameters().gamma, 1500000);
    EXPECT_EQ(view.grab().toImage().pixelColor(1, 1), QColor(0, 0, 200));

    // Left alone, neither is written again.
    store.WriteProfileInt(kParametersSection, S("Gamma"), 0); // shown clamped as 1.0
    AnswerDialog<CReaderColorsDialog>(
        view, ReaderCommand::Colors, [](CReaderColorsDialog& dialog) { dialog.accept(); });
    EXPECT_EQ(store.GetProfileInt(kParametersSection, S("Gamma"), -1), 0);
}

} // namespace
