#include "range/RMPageRangeViewController.h"

#include "range/PageRangeSettings.h"
#include "range/RMPageRangeInfoDelegate.h"
#include "ui_RMPageRangeViewController.h"

RMPageRangeViewController::RMPageRangeViewController(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::RMPageRangeViewController>()) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(RMPageRangeEditor::styleSheet());
    editor_ = std::make_unique<RMPageRangeEditor>(RMPageRangeControls::of(*ui_),
                                                  RMPageRangeEditor::Form::Tab);
    connect(ui_->okBtn, &SWSTAnswerButton::clicked, this,
            &RMPageRangeViewController::okClickHandler);
    connect(ui_->cancelBtn, &SWSTAnswerButton::clicked, this,
            &RMPageRangeViewController::cancelClickHandler);
    installConstraints();
    showSaved();
}

RMPageRangeViewController::~RMPageRangeViewController() = default;

void RMPageRangeViewController::okClickHandler() {
    PageRangeSettings::setStartingSelection(editor_->rangeTypeArray());
    if (pageRangeDelegate_)
        pageRangeDelegate_->applyPageRangeSettingWithPageArray(editor_->rangeTypeArray());
}

void RMPageRangeViewController::cancelClickHandler() {
    showSaved();
    if (pageRangeDelegate_)
        pageRangeDelegate_->cancelPageRangeSetting();
}

void RMPageRangeViewController::showSaved() {
    editor_->setRangeTypeArray(PageRangeSettings::startingSelection());
    editor_->syncWithList();
}

void RMPageRangeViewController::showEvent(QShowEvent* event) {
    // Another window's settings may have changed it since.
    showSaved();
    QWidget::showEvent(event);
}

void RMPageRangeViewController::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    installConstraints();
}

void RMPageRangeViewController::installConstraints() {
    const QRect end = ui_->endPageField->geometry();
    ui_->addBtn->setGeometry(end.x() + end.width() + 7, end.y() + (end.height() - 28) / 2, 28, 28);
    const QRect suggest = ui_->suggestLabel->geometry();
    // The five toggles in a column under the hint, 7 apart.
    int top = suggest.y() + suggest.height() + 10;
    for (SWSTAnswerButton* toggle : editor_->controls().toggles()) {
        toggle->setGeometry(suggest.x(), top, 180, 22);
        top += 22 + 7;
    }
    ui_->okBtn->setGeometry(suggest.x() + 180 - 80, height() - 20 - 28, 80, 28);
    ui_->cancelBtn->setGeometry(ui_->okBtn->x() - 7 - 80, ui_->okBtn->y(), 80, 28);
}
