#include "dialogs/frmString.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/QtText.h"
#include "dialogs/DialogMetrics.h"
#include "dialogs/ItemValidation.h"
#include "dialogs/ShowError.h"
#include "platform/Platform.h"

namespace kelbo {

frmString::frmString(Session& session, Platform& platform, int selectedIndex, QWidget* parent)
    : QDialog(parent), session_(session), platform_(platform), selectedIndex_(selectedIndex) {
    setObjectName(QStringLiteral("frmString"));
    setWindowTitle(QStringLiteral("  STRING"));
    setFont(classicFont());
    setFixedDialogFrame(this, 6690, 1200);

    label1_ = new QLabel(QStringLiteral("String"), this);
    label1_->setObjectName(QStringLiteral("label1"));
    placeTwips(label1_, 120, 160, 405, 195);
    label1_->adjustSize();

    Text1_ = new QLineEdit(this);
    Text1_->setObjectName(QStringLiteral("Text1"));
    placeTwips(Text1_, 720, 120, 5775, 285);

    Label2_ = new QLabel(QStringLiteral("Identificator"), this);
    Label2_->setObjectName(QStringLiteral("Label2"));
    placeTwips(Label2_, 120, 632, 825, 195);
    Label2_->adjustSize();

    Text2_ = new QLineEdit(this);
    Text2_->setObjectName(QStringLiteral("Text2"));
    placeTwips(Text2_, 1080, 600, 1095, 285);

    Label3_ = new QLabel(QStringLiteral("Only a number"), this);
    Label3_->setObjectName(QStringLiteral("Label3"));
    QPalette hint = Label3_->palette();
    hint.setColor(QPalette::WindowText, QColor::fromRgb(kRed));
    Label3_->setPalette(hint);
    placeTwips(Label3_, 2400, 600, 1020, 195);
    Label3_->adjustSize();

    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    placeTwips(cmdOK_, 4560, 600, 855, 375);

    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setAutoDefault(false);
    placeTwips(cmdCancel_, 5640, 600, 855, 375);

    setTabOrder(Text1_, Text2_);
    setTabOrder(Text2_, cmdOK_);
    setTabOrder(cmdOK_, cmdCancel_);
    connect(cmdOK_, &QPushButton::clicked, this, &frmString::accept);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmString::reject);

    if (!session_.EditedLine.empty()) {
        const EditedParts parts = splitEditedLine(session_.EditedLine);
        const QString text = toQt(parts.rest);
        // The limit is on typing: a longer text from a project file is shown whole, not cut.
        Text1_->setMaxLength(qMax(kMaxTypedLength, static_cast<int>(text.size())));
        Text1_->setText(text);
        Text2_->setText(toQt(parts.identifier));
    } else {
        Text1_->setMaxLength(kMaxTypedLength);
    }

    centreWindow(*this);
    Text1_->setFocus();
}

void frmString::accept() {
    char32_t bad = 0;
    const std::optional<std::string> identifier = toCp1252(Text2_->text(), &bad);
    const std::optional<std::string> text =
        identifier ? toCp1252(Text1_->text(), &bad) : std::nullopt;
    if (!text) {
        platform_.beep();
        platform_.messageBox(this, QString::fromUtf8(unrepresentableMessage(bad)),
                             QStringLiteral("ERROR"), Platform::BoxIcon::Stop,
                             Platform::BoxButtons::Ok);
        return;
    }
    const ItemCheck check = checkStringItem(*identifier, *text);
    if (!check.ok()) {
        ShowError(platform_, this, check.errorCode);
        return;
    }
    if (session_.EditedLine.empty())
        session_.appendItem(ResourceKind::String, check.line);
    else
        session_.replaceItem(ResourceKind::String, selectedIndex_, check.line);
    QDialog::accept();
}

} // namespace kelbo
