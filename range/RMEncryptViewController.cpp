#include "range/RMEncryptViewController.h"

#include "range/EncryptSettings.h"
#include "ui_RMEncryptViewController.h"

RMEncryptViewController::RMEncryptViewController(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::RMEncryptViewController>()) {
    ui_->setupUi(this);
    // The choice applies at once, to the next save of every window.
    connect(ui_->removesPasswordButton, &QRadioButton::toggled, this,
            &EncryptSettings::setRemovesPassword);
}

RMEncryptViewController::~RMEncryptViewController() = default;

Ui::RMEncryptViewController& RMEncryptViewController::ui() {
    return *ui_;
}

void RMEncryptViewController::showEvent(QShowEvent* event) {
    // Another window's settings may have changed it since.
    const bool removes = EncryptSettings::removesPassword();
    ui_->removesPasswordButton->setChecked(removes);
    ui_->keepsPasswordButton->setChecked(!removes);
    QWidget::showEvent(event);
}
