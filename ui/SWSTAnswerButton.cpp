#include "ui/SWSTAnswerButton.h"

#include "ui/PointerCrossing.h"
#include "ui/RMUIConfig.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

#include <algorithm>

SWSTAnswerButton::SWSTAnswerButton(QWidget* parent) : QWidget(parent) {
    // Reachable with Tab, but a click does not take the focus from, say, a text field.
    setFocusPolicy(Qt::TabFocus);
}

void SWSTAnswerButton::setConfigKey(const QString& key) {
    configKey_ = key;
    setSelected(false);
    RMUIConfig::sharedInstance().configButton(this, key);
    updateFrame();
    showCurrentLook();
}

void SWSTAnswerButton::setHasBorder(bool hasBorder) {
    hasBorder_ = hasBorder;
    showCurrentLook();
}

void SWSTAnswerButton::setTitle(const QString& title) {
    defaulTitle_ = title;
    setAccessibleName(title);
    showCurrentLook();
    updateFrame();
}

void SWSTAnswerButton::setButtonState(ButtonState state) {
    if (state == buttonState_)
        return;
    buttonState_ = state;
    showCurrentLook();
}

void SWSTAnswerButton::setSelected(bool selected) {
    if (!selectionOverridesEnabled_ && !isEnabled())
        return;
    selected_ = selected;
    setButtonState(selected ? ButtonState::Selected : ButtonState::Normal);
}

void SWSTAnswerButton::updateButtonApperaceWithState(ButtonState state) {
    const bool enabled = isEnabled();
    const SWSTButtonLook& look =
        looks_[enabled ? static_cast<SWSTButtonLook::Kind>(state) : SWSTButtonLook::Disabled];
    if (enabled) {
        if (!look.image.isNull())
            defaultImage_ = look.image;
    } else if (!looks_[SWSTButtonLook::Normal].image.isNull()) {
        // A button with images shows the disabled one, or none when it has no disabled image.
        defaultImage_ = look.image;
    }
    titleColor_ = look.titleColor;
    shown_.cornerRadius = look.cornerRadius;
    // The width applies without a border too; the clear colour hides it.
    shown_.borderWidth = look.borderWidth;
    shown_.borderColor = hasBorder_ ? look.borderColor : QColor(Qt::transparent);
    shown_.backgroundColor = look.backgroundColor;
    update();
}

QSizeF SWSTAnswerButton::titleSize() const {
    if (defaulTitle_.isEmpty())
        return {0, 0};
    const QFontMetricsF metrics(font());
    return {metrics.horizontalAdvance(defaulTitle_), metrics.height()};
}

QSizeF SWSTAnswerButton::buttonSize() const {
    if (btnSize_ != QSizeF(0, 0))
        return btnSize_;
    const QSizeF title = titleSize();
    const qreal gap = defaultImage_.isNull() ? 0 : static_cast<qreal>(space_);
    return {btnInsects_.left() + imageSize_.width() + gap + title.width() + btnInsects_.right(),
            btnInsects_.top() + std::max(title.height(), imageSize_.height()) +
                btnInsects_.bottom()};
}

QRectF SWSTAnswerButton::imageRect() const {
    if (defaultImage_.isNull())
        return {};
    const qreal y = (buttonSize().height() - imageSize_.height()) * 0.5 +
                    static_cast<qreal>(imageBaselineMove_);
    return {QPointF(btnInsects_.left(), y), imageSize_};
}

QRectF SWSTAnswerButton::titleRect() const {
    if (defaulTitle_.isEmpty())
        return {};
    const QSizeF size = buttonSize();
    const QSizeF title = titleSize();
    if (isTitleCenter_) {
        return {QPointF(std::max(0.0, (size.width() - title.width()) * 0.5),
                        std::max(0.0, (size.height() - title.height()) * 0.5)),
                title};
    }
    const qreal afterImage =
        defaultImage_.isNull() ? 0 : imageSize_.width() + static_cast<qreal>(space_);
    return {QPointF(btnInsects_.left() + afterImage, (size.height() - title.height()) * 0.5),
            title};
}

void SWSTAnswerButton::updateFrame() {
    if (!defaultImage_.isNull() || !defaulTitle_.isEmpty())
        resize(sizeHint());
    updateGeometry();
}

QSize SWSTAnswerButton::sizeHint() const {
    const QSizeF size = buttonSize();
    return {qCeil(size.width()), qCeil(size.height())};
}

void SWSTAnswerButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = rect();
    shown_.paintBackground(painter, bounds);
    defaultImage_.draw(painter, imageRect());
    if (!defaulTitle_.isEmpty()) {
        painter.setFont(font());
        painter.setPen(titleColor_);
        painter.drawText(titleRect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         defaulTitle_);
    }
    shown_.paintBorder(painter, bounds);
    if (hasFocus()) {
        LayerStyle ring;
        ring.cornerRadius = shown_.cornerRadius;
        ring.borderWidth = 2;
        ring.borderColor = palette().color(QPalette::Highlight);
        ring.paintBorder(painter, bounds);
    }
}

void SWSTAnswerButton::enterEvent(QEnterEvent*) {
    if (isEnabled())
        pointerEntered();
}

void SWSTAnswerButton::leaveEvent(QEvent*) {
    // Also while disabled: a button enabled after the pointer has gone must not look hovered.
    pointerExited();
}

void SWSTAnswerButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    // A press is proof that the pointer is over the button, even if no Enter came first
    // (a window that opened under a still pointer, a touch screen).
    followPointer(event->position());
    pressDown();
}

void SWSTAnswerButton::mouseMoveEvent(QMouseEvent* event) {
    followPointer(event->position());
}

void SWSTAnswerButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    followPointer(event->position());
    finishPress(hover_);
}

void SWSTAnswerButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat() && isEnabled()) {
        spacePressed_ = true;
        pressDown();
    }
}

void SWSTAnswerButton::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Space) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    if (!event->isAutoRepeat() && spacePressed_) {
        spacePressed_ = false;
        finishPress(true);
    }
}

void SWSTAnswerButton::focusOutEvent(QFocusEvent* event) {
    // Focus lost with Space held: the key press is abandoned.
    if (spacePressed_) {
        spacePressed_ = false;
        finishPress(false);
    }
    QWidget::focusOutEvent(event);
}

void SWSTAnswerButton::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::EnabledChange:
    case QEvent::ParentChange:
        showCurrentLook();
        break;
    case QEvent::FontChange:
        showCurrentLook();
        updateGeometry();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void SWSTAnswerButton::pointerEntered() {
    hover_ = true;
    setButtonState(selected_ ? ButtonState::Selected : ButtonState::Hover);
}

void SWSTAnswerButton::pointerExited() {
    hover_ = false;
    setButtonState(selected_ ? ButtonState::Selected : ButtonState::Normal);
}

void SWSTAnswerButton::followPointer(const QPointF& position) {
    if (!isEnabled())
        return;
    switch (pointerCrossing(*this, hover_, position)) {
    case PointerCrossing::Entered:
        pointerEntered();
        break;
    case PointerCrossing::Exited:
        pointerExited();
        break;
    case PointerCrossing::None:
        break;
    }
}

void SWSTAnswerButton::pressDown() {
    if (isEnabled() && !selected_)
        setButtonState(ButtonState::Highlight);
}

void SWSTAnswerButton::finishPress(bool counts) {
    if (!isEnabled())
        return;
    setButtonState(restingState());
    if (counts)
        QMetaObject::invokeMethod(
            this, [this] { emit clicked(this); }, Qt::QueuedConnection);
}

SWSTAnswerButton::ButtonState SWSTAnswerButton::restingState() const {
    if (selected_)
        return ButtonState::Selected;
    return hover_ ? ButtonState::Hover : ButtonState::Normal;
}
