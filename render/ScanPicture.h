#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>

// The greys of a scan's picture, decoded once for all a search for its ink needs: each 8 x 8
// block's average, and the pixels of the parts of the picture where the ink's edges are.
// Drawing the page instead would decode the whole image again for each part drawn.
//
// A JPEG's greys are its luma, which for grey ink on paper is the grey MuPDF draws.
//
// One picture is read after another into the same memory: a 300 dpi page takes 8 MB, which
// the kernel would otherwise hand out, page by page, anew for every page of a book.
//
// Thread: any, one at a time.
class ScanPicture {
public:
    // Reads jpeg, whose PDF /ColorTransform is colorTransform (-1: as the JPEG says); false,
    // and an empty picture, when it cannot be read or holds colours other than grey, RGB or
    // YCbCr.
    bool read(const QByteArray& jpeg, int colorTransform);
    // Takes greys (Format_Grayscale8) decoded elsewhere; false for a null image.
    bool take(QImage greys);

    QSize pixels() const { return grey_.size(); }
    // A picture of each block's average grey (Format_Grayscale8), an eighth of the size.
    const QImage& blockPicture() const { return blocks_; }
    // The greys of area, within pixels() (Format_Grayscale8). They are a few levels darker than
    // the page's pixels as MuPDF draws them, by what the two ways of decoding may differ in:
    // a pixel that shows as ink there shows as ink here too.
    QImage picture(const QRect& area) const;

private:
    // Makes grey_ and blocks_ pictures of size, keeping their memory when it is already theirs.
    bool resize(QSize size);
    // Averages the block row of the 8 (fewer at the bottom) rows from y.
    void averageBlocks(int y);

    QImage grey_;
    QImage blocks_;
};
