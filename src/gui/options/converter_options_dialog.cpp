#include "gui/options/converter_options_dialog.h"

#include "convert/converter_options.h"
#include "gui/options/regex_rule_list.h"
#include "settings/settings_store.h"
#include "text/messages.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lbv {

namespace {

const QString kSection = QStringLiteral("Any2FB2");

// The check boxes' labels, by value name; the link group's three are placed with it.
const std::pair<const char16_t*, Msg> kSwitchLabels[] = {
    {u"PreserveForm", Msg::ConverterPreserveForm},
    {u"NoConvertCharset", Msg::ConverterNoConvertCharset},
    {u"NoEpigraphs", Msg::ConverterNoEpigraphs},
    {u"NoEmptyLine", Msg::ConverterNoEmptyLine},
    {u"NoDescription", Msg::ConverterNoDescription},
    {u"NoQuotes", Msg::ConverterNoQuotes},
    {u"NoFootnotes", Msg::ConverterNoFootnotes},
    {u"NoItalic", Msg::ConverterNoItalic},
    {u"NoRestoreBrokenParas", Msg::ConverterNoRestoreBrokenParas},
    {u"NoPoems", Msg::ConverterNoPoems},
    {u"OnlyHHeaders", Msg::ConverterOnlyHHeaders},
    {u"IgnoreIndent", Msg::ConverterIgnoreIndent},
    {u"ConvertDash", Msg::ConverterConvertDash},
    {u"RemoveAllImages", Msg::ConverterRemoveAllImages},
    {u"RemoveOffsiteImages", Msg::ConverterRemoveOffsiteImages},
    {u"PreserveDynamicImages", Msg::ConverterPreserveDynamicImages},
    {u"Alow1000Fix", Msg::ConverterAlow1000Fix},
    {u"RemoveExternalLinks", Msg::ConverterRemoveExternalLinks},
    {u"FollowLinks", Msg::ConverterFollowLinks},
    {u"FollowOffsiteLinks", Msg::ConverterFollowOffsiteLinks},
};
constexpr int kLinkSwitches = 3; // the last three above

const std::pair<const char16_t*, Msg> kTextFormats[] = {
    {u"Auto", Msg::ConverterTextAuto},
    {u"Indented", Msg::ConverterTextIndented},
    {u"EmptyLines", Msg::ConverterTextEmptyLines},
};

constexpr int kDepthChoices = 6; // 0 .. 5, more when a deeper one is stored

const ConverterSetting& Setting(const char16_t* name)
{
    return *FindConverterSetting(name);
}

QString Announcement(const ConverterSetting& setting)
{
    return (setting.kind == ConverterValueKind::Switch ? u"Any2DB2_" : u"Any2FB2_")
        + setting.Name();
}

GridLines RuleListGrid(SettingsStore& settings)
{
    const auto on = [&](const char* name, int fallback) {
        return settings.GetProfileInt(kSection, QString::fromLatin1(name), fallback) != 0;
    };
    return {on("ShowHGrid", 1), on("ShowVGrid", 1), on("ShowHGridEx", 1)};
}

} // namespace

CConverterOptionsDialog::CConverterOptionsDialog(
    SettingsStore& settings, bool converterAvailable, QWidget* parent)
    : QDialog(parent)
    , settings_(settings)
{
    setWindowTitle(MessageText(Msg::ConverterOptionsTitle));
    auto* content = new QWidget(this);
    auto* columns = new QHBoxLayout(content);
    columns->setContentsMargins(0, 0, 0, 0);
    auto* left = new QVBoxLayout;
    left->addWidget(CreateSwitches());
    left->addWidget(CreateTextFormat());
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(CreateLinks());
    auto* headers = new QWidget(content);
    auto* headersLayout = new QVBoxLayout(headers);
    headersLayout->setContentsMargins(0, 0, 0, 0);
    headersLayout->addWidget(new QLabel(MessageText(Msg::ConverterHeadersRegexp), headers));
    headersLayout->addWidget(CreateExpression(headers, u"HeadersRegexp"));
    right->addWidget(headers);
    right->addWidget(CreateRuleList(u"OnLoad", Msg::ConverterOnLoadRules));
    right->addWidget(CreateRuleList(u"OnResult", Msg::ConverterOnResultRules));
    columns->addLayout(left);
    columns->addLayout(right, 1);

    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("problem"));
    problem_->setWordWrap(true);
    QPalette palette = problem_->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    problem_->setPalette(palette);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(content, 1);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
    FollowLinksChanged(ReadConverterSetting(settings_, Setting(u"FollowLinks")).toInt() != 0);
    // Room for the rule lists' two columns.
    resize(sizeHint().expandedTo(QSize(760, 0)));
    if (!converterAvailable) {
        content->setEnabled(false);
        problem_->setText(MessageText(Msg::ConverterMissing));
    }
}

CConverterOptionsDialog::~CConverterOptionsDialog()
{
    for (const RuleList& list : ruleLists_)
        list.header.Store(settings_, *list.view->header());
}

void CConverterOptionsDialog::Write(
    const ConverterSetting& setting, const QVariant& value, const QString& announcement)
{
    WriteConverterSetting(settings_, setting, value);
    Q_EMIT settingChanged(announcement);
}

void CConverterOptionsDialog::ShowProblem(const QString& problem)
{
    problem_->setText(
        problem.isEmpty() ? QString() : MessageText(Msg::ConverterValueNotSaved).arg(problem));
}

QWidget* CConverterOptionsDialog::CreateSwitch(QWidget* parent, const char16_t* name, Msg label)
{
    const ConverterSetting& setting = Setting(name);
    auto* check = new QCheckBox(MessageText(label), parent);
    check->setObjectName(setting.Name());
    check->setChecked(ReadConverterSetting(settings_, setting).toInt() != 0);
    connect(check, &QCheckBox::toggled, this,
        [this, &setting](bool on) { Write(setting, on ? 1 : 0, Announcement(setting)); });
    return check;
}

QWidget* CConverterOptionsDialog::CreateSwitches()
{
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i + kLinkSwitches < std::size(kSwitchLabels); ++i)
        layout->addWidget(CreateSwitch(box, kSwitchLabels[i].first, kSwitchLabels[i].second));
    return box;
}

QWidget* CConverterOptionsDialog::CreateLinks()
{
    auto* frame = new QGroupBox(MessageText(Msg::ConverterLinkedDocuments), this);
    auto* grid = new QGridLayout(frame);
    int row = 0;
    for (std::size_t i = std::size(kSwitchLabels) - kLinkSwitches; i < std::size(kSwitchLabels);
         ++i) {
        QWidget* check = CreateSwitch(frame, kSwitchLabels[i].first, kSwitchLabels[i].second);
        grid->addWidget(check, row++, 0, 1, 2);
        if (QStringView(kSwitchLabels[i].first) == u"FollowLinks")
            connect(static_cast<QCheckBox*>(check), &QCheckBox::toggled, this,
                &CConverterOptionsDialog::FollowLinksChanged);
        else if (QStringView(kSwitchLabels[i].first) == u"FollowOffsiteLinks")
            followedOnly_.push_back(check);
    }

    const ConverterSetting& depthSetting = Setting(u"LinkDepth");
    depth_ = new QComboBox(frame);
    depth_->setObjectName(depthSetting.Name());
    const int stored = qMax(0, ReadConverterSetting(settings_, depthSetting).toInt());
    for (int depth = 0; depth < qMax(kDepthChoices, stored + 1); ++depth)
        depth_->addItem(QString::number(depth));
    depth_->setCurrentIndex(stored);
    connect(depth_, &QComboBox::activated, this, [this, &depthSetting](int index) {
        Write(depthSetting, index, Announcement(depthSetting));
    });
    auto* depthLabel = new QLabel(MessageText(Msg::ConverterLinkDepth), frame);
    grid->addWidget(depthLabel, row, 0);
    grid->addWidget(depth_, row++, 1, Qt::AlignLeft);
    followedOnly_.insert(followedOnly_.end(), {depthLabel, depth_});

    for (const auto& [name, label] : {std::pair {u"OnlyFollowLinks", Msg::ConverterOnlyFollowLinks},
             std::pair {u"NeverFollowLinks", Msg::ConverterNeverFollowLinks}}) {
        auto* title = new QLabel(MessageText(label), frame);
        QWidget* edit = CreateExpression(frame, name);
        grid->addWidget(title, row++, 0, 1, 2);
        grid->addWidget(edit, row++, 0, 1, 2);
        followedOnly_.insert(followedOnly_.end(), {title, edit});
    }
    return frame;
}

void CConverterOptionsDialog::FollowLinksChanged(bool on)
{
    // Without "Follow links" no link is followed, so its details are not offered.
    for (QWidget* widget : followedOnly_)
        widget->setEnabled(on);
}

QWidget* CConverterOptionsDialog::CreateTextFormat()
{
    const ConverterSetting& setting = Setting(u"TextFormat");
    auto* frame = new QGroupBox(MessageText(Msg::ConverterTextFormat), this);
    auto* layout = new QVBoxLayout(frame);
    auto* group = new QButtonGroup(frame);
    const QString stored = ReadConverterSetting(settings_, setting).toString();
    for (const auto& [value, label] : kTextFormats) {
        const QString text = QString::fromUtf16(value);
        auto* button = new QRadioButton(MessageText(label), frame);
        button->setObjectName(u"TextFormat_" + text);
        button->setChecked(text == stored);
        group->addButton(button);
        layout->addWidget(button);
        connect(button, &QRadioButton::toggled, this, [this, &setting, text](bool on) {
            if (on)
                Write(setting, text, Announcement(setting));
        });
    }
    return frame;
}

QWidget* CConverterOptionsDialog::CreateExpression(QWidget* parent, const char16_t* name)
{
    const ConverterSetting& setting = Setting(name);
    auto* edit = new QLineEdit(ReadConverterSetting(settings_, setting).toString(), parent);
    edit->setObjectName(setting.Name());
    edit->setCursorPosition(0); // a long expression is read from its start
    connect(edit, &QLineEdit::textEdited, this, [this, edit, &setting](const QString& text) {
        // The converter's own check, so what is written is what a conversion accepts.
        ConverterOptions check;
        QString problem;
        const bool valid = check.Set(QString::fromUtf16(setting.property), text, &problem);
        QPalette palette = edit->palette();
        palette.setColor(
            QPalette::Text, valid ? QApplication::palette().color(QPalette::Text) : Qt::red);
        edit->setPalette(palette);
        edit->setToolTip(valid ? QString() : problem);
        ShowProblem(valid ? QString() : problem);
        if (valid)
            Write(setting, text, Announcement(setting));
    });
    return edit;
}

QWidget* CConverterOptionsDialog::CreateRuleList(const char16_t* name, Msg title)
{
    const ConverterSetting& setting = Setting(name);
    auto* box = new QWidget(this);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(MessageText(title), box));

    auto* model = new CRegexRuleModel(box);
    model->SetRules(SplitRegexRules(ReadConverterSetting(settings_, setting).toString()));
    auto* delegate = new CRegexRuleDelegate;
    auto* view = new CGridTreeView(delegate, box);
    view->setObjectName(setting.Name());
    view->setRootIsDecorated(false);
    view->setModel(model);
    view->SetGridLines(RuleListGrid(settings_));
    view->setEditTriggers(QAbstractItemView::AllEditTriggers);
    layout->addWidget(view);
    connect(
        delegate, &CRegexRuleDelegate::problemShown, this, &CConverterOptionsDialog::ShowProblem);
    connect(model, &CRegexRuleModel::rulesEdited, this, [this, model, &setting] {
        const QString problem = model->Problem();
        ShowProblem(problem);
        if (problem.isEmpty())
            Write(setting, JoinRegexRules(model->Rules()), Announcement(setting));
    });

    view->header()->resizeSection(CRegexRuleModel::ExpressionColumn, 240);
    // The widths are kept under one name, read and written alike.
    HeaderPersistence header(kSection, setting.Name() + u"HeaderItem_%1");
    header.Restore(settings_, *view->header(), CRegexRuleModel::ColumnCount);
    ruleLists_.push_back({view, std::move(header)});
    return box;
}

} // namespace lbv
