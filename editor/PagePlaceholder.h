#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// The picture that stands for a page that cannot be drawn, so no page is ever silently white:
// a grey page with a warning sign and, where there is room, "This page cannot be shown" and
// the reason. The picture carries its reason, for the tooltip of whatever shows it: a
// thumbnail has no room for words. A page drawn only in part keeps its picture, with a note.
class PagePlaceholder {
public:
    PagePlaceholder() = delete;

    // pixelSize in device pixels, at devicePixelRatio.
    static QImage image(const QSize& pixelSize, qreal devicePixelRatio, const QString& reason);
    // A picture of a page that could be read only in part, as the renderer marks it, with a
    // note over its foot saying so; any other picture as it is.
    static QImage noted(const QImage& picture);
    // "This page cannot be shown", and why, when image is a placeholder; what could not be read
    // when it is noted; else empty.
    static QString toolTipOf(const QImage& image);
};
