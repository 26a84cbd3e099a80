#pragma once

#include <QAbstractButton>

// The small × at the right end of a tag that drops it from the selection.
//
// The × is drawn pixel by pixel at the resolution it is painted at (the screen's device pixel
// ratio, or that of an image the button is rendered into): two diagonals of whole pixels that
// cross in the middle, in one colour, with no half-tone pixels, so it stays sharp even at the
// tag's tiny size, where a scaled picture blurs into a blob. It darkens under the pointer and
// while pressed.
//
// GUI thread only.
class TagDeleteButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit TagDeleteButton(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
