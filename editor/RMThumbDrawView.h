#pragma once

#include <QRectF>
#include <QWidget>

// A plain view that fills one rectangle green. Its rectangle is in the view's unflipped
// coordinates (origin at the lower-left corner, y upward), like the page views'.
class RMThumbDrawView : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    QRectF cropRect() const { return cropRect_; }
    void setCropRect(const QRectF& rect);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF cropRect_;
};
