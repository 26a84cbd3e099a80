#include "app/RMOpenWindowController.h"

#include "app/RMFileInfosManager.h"
#include "app/RMRecentOpenCell.h"
#include "platform/CollectionView.h"
#include "platform/NotificationCenter.h"
#include "ui_RMOpenWindowController.h"

#include <QPointer>
#include <QThread>

namespace {

constexpr double kRowHeight = 100;

} // namespace

RMOpenWindowController::RMOpenWindowController(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::RMOpenWindowController>()) {
    ui_->setupUi(this);
    windowDidLoad();
}

RMOpenWindowController::~RMOpenWindowController() {
    NotificationCenter::defaultCenter().removeObserver(this);
    ui_->recentCollectionView->setDataSource(nullptr);
    ui_->recentCollectionView->setDelegate(nullptr);
}

void RMOpenWindowController::windowDidLoad() {
    NotificationCenter::defaultCenter().addObserver(
        this, RMFileInfosManager::kUpdateNotification,
        [this](const Notification&) { refreshInfosList(); });
    CollectionView* list = ui_->recentCollectionView;
    RMRecentOpenCell::setUpList(list, this, this);
    list->selectItemsAtIndexPaths({IndexPath{0, 0}}, CollectionView::ScrollPosition::None);
}

void RMOpenWindowController::refreshInfosList() {
    if (QThread::currentThread() == thread()) {
        ui_->recentCollectionView->reloadData();
        return;
    }
    // A window closed before the queued reload runs is skipped.
    QPointer<RMOpenWindowController> self(this);
    QMetaObject::invokeMethod(
        this,
        [self] {
            if (self)
                self->ui_->recentCollectionView->reloadData();
        },
        Qt::QueuedConnection);
}

int RMOpenWindowController::numberOfItemsInSection(CollectionView*, int) {
    return int(RMFileInfosManager::sharedInstance().fileInfoArray().size());
}

CollectionViewItem*
RMOpenWindowController::itemForRepresentedObjectAtIndexPath(CollectionView* view,
                                                            const IndexPath& indexPath) {
    // Shown as the row's layout holds it.
    return view->makeItemWithIdentifier(RMRecentOpenCell::kIdentifier, indexPath);
}

QSizeF RMOpenWindowController::sizeForItemAtIndexPath(CollectionView* view,
                                                      CollectionViewFlowLayout*, const IndexPath&) {
    return QSizeF(view->width(), kRowHeight);
}
