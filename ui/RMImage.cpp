#include "ui/RMImage.h"

#include "ui/ImageTint.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>

// The icons live in a static library: referencing their initialiser keeps the linker from
// dropping them from the programs that link it.
static void ensureIconResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(registered);
}

RMImage RMImage::named(const QString& name) {
    ensureIconResources();
    const QString path = QStringLiteral(":/icons/%1.svg").arg(name);
    if (name.isEmpty() || !QFile::exists(path))
        return {};
    auto renderer = std::make_shared<QSvgRenderer>(path);
    if (!renderer->isValid())
        return {};
    RMImage image;
    image.name_ = name;
    image.renderer_ = std::move(renderer);
    return image;
}

QSizeF RMImage::size() const {
    return renderer_ ? QSizeF(renderer_->defaultSize()) : QSizeF();
}

RMImage RMImage::tinted(const QColor& color) const {
    RMImage copy = *this;
    if (!copy.isNull())
        copy.tints_.append(color);
    return copy;
}

QImage RMImage::toImage(const QSizeF& size, qreal devicePixelRatio) const {
    const QSize pixels(qRound(size.width() * devicePixelRatio),
                       qRound(size.height() * devicePixelRatio));
    if (isNull() || pixels.isEmpty())
        return {};
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer_->render(&painter, QRectF(QPointF(0, 0), pixels));
    }
    for (const QColor& tint : tints_)
        image = tintColor(image, tint);
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

void RMImage::draw(QPainter& painter, const QRectF& target) const {
    if (isNull() || target.isEmpty())
        return;
    // The device transform holds the device pixel ratio and any scaling of the painter, so
    // the shape is rendered at exactly the pixels it will cover.
    const QRectF onDevice = painter.deviceTransform().mapRect(target);
    const qreal ratio = std::max(onDevice.width() / target.width(), 1e-6);
    painter.drawImage(target, toImage(target.size(), ratio));
}

bool RMImage::operator==(const RMImage& other) const {
    return name_ == other.name_ && tints_ == other.tints_;
}
