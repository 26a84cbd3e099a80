#include "app/RMRecentOpenCell.h"

#include "app/RMRecentOpenCellDelegate.h"
#include "platform/CollectionView.h"
#include "platform/NotificationCenter.h"
#include "ui/RMUtil.h"
#include "ui_RMRecentOpenCell.h"

#include <QFileInfo>

RMRecentOpenCell::RMRecentOpenCell(QObject* parent)
    : CollectionViewItem(parent), ui_(std::make_unique<Ui::RMRecentOpenCell>()) {
    auto* view = new QWidget;
    ui_->setupUi(view);
    ui_->deleteBtn->setConfigKey(QStringLiteral("OpenPanel_Delete_Btn"));
    ui_->deleteBtn->setToolTip(tr("Remove from the list"));
    ui_->deleteBtn->hide();
    connect(ui_->deleteBtn, &SWSTAnswerButton::clicked, this,
            &RMRecentOpenCell::deleteClickHandler);
    NotificationCenter::defaultCenter().addObserver(
        this, kEditNotification,
        [this](const Notification& note) { eidtNotificationHandler(note.object.toBool()); });
    setView(view);
}

RMRecentOpenCell::~RMRecentOpenCell() = default;

void RMRecentOpenCell::setUpList(CollectionView* list, CollectionViewDataSource* dataSource,
                                 CollectionViewDelegate* delegate) {
    list->registerItem(kIdentifier, [] { return new RMRecentOpenCell; });
    list->setDelegate(delegate);
    list->setDataSource(dataSource);
    list->setSelectable(true);
    list->setAllowsEmptySelection(false);
    list->setAllowsMultipleSelection(false);
}

void RMRecentOpenCell::updateWithFilePath(const QString& path, int index, bool isEdit,
                                          const QDateTime& date) {
    filePath_ = path;
    // "Report.final.pdf" shows as "Report.final".
    ui_->nameLabel->setText(QFileInfo(path).completeBaseName());
    ui_->nameLabel->setToolTip(path);
    ui_->infoLabel->setText(
        RMUtil::dateStrFromDate(date.isValid() ? date : QDateTime::currentDateTime()));
    ui_->backView->setBackColor(QColor::fromRgbF(1, 1, 1, index % 2 == 1 ? 0.05f : 0.1f));
    ui_->deleteBtn->setVisible(isEdit);
}

void RMRecentOpenCell::eidtNotificationHandler(bool isEdit) {
    ui_->deleteBtn->setVisible(isEdit);
}

void RMRecentOpenCell::deleteClickHandler() {
    if (recentDelegate_)
        recentDelegate_->recentFileDidDeleteWithFilePath(filePath_);
}
