#include "ui/SWSTAnswerButton.h"

#include "ui/RMUIConfig.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>

#include <algorithm>

SWSTAnswerButton::SWSTAnswerButton(QWidget* parent) : PointerButton(parent) {
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

QSize SWSTAnswerButton::minimumSizeHint() const {
    // A button never shrinks below its content, however tight its layout gets; a bar that
    // holds other controls is as small as they let it be.
    return layout() ? PointerButton::minimumSizeHint() : sizeHint();
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
    if (hasFocus() && keyboardFocus_) {
        LayerStyle ring;
        ring.cornerRadius = shown_.cornerRadius;
        ring.borderWidth = 2;
        ring.borderColor = palette().color(QPalette::Highlight);
        ring.paintBorder(painter, bounds);
    }
}

void SWSTAnswerButton::focusInEvent(QFocusEvent* event) {
    // The ring shows where the keyboard is, so only focus moved by the keyboard draws it: a
    // button that merely starts with the focus would look selected beside the real selection.
    keyboardFocus_ =
        event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    PointerButton::focusInEvent(event);
}

void SWSTAnswerButton::focusOutEvent(QFocusEvent* event) {
    // Focus lost with Space held: the key press is abandoned.
    if (spaceHeld_) {
        spaceHeld_ = false;
        release(false);
    }
    PointerButton::focusOutEvent(event);
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
    PointerButton::changeEvent(event);
}

void SWSTAnswerButton::pointerEntered() {
    setButtonState(selected_ ? ButtonState::Selected : ButtonState::Hover);
}

void SWSTAnswerButton::pointerExited() {
    setButtonState(selected_ ? ButtonState::Selected : ButtonState::Normal);
}

void SWSTAnswerButton::pressDown() {
    // A click leaves text fields their focus, but takes it from another button, whose ring
    // would otherwise stay beside the button the user is now using.
    if (auto* focused = qobject_cast<SWSTAnswerButton*>(QApplication::focusWidget());
        focused && focused != this)
        setFocus(Qt::MouseFocusReason);
    if (isEnabled() && !selected_)
        setButtonState(ButtonState::Highlight);
}

void SWSTAnswerButton::release(bool counts) {
    if (!isEnabled())
        return;
    setButtonState(restingState());
    if (counts)
        QMetaObject::invokeMethod(
            this, [this] { emit clicked(this); }, Qt::QueuedConnection);
}

void SWSTAnswerButton::spacePressed() {
    if (!isEnabled())
        return;
    spaceHeld_ = true;
    pressDown();
}

void SWSTAnswerButton::spaceReleased() {
    // A Space press that began elsewhere, or while disabled, is not this button's to end.
    if (!spaceHeld_)
        return;
    spaceHeld_ = false;
    release(true);
}

SWSTAnswerButton::ButtonState SWSTAnswerButton::restingState() const {
    if (selected_)
        return ButtonState::Selected;
    return isHover() ? ButtonState::Hover : ButtonState::Normal;
}
