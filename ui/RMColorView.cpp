#include "ui/RMColorView.h"

#include "ui/LayerStyle.h"
#include "ui/RMDragDropViewDelegate.h"

#include <QDropEvent>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

namespace {

QStringList localPaths(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

} // namespace

RMColorView::RMColorView(QWidget* parent) : QWidget(parent) {
    setAcceptDrops(true);
}

void RMColorView::setBackColor(const QColor& color) {
    backColor_ = color;
    update();
}

void RMColorView::setViewCorner(qreal radius) {
    viewCorner_ = radius;
    update();
}

void RMColorView::paintEvent(QPaintEvent*) {
    if (!backColor_.isValid())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    LayerStyle style;
    style.cornerRadius = viewCorner_;
    style.backgroundColor = backColor_;
    style.paintBackground(painter, rect());
}

void RMColorView::dragEnterEvent(QDragEnterEvent* event) {
    if (localPaths(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void RMColorView::dropEvent(QDropEvent* event) {
    const QStringList paths = localPaths(event->mimeData());
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (delegate_ && !paths.isEmpty())
        delegate_->dragDropViewFileList(paths);
}
