#include "ui/SYFlatButton.h"

#include "ui/LayerStyle.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

SYFlatButton::SYFlatButton(QWidget* parent) : PointerButton(parent) {
    setFocusPolicy(Qt::TabFocus);
    layerColors_.fill(Qt::transparent);
    for (QVariantAnimation& animation : animations_)
        connect(&animation, &QVariantAnimation::valueChanged, this, [this] { update(); });
}

void SYFlatButton::setMomentary(bool momentary) {
    momentary_ = momentary;
    animateColorWithState(state_);
}

void SYFlatButton::setCornerRadius(qreal radius) {
    cornerRadius_ = radius;
    update();
}

void SYFlatButton::setBorderWidth(qreal width) {
    borderWidth_ = width;
    update();
}

void SYFlatButton::setSpacing(qreal spacing) {
    spacing_ = spacing;
    update();
}

void SYFlatButton::setImageSize(const QSizeF& size) {
    imageSize_ = size;
    update();
}

void SYFlatButton::setImage(const RMImage& image) {
    image_ = image;
    update();
}

void SYFlatButton::setImagePosition(ImagePosition position) {
    imagePosition_ = position;
    update();
}

void SYFlatButton::setImageHugsTitle(bool hugs) {
    imageHugsTitle_ = hugs;
    update();
}

void SYFlatButton::setTitle(const QString& title) {
    title_ = title;
    setAccessibleName(title);
    update();
}

void SYFlatButton::setState(int state) {
    state_ = state;
    animateColorWithState(state);
}

bool SYFlatButton::isAnimating() const {
    return std::any_of(animations_.begin(), animations_.end(), [](const QVariantAnimation& a) {
        return a.state() == QAbstractAnimation::Running;
    });
}

void SYFlatButton::setColor(ColorRole role, const QColor& color) {
    colors_[role] = color;
    animateColorWithState(state_);
}

void SYFlatButton::animateColorWithState(int state) {
    // A new state starts from where the last one was going.
    for (QVariantAnimation& animation : animations_)
        animation.stop();
    const bool on = state == 1;
    const qreal seconds = on ? onAnimateDuration_ : offAnimateDuration_;
    const bool backgroundLit = on || isHover();
    animateLayer(BorderLayer, colors_[on ? BorderHighlight : BorderNormal], seconds);
    animateLayer(BackgroundLayer, colors_[backgroundLit ? BackgroundHighlight : BackgroundNormal],
                 seconds);
    animateLayer(ImageLayer, colors_[on ? ImageHighlight : ImageNormal], seconds);
    animateLayer(TitleLayer, colors_[on ? TitleHighlight : TitleNormal], seconds);
    update();
}

void SYFlatButton::animateLayer(Layer layer, const QColor& color, qreal seconds) {
    // A colour never set shows nothing, like a clear one.
    const QColor target = color.isValid() ? color : QColor(Qt::transparent);
    if (layerColors_[layer] == target)
        return;
    const QColor from = layerColors_[layer];
    layerColors_[layer] = target;
    const int milliseconds = static_cast<int>(std::lround(seconds * 1000));
    if (milliseconds <= 0)
        return;
    QVariantAnimation& animation = animations_[layer];
    animation.setStartValue(from);
    animation.setEndValue(target);
    animation.setDuration(milliseconds);
    animation.start();
}

QColor SYFlatButton::shownColor(Layer layer) const {
    const QVariantAnimation& animation = animations_[layer];
    if (animation.state() == QAbstractAnimation::Running)
        return animation.currentValue().value<QColor>();
    return layerColors_[layer];
}

QSizeF SYFlatButton::titleSize() const {
    if (title_.isEmpty())
        return {0, 0};
    const QFontMetricsF metrics(font());
    return {metrics.horizontalAdvance(title_), metrics.height()};
}

QRectF SYFlatButton::imageRect() const {
    if (image_.isNull() || imagePosition_ == ImagePosition::NoImage)
        return {};
    const qreal w = width(), h = height();
    const qreal iw = imageSize_.width(), ih = imageSize_.height();
    const QSizeF title = titleSize();
    const qreal tw = title.width(), th = title.height();
    const qreal s = spacing_;
    const bool hug = imageHugsTitle_;
    qreal x = (w - iw) / 2;
    qreal y = (h - ih) / 2;
    switch (imagePosition_) {
    case ImagePosition::ImageLeft:
    case ImagePosition::ImageLeading:
        x = hug ? (w - iw - tw) / 2 - s : s;
        break;
    case ImagePosition::ImageRight:
    case ImagePosition::ImageTrailing:
        x = hug ? (w - iw + tw) / 2 + s : w - iw - s;
        break;
    case ImagePosition::ImageBelow:
        y = hug ? (h - ih + th) / 2 + s : h - ih - s;
        break;
    case ImagePosition::ImageAbove:
        y = hug ? (h - ih - th) / 2 - s : s;
        break;
    default:
        break;
    }
    return {QPointF(std::round(x), std::round(y)), imageSize_};
}

QRectF SYFlatButton::titleRect() const {
    if (title_.isEmpty() || imagePosition_ == ImagePosition::ImageOnly)
        return {};
    const qreal w = width(), h = height();
    // The title makes room for the image's own size, not the size it is drawn at.
    const QSizeF own = image_.size();
    const qreal iw = own.width(), ih = own.height();
    const QSizeF title = titleSize();
    const qreal tw = title.width(), th = title.height();
    const qreal s = spacing_;
    const bool hug = imageHugsTitle_;
    qreal x = (w - tw) / 2;
    qreal y = (h - th) / 2;
    switch (imagePosition_) {
    case ImagePosition::ImageLeft:
    case ImagePosition::ImageLeading:
        x = hug ? (iw + w - tw) / 2 + s : w - tw - s;
        break;
    case ImagePosition::ImageRight:
    case ImagePosition::ImageTrailing:
        x = hug ? (w - iw - tw) / 2 - s : s;
        break;
    case ImagePosition::ImageBelow:
        y = hug ? (h - ih - th) / 2 - s : s;
        break;
    case ImagePosition::ImageAbove:
        y = hug ? (h + ih - th) / 2 + s : h - th - s;
        break;
    default:
        break;
    }
    return {QPointF(std::round(x), std::round(y)), QSizeF(std::ceil(tw), std::ceil(th))};
}

void SYFlatButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.5);
    LayerStyle layer;
    layer.cornerRadius = cornerRadius_;
    layer.borderWidth = borderWidth_;
    layer.borderColor = shownColor(BorderLayer);
    layer.backgroundColor = shownColor(BackgroundLayer);
    const QRectF bounds = rect();
    layer.paintBackground(painter, bounds);

    painter.save();
    painter.setClipPath(layer.outline(bounds), Qt::IntersectClip);
    const QColor tint = shownColor(ImageLayer);
    if (tint.alpha() > 0) {
        // The image's shape filled with the tint: opaque tint, faded by the tint's alpha.
        QColor opaque = tint;
        opaque.setAlpha(255);
        painter.save();
        painter.setOpacity(painter.opacity() * tint.alphaF());
        image_.tinted(opaque).draw(painter, imageRect());
        painter.restore();
    }
    if (!titleRect().isEmpty()) {
        painter.setFont(font());
        painter.setPen(shownColor(TitleLayer));
        painter.drawText(titleRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, title_);
    }
    painter.restore();

    layer.paintBorder(painter, bounds);
    if (hasFocus()) {
        LayerStyle ring;
        ring.cornerRadius = cornerRadius_;
        ring.borderWidth = 2;
        ring.borderColor = palette().color(QPalette::Highlight);
        ring.paintBorder(painter, bounds);
    }
}

void SYFlatButton::focusOutEvent(QFocusEvent* event) {
    // Focus lost with Space held: the press is abandoned and its toggle undone.
    if (mouseDown_) {
        mouseDown_ = false;
        toggle();
    }
    PointerButton::focusOutEvent(event);
}

void SYFlatButton::changeEvent(QEvent* event) {
    // Half opacity follows the enabled flag; fonts move the title.
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange)
        update();
    PointerButton::changeEvent(event);
}

void SYFlatButton::pointerEntered() {
    toggle();
}

void SYFlatButton::pointerExited() {
    mouseDown_ = false;
    toggle();
}

void SYFlatButton::spacePressed() {
    // Space adds nothing to a press already in progress.
    if (!mouseDown_)
        pressDown();
}

void SYFlatButton::pressDown() {
    if (!isEnabled())
        return;
    mouseDown_ = true;
    toggle();
}

void SYFlatButton::release(bool) {
    if (!mouseDown_)
        return;
    mouseDown_ = false;
    if (momentary_)
        toggle();
    emit clicked(this);
}
