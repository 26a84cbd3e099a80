#include "range/RMPageRangeWindowController.h"

#include "crop/PageSelection.h"
#include "range/RMPageRangeInfoDelegate.h"
#include "ui_RMPageRangeWindowController.h"

#include <QKeyEvent>

RMPageRangeWindowController::RMPageRangeWindowController(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::RMPageRangeWindowController>()) {
    ui_->setupUi(this);
    setWindowModality(Qt::WindowModal);
    setFixedSize(size());
    setStyleSheet(RMPageRangeEditor::styleSheet());
    editor_ = std::make_unique<RMPageRangeEditor>(RMPageRangeControls::of(*ui_),
                                                  RMPageRangeEditor::Form::Sheet);
    connect(ui_->okBtn, &SWSTAnswerButton::clicked, this,
            &RMPageRangeWindowController::okClickHandler);
    connect(ui_->cancelBtn, &SWSTAnswerButton::clicked, this,
            &RMPageRangeWindowController::cancelClickHandler);
    installConstraints();
    editor_->syncWithList();
}

RMPageRangeWindowController::~RMPageRangeWindowController() = default;

void RMPageRangeWindowController::setPageAmount(qint64 pageAmount) {
    pageAmount_ = pageAmount;
    editor_->setPageAmount(pageAmount);
}

void RMPageRangeWindowController::rangeWindowWillShow() {
    if (editor_->rangeTypeArray().isEmpty())
        editor_->addOrRemoveWithRangeTypeStr(PageSelection::rangeEntry(1, pageAmount_), ui_->addBtn,
                                             true);
    editor_->syncWithList();
    editor_->refreshOkBtn();
    originalPageRangeTypeArray_ = editor_->rangeTypeArray();
}

void RMPageRangeWindowController::okClickHandler() {
    // A copy: what the sheet edits later never reaches the window before the next Done.
    const QStringList selection = editor_->rangeTypeArray();
    if (pageRangeDelegate_)
        pageRangeDelegate_->applyPageRangeSettingWithPageArray(selection);
    originalPageRangeTypeArray_ = editor_->rangeTypeArray();
}

void RMPageRangeWindowController::cancelClickHandler() {
    if (pageRangeDelegate_)
        pageRangeDelegate_->cancelPageRangeSetting();
    // The toggles and tags follow at the next showing.
    editor_->setRangeTypeArray(originalPageRangeTypeArray_);
}

void RMPageRangeWindowController::reject() {
    cancelClickHandler();
}

void RMPageRangeWindowController::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (ui_->okBtn->isEnabled())
            okClickHandler();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void RMPageRangeWindowController::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    installConstraints();
}

void RMPageRangeWindowController::installConstraints() {
    const QRect suggest = ui_->suggestLabel->geometry();
    const QRect range = ui_->rangeLabel->geometry();
    // The five toggles in a column under the hint, 10 apart.
    int top = suggest.y() + suggest.height() + 10;
    for (SWSTAnswerButton* toggle : editor_->controls().toggles()) {
        toggle->setGeometry(range.x(), top, 180, 22);
        top += 22 + 10;
    }
    const int right = range.x() + 180;
    ui_->okBtn->setGeometry(right - 80, height() - 20 - 28, 80, 28);
    ui_->cancelBtn->setGeometry(range.x(), ui_->okBtn->y(), 80, 28);
    const int fieldTop = range.y() + range.height() + 12;
    ui_->startPageField->setGeometry(range.x(), fieldTop, 64, 21);
    ui_->addBtn->setGeometry(right - 28, fieldTop + (21 - 28) / 2, 28, 28);
    ui_->endPageField->setGeometry(ui_->addBtn->x() - 15 - 64, fieldTop, 64, 21);
}
