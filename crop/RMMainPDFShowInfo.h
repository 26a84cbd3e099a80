#pragma once

#include <QImage>
#include <QString>

// One page prepared for the page view: its image and, as rectangle strings (RectString),
// where the page view sits in its square and where the crop marker sits in the page view.
struct RMMainPDFShowInfo {
    QImage pdfImg;
    QString mainPDFViewShowRectStr;
    QString mainPDFViewCropRectStr;
};
