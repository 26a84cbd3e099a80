#pragma once

#include "platform/CollectionViewItem.h"

#include <QDateTime>
#include <QString>

#include <memory>

namespace Ui {
class RMRecentOpenCell;
}

class CollectionView;
class CollectionViewDataSource;
class CollectionViewDelegate;
class RMRecentOpenCellDelegate;

// One row of the recent-files list: the file's name without its extension, the time it was
// last opened from the start window, and a delete button shown while the list is in edit
// mode. Rows alternate their background's strength.
//
// Every row follows the list's edit mode as kEditNotification announces it.
//
// GUI thread only.
class RMRecentOpenCell : public CollectionViewItem {
    Q_OBJECT

public:
    // Posted with the new edit mode as a boolean.
    static inline const QString kEditNotification =
        QStringLiteral("__Recent_FileInfos_Edit_Notification__");
    // The identifier the rows are made under.
    static inline const QString kIdentifier = QStringLiteral("RMRecentOpenCell");

    // Makes list a list of recent files: rows of this kind, told to owner, one row always
    // selected.
    static void setUpList(CollectionView* list, CollectionViewDataSource* dataSource,
                          CollectionViewDelegate* delegate);

    explicit RMRecentOpenCell(QObject* parent = nullptr);
    ~RMRecentOpenCell() override;

    Ui::RMRecentOpenCell& ui() { return *ui_; }

    // Not owned; told when the row's delete button is pressed.
    void setRecentDelegate(RMRecentOpenCellDelegate* delegate) { recentDelegate_ = delegate; }
    QString filePath() const { return filePath_; }

    // Shows path as row index; date null shows the present time.
    void updateWithFilePath(const QString& path, int index, bool isEdit, const QDateTime& date);
    void deleteClickHandler();

private:
    void eidtNotificationHandler(bool isEdit);

    std::unique_ptr<Ui::RMRecentOpenCell> ui_;
    RMRecentOpenCellDelegate* recentDelegate_ = nullptr;
    QString filePath_;
};
