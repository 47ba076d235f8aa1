#include "gui/reader/file_info_dialog.h"

#include "text/messages.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

static void InitNoticeResources()
{
    Q_INIT_RESOURCE(reader_notices);
}

namespace lbv {

QString LibraryNotices()
{
    InitNoticeResources();
    QStringList notices;
    for (const char* name : {"expat", "libjpeg", "libpng", "zlib"}) {
        QFile file(QStringLiteral(":/notices/") + QLatin1String(name));
        if (file.open(QIODevice::ReadOnly))
            notices << QString::fromUtf8(file.readAll()).trimmed();
    }
    return notices.join(QLatin1String("\n\n"));
}

CFileInfoDialog::CFileInfoDialog(const QStringList& description, QWidget* parent)
    : QDialog(parent)
    , description_(description.join(u'\n'))
    , text_(new QPlainTextEdit(this))
{
    setWindowTitle(MessageText(Msg::FileInfoTitle));
    text_->setObjectName(QStringLiteral("information"));
    text_->setReadOnly(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    toggle_ = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    toggle_->setObjectName(QStringLiteral("toggle"));
    connect(toggle_, &QPushButton::clicked, this, &CFileInfoDialog::Toggle);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addWidget(buttons);
    resize(520, 360);
    Toggle();
}

void CFileInfoDialog::Toggle()
{
    showingNotices_ = !showingNotices_;
    text_->setPlainText(showingNotices_ ? LibraryNotices() : description_);
    toggle_->setText(
        MessageText(showingNotices_ ? Msg::FileInfoShowDescription : Msg::FileInfoShowNotices));
}

QString CFileInfoDialog::ShownText() const
{
    return text_->toPlainText();
}

} // namespace lbv
