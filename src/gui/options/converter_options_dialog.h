#pragma once
// The converter options: the switches, linked documents, text format, headers expression and
// the two rule lists of section "Any2FB2". Each control shows the value a conversion would
// apply, and every change is written at once and announced by its name; an expression that
// doesn't compile is shown with its reason and not written, since it would fail every conversion.
#include "gui/common/header_persistence.h"
#include "text/messages.h"

#include <QDialog>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;

namespace lbv {

class CGridTreeView;
class SettingsStore;
struct ConverterSetting;

class CConverterOptionsDialog : public QDialog {
    Q_OBJECT
public:
    // Without a converter to take the options every control is disabled.
    CConverterOptionsDialog(
        SettingsStore& settings, bool converterAvailable, QWidget* parent = nullptr);
    ~CConverterOptionsDialog() override;

Q_SIGNALS:
    void settingChanged(const QString& name);

private:
    struct RuleList {
        CGridTreeView* view;
        HeaderPersistence header;
    };

    QWidget* CreateSwitches();
    QWidget* CreateLinks();
    QWidget* CreateTextFormat();
    QWidget* CreateExpression(QWidget* parent, const char16_t* name);
    QWidget* CreateRuleList(const char16_t* name, Msg title);
    QWidget* CreateSwitch(QWidget* parent, const char16_t* name, Msg label);
    void Write(const ConverterSetting& setting, const QVariant& value, const QString& announcement);
    void ShowProblem(const QString& problem);
    void FollowLinksChanged(bool on);

    SettingsStore& settings_;
    QLabel* problem_ = nullptr;
    QComboBox* depth_ = nullptr;
    std::vector<QWidget*> followedOnly_; // enabled while "Follow links" is checked
    std::vector<RuleList> ruleLists_;
};

} // namespace lbv
