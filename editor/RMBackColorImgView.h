#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

// An image on a background colour: the colour fills the view, and the image is drawn over it
// scaled down to fit if it is larger, keeping its proportions, centred.
class RMBackColorImgView : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    QColor backColor() const { return backColor_; }
    // An invalid colour paints no background.
    void setBackColor(const QColor& color);
    void setImage(const QPixmap& image);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor backColor_;
    QPixmap image_;
};
