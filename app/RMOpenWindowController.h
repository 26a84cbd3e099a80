#pragma once

#include "platform/CollectionViewDataSource.h"
#include "platform/CollectionViewDelegate.h"

#include <QWidget>

#include <memory>

namespace Ui {
class RMOpenWindowController;
}

// A plain window on the recent-files list: one row per recorded file, shown as the row's
// layout holds it, and reloaded on every change of the list from any thread. Choosing a row
// does nothing; the start window is where files open.
//
// GUI thread only, but for refreshInfosList().
class RMOpenWindowController : public QWidget,
                               public CollectionViewDataSource,
                               public CollectionViewDelegate {
    Q_OBJECT

public:
    explicit RMOpenWindowController(QWidget* parent = nullptr);
    ~RMOpenWindowController() override;

    Ui::RMOpenWindowController& ui() { return *ui_; }

    // Reloads the list on the GUI thread: at once when called there, queued otherwise.
    void refreshInfosList();

    int numberOfItemsInSection(CollectionView* view, int section) override;
    CollectionViewItem* itemForRepresentedObjectAtIndexPath(CollectionView* view,
                                                            const IndexPath& indexPath) override;
    QSizeF sizeForItemAtIndexPath(CollectionView* view, CollectionViewFlowLayout* layout,
                                  const IndexPath& indexPath) override;

private:
    void windowDidLoad();

    std::unique_ptr<Ui::RMOpenWindowController> ui_;
};
