#pragma once

#include "crop/PdfDocument.h"

#include <QImage>
#include <QWidget>

#include <memory>

class RenderQueue;

// A window that shows the first page of a document, as displayed: its crop box turned by its
// rotation, fitted into the window and drawn sharp at the screen's pixel density. Renders
// off the GUI thread and re-renders when the window's size changes.
class FirstPageWindow : public QWidget {
    Q_OBJECT

public:
    explicit FirstPageWindow(std::unique_ptr<PdfDocument> document, QWidget* parent = nullptr);
    ~FirstPageWindow() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Where the page sits in the window, in logical pixels.
    QRectF pageFrame() const;
    void requestImage();

    std::unique_ptr<PdfDocument> document_;
    std::unique_ptr<RenderQueue> queue_;
    QSizeF displayedSize_;
    quint64 wantedTicket_ = 0;
    QImage image_;
};
