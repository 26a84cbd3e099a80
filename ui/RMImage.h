#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <memory>

class QPainter;
class QSvgRenderer;

// An image resource of the application: a vector shape, drawn sharp at whatever size and
// device pixel ratio it is painted at, plus the tints applied to it.
//
// Images are values: copies share the parsed shape, and tinted() returns a new image without
// changing the receiver. A default-constructed image is null ("no image"). GUI thread only.
class RMImage {
public:
    RMImage() = default;

    // The application's image resource called name (":/icons/<name>.svg"); null when there is
    // no such resource.
    static RMImage named(const QString& name);

    bool isNull() const { return !renderer_; }
    QString name() const { return name_; }
    // The tints applied so far, oldest first.
    const QList<QColor>& tints() const { return tints_; }
    // The size the image was drawn at, in points; (0, 0) for a null image.
    QSizeF size() const;

    // A copy tinted with color: each pixel keeps its alpha and takes color in proportion to
    // color's alpha (see tintColor()).
    RMImage tinted(const QColor& color) const;

    // The image as pixels for a target of size points at devicePixelRatio; null for a null
    // image or an empty size.
    QImage toImage(const QSizeF& size, qreal devicePixelRatio) const;
    // Draws the image scaled into target, rendered at the resolution target has on the
    // painter's device, so it stays sharp on HiDPI screens and in scaled painters.
    void draw(QPainter& painter, const QRectF& target) const;

    // Images of the same resource with the same tints draw the same.
    bool operator==(const RMImage& other) const;

private:
    QString name_;
    std::shared_ptr<QSvgRenderer> renderer_;
    QList<QColor> tints_;
};
