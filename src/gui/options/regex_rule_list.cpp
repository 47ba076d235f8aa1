#include "gui/options/regex_rule_list.h"

#include "text/messages.h"

#include <QApplication>
#include <QBrush>
#include <QLineEdit>
#include <QPalette>

namespace lbv {

namespace {

QString& Cell(RegexRuleText& rule, int column)
{
    return column == CRegexRuleModel::ExpressionColumn ? rule.expression : rule.replacement;
}

const QString& Cell(const RegexRuleText& rule, int column)
{
    return column == CRegexRuleModel::ExpressionColumn ? rule.expression : rule.replacement;
}

} // namespace

void CRegexRuleModel::SetRules(QList<RegexRuleText> rules)
{
    beginResetModel();
    rules_ = std::move(rules);
    endResetModel();
}

QString CRegexRuleModel::Problem() const
{
    for (const RegexRuleText& rule : rules_)
        if (QString problem = RegexRuleProblem(rule); !problem.isEmpty())
            return problem;
    return {};
}

int CRegexRuleModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rules_.size()) + 1;
}

int CRegexRuleModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CRegexRuleModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || index.row() >= rules_.size())
        return {};
    const RegexRuleText& rule = rules_[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return Cell(rule, index.column());
    case Qt::ToolTipRole:
    case Qt::ForegroundRole: {
        const QString problem = RegexRuleProblem(rule);
        if (problem.isEmpty())
            return {};
        return role == Qt::ToolTipRole ? QVariant(problem) : QVariant(QBrush(Qt::red));
    }
    default:
        return {};
    }
}

QVariant CRegexRuleModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return MessageText(
        section == ExpressionColumn ? Msg::ConverterRuleExpression : Msg::ConverterRuleReplacement);
}

Qt::ItemFlags CRegexRuleModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemNeverHasChildren;
}

bool CRegexRuleModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    const QString text = value.toString();
    const int row = index.row();
    if (row == rules_.size()) {
        if (text.isEmpty())
            return false;
        RegexRuleText rule;
        Cell(rule, index.column()) = text;
        // The new rule takes the blank row's place and a new blank row follows it.
        beginInsertRows({}, row + 1, row + 1);
        rules_.append(rule);
        endInsertRows();
        Q_EMIT dataChanged(index.siblingAtColumn(0), index.siblingAtColumn(ColumnCount - 1));
        Q_EMIT rulesEdited();
        return true;
    }
    if (Cell(rules_[row], index.column()) == text)
        return true;
    Cell(rules_[row], index.column()) = text;
    if (rules_[row].expression.isEmpty() && rules_[row].replacement.isEmpty()) {
        beginRemoveRows({}, row, row);
        rules_.removeAt(row);
        endRemoveRows();
    } else {
        Q_EMIT dataChanged(index.siblingAtColumn(0), index.siblingAtColumn(ColumnCount - 1));
    }
    Q_EMIT rulesEdited();
    return true;
}

QWidget* CRegexRuleDelegate::createEditor(
    QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    auto* editor = new QLineEdit(parent);
    const auto* model = qobject_cast<const CRegexRuleModel*>(index.model());
    const int row = index.row();
    const int column = index.column();
    connect(editor, &QLineEdit::textChanged, editor,
        [this, editor, model, row, column](const QString& text) {
            RegexRuleText rule
                = model && row < model->Rules().size() ? model->Rules()[row] : RegexRuleText();
            Cell(rule, column) = text;
            const QString problem = RegexRuleProblem(rule);
            QPalette palette = editor->palette();
            palette.setColor(QPalette::Text,
                problem.isEmpty() ? QApplication::palette().color(QPalette::Text) : Qt::red);
            editor->setPalette(palette);
            editor->setToolTip(problem);
            Q_EMIT problemShown(problem);
        });
    return editor;
}

} // namespace lbv
