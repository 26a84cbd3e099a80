#include "editor/DocumentNotices.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QLabel>

QLabel* DocumentNotices::show(const QString& notice) {
    auto* banner = new QLabel(notice);
    banner->setObjectName(QStringLiteral("documentNotice"));
    banner->setWordWrap(true);
    banner->setStyleSheet(
        QStringLiteral("#documentNotice { background: #5a4a1e; color: #f2e6c8; padding: 8px 14px; "
                       "font-size: 12px; }"));
    layout_.insertWidget(position_, banner);
    return banner;
}

void DocumentNotices::showFileChanged(const QString& name, bool cropsCanBeSaved) {
    const QString notice =
        (cropsCanBeSaved
             ? QCoreApplication::translate(
                   "DocumentNotices",
                   "“%1” was changed, replaced or removed by another program after Cropmark "
                   "opened it. This window still shows the version it read, and your crops can "
                   "still be saved with that version. Open the file again to see what is there "
                   "now.")
             : QCoreApplication::translate(
                   "DocumentNotices",
                   "“%1” was changed by another program after Cropmark opened it, so this window "
                   "no longer shows the file, and its crops can no longer be saved. Open it again "
                   "to crop its new version."))
            .arg(name);
    if (fileChanged_)
        fileChanged_->setText(notice);
    else
        fileChanged_ = show(notice);
}

void DocumentNotices::fileSavedOver() {
    delete fileChanged_;
}
