#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>

#include <memory>

// The greys of a scan's picture, decoded once for all a search for its ink needs: each 8 x 8
// block's average, and the pixels of the parts of the picture where the ink's edges are.
// Drawing the page instead would decode the whole image again for each part drawn.
//
// A JPEG's greys are its luma, which for grey ink on paper is the grey MuPDF draws.
//
// Thread: any, one at a time.
class ScanPicture {
public:
    // The picture of jpeg, whose PDF /ColorTransform is colorTransform (-1: as the JPEG says);
    // null when it cannot be read, or holds colours other than grey, RGB or YCbCr.
    static std::unique_ptr<ScanPicture> read(const QByteArray& jpeg, int colorTransform);
    // The picture of greys (Format_Grayscale8) decoded elsewhere; null for a null image.
    static std::unique_ptr<ScanPicture> of(QImage greys);

    QSize pixels() const { return grey_.size(); }
    // A picture of each block's average grey (Format_Grayscale8), an eighth of the size.
    QImage blockPicture() const;
    // The greys of area, within pixels() (Format_Grayscale8). They are a few levels darker than
    // the page's pixels as MuPDF draws them, by what the two ways of decoding may differ in:
    // a pixel that shows as ink there shows as ink here too.
    QImage picture(const QRect& area) const;

private:
    explicit ScanPicture(QImage grey) : grey_(std::move(grey)) {}

    QImage grey_;
};
