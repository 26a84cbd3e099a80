#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

// What the program's secondary windows (the settings, the user guide) have in common with the
// desktop's dialogs: Escape and the desktop's Close key (Ctrl+W, whatever else the desktop
// adds) close them, and each opens centred over the window it was opened from, within the
// free area of that window's screen.
//
// The window it opens over is the one handed to showOver(). A window shown with a plain
// show() opens over the window that was active then, which is the one whose menu or key
// opened it; with none active, it opens in the middle of its screen. Showing a window that is
// already shown does not move it, and restoring it from the task bar leaves it where it was.
//
// GUI thread only.
class SecondaryWindow : public QObject {
    Q_OBJECT

public:
    // Serves window, whose child it becomes.
    explicit SecondaryWindow(QWidget& window);

    // Shows the window, raised and active; over `over` if it was not shown yet (null: as a
    // plain show() would place it).
    void showOver(QWidget* over);

    // The top-left corner that centres a frame of the given size over parentFrame, moved in
    // as far as needed to lie within available. A frame larger than available keeps its
    // top-left corner in it, so that its title bar can be reached.
    static QPoint centredOver(const QSize& frame, const QRect& parentFrame, const QRect& available);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    QWidget& window_;
    QPointer<QWidget> over_;
};
