#include "ui/SecondaryWindow.h"

#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

// From low, as far into [low, low + room) as a length fits; at low when it does not.
int keptIn(int position, int length, int low, int room) {
    return std::max(low, std::min(position, low + room - length));
}

} // namespace

SecondaryWindow::SecondaryWindow(QWidget& window) : QObject(&window), window_(window) {
    QList<QKeySequence> keys{QKeySequence(Qt::Key_Escape)};
    keys += QKeySequence::keyBindings(QKeySequence::Close);
    // A desktop without a key scheme of its own has no Close key; Ctrl+W is the usual one.
    const QKeySequence ctrlW(Qt::CTRL | Qt::Key_W);
    if (!keys.contains(ctrlW))
        keys.append(ctrlW);
    auto* close = new QAction(this);
    close->setShortcuts(keys);
    connect(close, &QAction::triggered, &window_, &QWidget::close);
    window_.addAction(close);
    window_.installEventFilter(this);
}

void SecondaryWindow::showOver(QWidget* over) {
    over_ = over;
    window_.show();
    over_ = nullptr;
    window_.raise();
    window_.activateWindow();
}

QPoint SecondaryWindow::centredOver(const QSize& frame, const QRect& parentFrame,
                                    const QRect& available) {
    const int x = parentFrame.x() + (parentFrame.width() - frame.width()) / 2;
    const int y = parentFrame.y() + (parentFrame.height() - frame.height()) / 2;
    return QPoint(keptIn(x, frame.width(), available.x(), available.width()),
                  keptIn(y, frame.height(), available.y(), available.height()));
}

bool SecondaryWindow::eventFilter(QObject* watched, QEvent* event) {
    // Sent before the window is mapped, so it appears in its place. A spontaneous one is the
    // window coming back from the task bar, where the user left it.
    if (watched == &window_ && event->type() == QEvent::Show && !event->spontaneous())
        place();
    return QObject::eventFilter(watched, event);
}

void SecondaryWindow::place() {
    // The active window is the one this was opened from: a window being shown is not active
    // yet.
    const QWidget* over = over_ ? over_->window() : QApplication::activeWindow();
    const QScreen* screen = over ? over->screen() : window_.screen();
    const QRect available = screen->availableGeometry();
    const QRect parentFrame = over ? over->frameGeometry() : available;
    window_.move(centredOver(window_.frameGeometry().size(), parentFrame, available));
}
