#include "range/RMSettingWindowController.h"

#include "range/RMEncryptViewController.h"
#include "range/RMOutputSetViewController.h"
#include "range/RMPageRangeViewController.h"
#include "ui/SecondaryWindow.h"
#include "ui/ViewAnimation.h"
#include "ui_RMSettingWindowController.h"

RMSettingWindowController::RMSettingWindowController(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::RMSettingWindowController>()),
      secondary_(new SecondaryWindow(*this)) {
    ui_->setupUi(this);
    windowDidLoad();
}

RMSettingWindowController::~RMSettingWindowController() = default;

void RMSettingWindowController::showOver(QWidget* window) {
    secondary_->showOver(window);
}

void RMSettingWindowController::windowDidLoad() {
    ui_->setPanel->setBackColor(QColor(0x23, 0x23, 0x23));
    ui_->animationView->setBackColor(QColor(0x64, 0x77, 0xf7));
    ui_->animationView->setViewCorner(2);
    ui_->rangeSetBtn->setConfigKey(QStringLiteral("Setting_Range_Btn"));
    ui_->saveSetBtn->setConfigKey(QStringLiteral("Setting_Output_Btn"));
    ui_->encryptSetBtn->setConfigKey(QStringLiteral("Setting_Encrypt_Btn"));
    connect(ui_->rangeSetBtn, &SWSTAnswerButton::clicked, this,
            &RMSettingWindowController::rangeSetHandler);
    connect(ui_->saveSetBtn, &SWSTAnswerButton::clicked, this,
            &RMSettingWindowController::saveSetHandler);
    connect(ui_->encryptSetBtn, &SWSTAnswerButton::clicked, this,
            &RMSettingWindowController::encryptSetHandler);

    outputSetViewCtrl_ = new RMOutputSetViewController(this);
    outputSetViewCtrl_->hide();
    encryptSetViewCtrl_ = new RMEncryptViewController(this);
    encryptSetViewCtrl_->hide();
    pageSetViewCtrl_ = new RMPageRangeViewController(this);
    placePages();
}

void RMSettingWindowController::rangeSetHandler() {
    choose(ui_->rangeSetBtn, pageSetViewCtrl_);
}

void RMSettingWindowController::saveSetHandler() {
    choose(ui_->saveSetBtn, outputSetViewCtrl_);
}

void RMSettingWindowController::encryptSetHandler() {
    choose(ui_->encryptSetBtn, encryptSetViewCtrl_);
}

void RMSettingWindowController::choose(SWSTAnswerButton* button, QWidget* page) {
    ViewAnimation::startAnimation(ui_->animationView, animationViewPointWithTargetView(button), 0);
    for (SWSTAnswerButton* tab : {ui_->rangeSetBtn, ui_->saveSetBtn, ui_->encryptSetBtn})
        tab->setSelected(tab == button);
    for (QWidget* shown : pages())
        shown->setVisible(shown == page);
}

QPoint RMSettingWindowController::animationViewPointWithTargetView(const QWidget* target) const {
    const QRect button = target ? target->geometry() : QRect();
    const int markerHeight = ui_->animationView->height();
    return QPoint(button.x() - 15, button.y() + (button.height() - markerHeight) / 2);
}

std::array<QWidget*, 3> RMSettingWindowController::pages() const {
    return {pageSetViewCtrl_, outputSetViewCtrl_, encryptSetViewCtrl_};
}

void RMSettingWindowController::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placePages();
}

void RMSettingWindowController::placePages() {
    const QRect panel = ui_->setPanel->geometry();
    const QRect area(panel.x() + panel.width(), 0, width() - panel.x() - panel.width(), height());
    for (QWidget* page : pages()) {
        if (page)
            page->setGeometry(area);
    }
}
