#pragma once

#include "range/RMPageRangeEditor.h"

#include <QDialog>
#include <QStringList>

#include <memory>

namespace Ui {
class RMPageRangeWindowController;
}

class RMPageRangeInfoDelegate;

// The page range sheet: the editor in which the user chooses the pages a batch crop covers,
// on the editing window.
//
// Before every showing the owner sets the page count and calls rangeWindowWillShow(): an
// empty list gets the entry "1 - N" for every page, the toggles follow the list, and a
// snapshot of the list is taken. Done hands a copy of the list to the delegate and takes a
// new snapshot; Cancel (or Escape) tells the delegate and puts the snapshot back. Return in
// a range field adds the range; elsewhere it presses Done. The delegate closes the sheet;
// without one it stays.
//
// The sheet lives as long as its window, so the list and the fields keep their values from
// one showing to the next. GUI thread only.
class RMPageRangeWindowController : public QDialog {
    Q_OBJECT

public:
    explicit RMPageRangeWindowController(QWidget* parent = nullptr);
    ~RMPageRangeWindowController() override;

    Ui::RMPageRangeWindowController& ui() { return *ui_; }
    RMPageRangeEditor& editor() { return *editor_; }

    // Not owned.
    void setPageRangeDelegate(RMPageRangeInfoDelegate* delegate) { pageRangeDelegate_ = delegate; }
    qint64 pageAmount() const { return pageAmount_; }
    void setPageAmount(qint64 pageAmount);
    const QStringList& originalPageRangeTypeArray() const { return originalPageRangeTypeArray_; }

    void rangeWindowWillShow();
    void okClickHandler();
    void cancelClickHandler();
    // Escape and the window's close button cancel.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Places the toggles, fields and buttons relative to the labels.
    void installConstraints();

    std::unique_ptr<Ui::RMPageRangeWindowController> ui_;
    std::unique_ptr<RMPageRangeEditor> editor_;
    RMPageRangeInfoDelegate* pageRangeDelegate_ = nullptr;
    qint64 pageAmount_ = 0;
    QStringList originalPageRangeTypeArray_;
};
