#pragma once

#include "range/RMPageRangeEditor.h"

#include <QWidget>

#include <memory>

namespace Ui {
class RMPageRangeViewController;
}

class RMPageRangeInfoDelegate;

// The page range editor as a page of the settings window, for the selection every document's
// batch crops start from (PageRangeSettings): ranges are taken as typed; Done keeps the
// selection shown, Cancel shows the one kept again, and each tells the delegate, if one is
// set.
//
// GUI thread only.
class RMPageRangeViewController : public QWidget {
    Q_OBJECT

public:
    explicit RMPageRangeViewController(QWidget* parent = nullptr);
    ~RMPageRangeViewController() override;

    Ui::RMPageRangeViewController& ui() { return *ui_; }
    RMPageRangeEditor& editor() { return *editor_; }
    // Not owned.
    void setPageRangeDelegate(RMPageRangeInfoDelegate* delegate) { pageRangeDelegate_ = delegate; }

    void okClickHandler();
    void cancelClickHandler();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void installConstraints();
    // The selection kept, in the editor.
    void showSaved();

    std::unique_ptr<Ui::RMPageRangeViewController> ui_;
    std::unique_ptr<RMPageRangeEditor> editor_;
    RMPageRangeInfoDelegate* pageRangeDelegate_ = nullptr;
};
