#pragma once

#include <QPointF>
#include <QWidget>

// What the buttons share: following the pointer, and turning the left mouse button and the
// Space key into presses and releases. What a crossing, a press or a release does to a button
// is its own, through the hooks below.
//
// While a mouse button is held on a widget, Qt holds back Enter and Leave and sends them
// only after the release. A button must know at once when the pointer leaves it during a
// press (leaving cancels the click), so it also follows the pointer through the positions of
// its press, move and release events. isHover() is what the button believes so far.
class PointerButton : public QWidget {
    Q_OBJECT

public:
    bool isHover() const { return hover_; }

protected:
    explicit PointerButton(QWidget* parent = nullptr);

    // The pointer has crossed into or out of the button; isHover() already says so.
    virtual void pointerEntered() = 0;
    virtual void pointerExited() = 0;
    // The left mouse button went down on the button.
    virtual void pressDown() = 0;
    // The left mouse button came up; counts is whether the pointer is still over the button.
    virtual void release(bool counts) = 0;
    // Space went down or up; auto-repeats are dropped before they get here.
    virtual void spacePressed() = 0;
    virtual void spaceReleased() = 0;

    // Whether crossings are followed now. Leave is taken regardless, so that a button that
    // follows the pointer again later does not look hovered after the pointer has gone.
    virtual bool followsPointer() const { return true; }
    // Whether Enter and Leave are dropped when isHover() already says what they say.
    virtual bool ignoresRepeatedCrossings() const { return false; }

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void followPointer(const QPointF& position);
    void setHover(bool hover);

    bool hover_ = false;
};
