#include "app/RecentFilesMenu.h"

#include "app/RMFileInfosManager.h"

#include <QDir>
#include <QFileInfo>

RecentFilesMenu::RecentFilesMenu(std::function<void(const QString& path)> open, QWidget* parent)
    : QMenu(tr("Open &Recent"), parent), open_(std::move(open)) {
    setToolTipsVisible(true);
    connect(this, &QMenu::aboutToShow, this, &RecentFilesMenu::fill);
    // A menu bar shows a submenu's own enabled state: an empty list is greyed out at once.
    fill();
}

void RecentFilesMenu::fill() {
    clear();
    const auto& files = RMFileInfosManager::sharedInstance().fileInfoArray();
    for (auto file = files.rbegin(); file != files.rend(); ++file) {
        const QString path = file->filePath;
        QAction* item = addAction(QFileInfo(path).fileName(), this, [this, path] { open_(path); });
        item->setToolTip(QDir::toNativeSeparators(path));
    }
    addSeparator();
    QAction* clearing = addAction(tr("Clear Menu"), this,
                                  [] { RMFileInfosManager::sharedInstance().clearFiles(); });
    clearing->setEnabled(!files.empty());
}
