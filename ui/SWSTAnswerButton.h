#pragma once

#include "ui/LayerStyle.h"
#include "ui/PointerButton.h"
#include "ui/RMImage.h"
#include "ui/SWSTButtonLook.h"

#include <QMarginsF>
#include <QSizeF>
#include <QString>

#include <array>

// The push and toggle button of the windows, drawn from five looks (normal, hover,
// highlight, selected, disabled) that its style key copies from the style table.
//
// The button follows the pointer itself and keeps its own selection, which only its owner
// changes. State moves:
//   pointer enters              -> Selected if selected, else Hover
//   pointer leaves              -> Selected if selected, else Normal
//   press (left button, Space)  -> Highlight, unless selected
//   release                     -> Selected if selected, else Hover if the pointer is over
//                                  the button, else Normal; and the click counts if the
//                                  pointer is still over the button (always for Space)
//   setSelected(v)              -> Selected if v, else Normal, even under the pointer
// While disabled the button ignores all of these (selection too, unless
// isSelectedHasHighPriorityThanEnable) and shows the disabled look; leaving still clears
// the hover, so the button does not come back hovered after the pointer has gone.
//
// A click that counts emits clicked() on the next turn of the event loop, never inside the
// release handling, so a receiver may disable, hide or delete the button.
//
// Geometry is laid out for buttonSize(), the size the button asks for, not for its current
// bounds. GUI thread only.
class SWSTAnswerButton : public PointerButton {
    Q_OBJECT
    // Settable from Designer: the style key, then the title.
    Q_PROPERTY(QString configKey READ configKey WRITE setConfigKey)
    Q_PROPERTY(QString title READ defaulTitle WRITE setTitle)

public:
    enum class ButtonState : quint64 { Normal = 0, Hover = 1, Highlight = 2, Selected = 3 };

    explicit SWSTAnswerButton(QWidget* parent = nullptr);

    QString configKey() const { return configKey_; }
    // Deselects the button (if it may), applies the style table's entry key, sizes the
    // button and shows the look of its state.
    void setConfigKey(const QString& key);

    // The looks are stored as given and shown from the next look update on.
    const SWSTButtonLook& look(SWSTButtonLook::Kind kind) const { return looks_[kind]; }
    void setLook(SWSTButtonLook::Kind kind, const SWSTButtonLook& look) { looks_[kind] = look; }

    bool hasBorder() const { return hasBorder_; }
    void setHasBorder(bool hasBorder);

    // The image drawn now; the looks' images replace it as the state changes.
    const RMImage& defaultImage() const { return defaultImage_; }
    void setDefaultImage(const RMImage& image) { defaultImage_ = image; }
    QString defaulTitle() const { return defaulTitle_; }
    // Shows the title in the current look and resizes the button to fit it.
    void setTitle(const QString& title);
    // The title colour of the look shown now.
    QColor titleColor() const { return titleColor_; }

    // Content layout, in points. Plain values: they take effect at the next updateFrame()
    // or repaint.
    QSizeF imageSize() const { return imageSize_; }
    void setImageSize(const QSizeF& size) { imageSize_ = size; }
    // Added to the image's vertical position (downwards).
    qint64 imageBaselineMove() const { return imageBaselineMove_; }
    void setImageBaselineMove(qint64 move) { imageBaselineMove_ = move; }
    // Gap between image and title.
    qint64 space() const { return space_; }
    void setSpace(qint64 space) { space_ = space; }
    QMarginsF btnInsects() const { return btnInsects_; }
    void setBtnInsects(const QMarginsF& insets) { btnInsects_ = insets; }
    // Fixed size; (0, 0) sizes the button from its content.
    QSizeF btnSize() const { return btnSize_; }
    void setBtnSize(const QSizeF& size) { btnSize_ = size; }
    bool isTitleCenter() const { return isTitleCenter_; }
    void setTitleCenter(bool center) { isTitleCenter_ = center; }

    ButtonState buttonState() const { return buttonState_; }
    // Shows the look of state if it differs from the current one; the same state does nothing.
    void setButtonState(ButtonState state);
    bool isSelected() const { return selected_; }
    void setSelected(bool selected);
    bool isSelectedHasHighPriorityThanEnable() const { return selectionOverridesEnabled_; }
    void setSelectedHasHighPriorityThanEnable(bool overrides) {
        selectionOverridesEnabled_ = overrides;
    }

    // Shows the look of state, or the disabled look while the button is disabled.
    void updateButtonApperaceWithState(ButtonState state);

    // The title's size in the button's font; (0, 0) without a title.
    QSizeF titleSize() const;
    // btnSize() when set, else insets around the image size, the space (with an image) and
    // the title.
    QSizeF buttonSize() const;
    // Where the image is drawn; the zero rectangle without an image.
    QRectF imageRect() const;
    // Where the title is drawn; the zero rectangle without a title. A centred title never
    // starts left of or above the button.
    QRectF titleRect() const;
    // Resizes the button to buttonSize() if it has an image or a title; tells layouts either way.
    void updateFrame();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void clicked(SWSTAnswerButton* sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void pointerEntered() override;
    void pointerExited() override;
    void pressDown() override;
    // Ends a press; a release that counts sends the action.
    void release(bool counts) override;
    void spacePressed() override;
    void spaceReleased() override;
    bool followsPointer() const override { return isEnabled(); }
    ButtonState restingState() const;
    void showCurrentLook() { updateButtonApperaceWithState(buttonState_); }

    QString configKey_;
    std::array<SWSTButtonLook, SWSTButtonLook::KindCount> looks_;
    bool hasBorder_ = false;
    RMImage defaultImage_;
    QString defaulTitle_;
    QSizeF imageSize_;
    qint64 imageBaselineMove_ = 0;
    qint64 space_ = 0;
    QMarginsF btnInsects_;
    QSizeF btnSize_;
    bool isTitleCenter_ = false;

    ButtonState buttonState_ = ButtonState::Normal;
    bool selected_ = false;
    bool selectionOverridesEnabled_ = false;
    // A Space press began while enabled and has not ended yet.
    bool spaceHeld_ = false;
    // The focus came by Tab or Backtab, so the focus ring is drawn.
    bool keyboardFocus_ = false;

    // The look shown now.
    LayerStyle shown_;
    QColor titleColor_ = Qt::transparent;
};
