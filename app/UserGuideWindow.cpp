#include "app/UserGuideWindow.h"

#include "ui/SecondaryWindow.h"

#include <QTextDocument>
#include <QUrl>

UserGuideWindow::UserGuideWindow(QWidget* parent)
    : QTextBrowser(parent), secondary_(new SecondaryWindow(*this)) {
    // The guide is compiled into a static library, whose linker keeps it only when named.
    Q_INIT_RESOURCE(guide);
    setWindowFlag(Qt::Window);
    setWindowTitle(tr("Cropmark User Guide"));
    setOpenExternalLinks(true);
    document()->setDocumentMargin(16);
    setSource(QUrl(QStringLiteral("qrc:/guide/user-guide.html")));
    resize(640, 720);
}

void UserGuideWindow::showOver(QWidget* window) {
    secondary_->showOver(window);
}
