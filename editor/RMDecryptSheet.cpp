#include "editor/RMDecryptSheet.h"

#include "ui/ColorHex.h"
#include "ui/RMTextField.h"
#include "ui/SWSTAnswerButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

void setTextColor(QLabel* label, quint32 rgb) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ColorHex::colorWithRGB(rgb));
    label->setPalette(palette);
}

} // namespace

RMDecryptSheet::RMDecryptSheet(const QString& documentName, QWidget* parent)
    : QDialog(parent), infoLabel_(new QLabel(this)), passwordField_(new RMTextField(this)),
      wrongLabel_(new QLabel(this)), doneButton_(new SWSTAnswerButton(this)),
      cancelButton_(new SWSTAnswerButton(this)) {
    setWindowModality(Qt::WindowModal);
    setWindowTitle(tr("Password"));
    setStyleSheet("RMDecryptSheet { background: #2b2b2b; } RMTextField { background: #191919; "
                  "color: #e6e6e6; border: 1px solid #434343; border-radius: 3px; padding: 3px; }");
    infoLabel_->setText(
        tr("“%1” is protected with a password. Enter it to open the document.").arg(documentName));
    infoLabel_->setWordWrap(true);
    setTextColor(infoLabel_, 0xAFAFAF);
    wrongLabel_->setText(tr("That password is not correct. Please try again."));
    setTextColor(wrongLabel_, 0xEC695E);
    wrongLabel_->setVisible(false);
    passwordField_->setEchoMode(QLineEdit::Password);
    passwordField_->setMinimumWidth(280);
    passwordField_->setDidChangeBlock([this] { wrongLabel_->setVisible(false); });
    passwordField_->setDidEndBlock([] {});
    doneButton_->setConfigKey("Decrypt_Done_Btn");
    cancelButton_->setConfigKey("Decrypt_Cancel_Btn");
    connect(doneButton_, &SWSTAnswerButton::clicked, this,
            [this] { emit tryPassword(passwordField_->text()); });
    connect(passwordField_, &QLineEdit::returnPressed, this,
            [this] { emit tryPassword(passwordField_->text()); });
    connect(cancelButton_, &SWSTAnswerButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelButton_);
    buttons->addWidget(doneButton_);
    auto* layout = new QVBoxLayout(this);
    // The sheet grows and shrinks with the wrong-password message; nothing in it is squeezed.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(12);
    layout->addWidget(infoLabel_);
    layout->addWidget(passwordField_);
    layout->addWidget(wrongLabel_);
    layout->addLayout(buttons);
}

void RMDecryptSheet::showWrongPassword() {
    wrongLabel_->setVisible(true);
    passwordField_->clear();
    passwordField_->setFocus();
}
