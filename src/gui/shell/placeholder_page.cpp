#include "gui/shell/placeholder_page.h"

#include <QLabel>
#include <QVBoxLayout>

namespace lbv {

CPlaceholderPage::CPlaceholderPage(const QString& heading, const QString& description, QWidget* parent)
    : QWidget(parent)
    , status_(new QLabel(this))
{
    auto* title = new QLabel(heading, this);
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    font.setBold(true);
    title->setFont(font);

    auto* text = new QLabel(QStringLiteral("This page is still being built. It will hold: ") + description, this);
    text->setWordWrap(true);
    text->setTextFormat(Qt::PlainText);
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    status_->setTextFormat(Qt::PlainText);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(12);
    layout->addWidget(title);
    layout->addWidget(text);
    layout->addWidget(status_);
    layout->addStretch();
    // Tab focus lands on the page itself.
    setFocusPolicy(Qt::StrongFocus);
}

void CPlaceholderPage::SetStatus(const QString& text)
{
    status_->setText(text);
}

QString CPlaceholderPage::Status() const
{
    return status_->text();
}

} // namespace lbv
