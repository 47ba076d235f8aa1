#pragma once
// The two-column editable list of a rule list ("expression", "replacement"): a model over the
// rules with one blank row at the end for a new rule, and a view whose editors check the rule
// as the user types.
#include "convert/converter_options.h"
#include "gui/common/grid_tree_view.h"

#include <QAbstractTableModel>

namespace lbv {

class CRegexRuleModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ExpressionColumn, ReplacementColumn, ColumnCount };

    explicit CRegexRuleModel(QObject* parent = nullptr)
        : QAbstractTableModel(parent)
    {
    }

    void SetRules(QList<RegexRuleText> rules);
    const QList<RegexRuleText>& Rules() const { return rules_; }
    // The first rule's problem, empty when every rule can be stored.
    QString Problem() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Typing into the blank row adds a rule; emptying both columns of a rule removes it.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

Q_SIGNALS:
    void rulesEdited();

private:
    QList<RegexRuleText> rules_;
};

// Edits a cell in a line editor that turns red, with the reason as its tool tip and in
// problemShown, while the row it would make can't be stored.
class CRegexRuleDelegate : public CGridDelegate {
    Q_OBJECT
public:
    using CGridDelegate::CGridDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;

Q_SIGNALS:
    void problemShown(const QString& problem) const;
};

} // namespace lbv
