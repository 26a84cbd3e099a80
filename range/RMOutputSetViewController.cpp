#include "range/RMOutputSetViewController.h"

#include "range/OutputSettings.h"
#include "ui_RMOutputSetViewController.h"

RMOutputSetViewController::RMOutputSetViewController(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::RMOutputSetViewController>()) {
    ui_->setupUi(this);
    // Each choice applies at once, to the next save of every window.
    connect(ui_->opensSavedFileBox, &QCheckBox::toggled, this, &OutputSettings::setOpensSavedFile);
    connect(ui_->croppedNameButton, &QRadioButton::toggled, this,
            &OutputSettings::setProposesCroppedName);
    connect(ui_->keepsOriginalsBox, &QCheckBox::toggled, this,
            &OutputSettings::setKeepsOriginalBoxes);
    connect(ui_->removesOutsideBox, &QCheckBox::toggled, this, &OutputSettings::setRemovesOutside);
    // A save that removes what lies outside leaves nothing to restore; the choice to keep the
    // originals stays as it was for when removing is turned off again.
    connect(ui_->removesOutsideBox, &QCheckBox::toggled, ui_->keepsOriginalsBox,
            &QWidget::setDisabled);
}

RMOutputSetViewController::~RMOutputSetViewController() = default;

Ui::RMOutputSetViewController& RMOutputSetViewController::ui() {
    return *ui_;
}

void RMOutputSetViewController::showEvent(QShowEvent* event) {
    // Another window's settings may have changed them since.
    ui_->opensSavedFileBox->setChecked(OutputSettings::opensSavedFile());
    const bool cropped = OutputSettings::proposesCroppedName();
    ui_->croppedNameButton->setChecked(cropped);
    ui_->ownNameButton->setChecked(!cropped);
    ui_->keepsOriginalsBox->setChecked(OutputSettings::keepsOriginalBoxes());
    const bool removes = OutputSettings::removesOutside();
    ui_->removesOutsideBox->setChecked(removes);
    ui_->keepsOriginalsBox->setDisabled(removes);
    QWidget::showEvent(event);
}
