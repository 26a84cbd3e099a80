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

void DocumentNotices::showFileChanged(const QString& name) {
    if (fileChanged_)
        return;
    fileChanged_ =
        show(QCoreApplication::translate(
                 "DocumentNotices",
                 "“%1” was changed by another program after Cropmark opened it, so this window no "
                 "longer shows the file. Open it again to reload its new version.")
                 .arg(name));
}

void DocumentNotices::fileSavedOver() {
    delete fileChanged_;
}
