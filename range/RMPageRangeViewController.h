#pragma once

#include "range/RMPageRangeEditor.h"

#include <QWidget>

#include <memory>

namespace Ui {
class RMPageRangeViewController;
}

class RMPageRangeInfoDelegate;

// The page range editor as a page of the settings window: ranges are taken as typed, Done and
// Cancel only tell the delegate, if one is set, and nothing else.
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

private:
    void installConstraints();

    std::unique_ptr<Ui::RMPageRangeViewController> ui_;
    std::unique_ptr<RMPageRangeEditor> editor_;
    RMPageRangeInfoDelegate* pageRangeDelegate_ = nullptr;
};
