#pragma once

#include "crop/CropSession.h"
#include "editor/RMDrawDelegate.h"

#include <QWidget>

#include <memory>

class QLabel;
class RMPDFImgView;
class RenderQueue;

// A window on the first page of a document: the page as displayed (its crop box turned by its
// rotation) fitted into the 573-point square, sharp at the screen's pixel density, with the
// crop marker on it. A finished drag sets the page's crop, which the window reports in page
// space below the page.
class FirstPageWindow : public QWidget, public RMDrawDelegate {
    Q_OBJECT

public:
    explicit FirstPageWindow(std::unique_ptr<PdfDocument> document, QWidget* parent = nullptr);
    ~FirstPageWindow() override;

    void cropIsFinishedWithRect(const QRectF& rect) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showPage();

    CropSession session_;
    std::unique_ptr<RenderQueue> queue_;
    RMPDFImgView* pageView_;
    QLabel* cropLabel_;
    quint64 wantedTicket_ = 0;
};
