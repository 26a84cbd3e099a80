#pragma once

#include <QColor>
#include <QWidget>

class RMDragDropViewDelegate;

// A plain coloured area with rounded corners that also takes files dropped on it.
//
// Backgrounds, drop areas and markers of the windows. A drag that carries local files is
// accepted as a copy; the drop hands their paths to the delegate, if one is set. A view
// whose colour was never set paints nothing, so its parent shows through. GUI thread only.
class RMColorView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor)
    Q_PROPERTY(qreal viewCorner READ viewCorner WRITE setViewCorner)

public:
    explicit RMColorView(QWidget* parent = nullptr);

    QColor backColor() const { return backColor_; }
    void setBackColor(const QColor& color);
    // Corner radius in points.
    qreal viewCorner() const { return viewCorner_; }
    void setViewCorner(qreal radius);

    // Not owned: the delegate clears itself (setDelegate(nullptr)) before it goes away, or
    // outlives the view, as the window that owns the view does.
    RMDragDropViewDelegate* delegate() const { return delegate_; }
    void setDelegate(RMDragDropViewDelegate* delegate) { delegate_ = delegate; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QColor backColor_;
    qreal viewCorner_ = 0;
    RMDragDropViewDelegate* delegate_ = nullptr;
};
