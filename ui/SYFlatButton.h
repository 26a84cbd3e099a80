#pragma once

#include "ui/PointerButton.h"
#include "ui/RMImage.h"

#include <QColor>
#include <QSizeF>
#include <QString>
#include <QVariantAnimation>

#include <array>

// A flat push button whose border, background, image tint and title each have a normal and a
// highlight colour, animated from the colour shown to the new one at every change of state.
//
// State is on (1) or off (0; a mixed state, -1, counts as off). The pointer toggles it:
//   pointer enters         -> toggled
//   pointer leaves         -> toggled; a press in progress is cancelled
//   press (left, Space)    -> toggled
//   release of that press  -> toggled if momentary; clicked() is emitted at once
// So a momentary button lights up under the pointer, dims while held and lights again when
// released; a non-momentary one stays on after a click until the pointer comes and goes.
// Off shows the highlight background while the pointer is over the button.
//
// Image and title are laid out in the current bounds by the image position; the image is its
// shape filled with the image tint. A disabled button is drawn at half opacity and lets
// presses through to its parent. Everything is set from window layouts through the
// properties. GUI thread only.
class SYFlatButton : public PointerButton {
    Q_OBJECT
    Q_PROPERTY(bool momentary READ isMomentary WRITE setMomentary)
    Q_PROPERTY(qreal onAnimateDuration READ onAnimateDuration WRITE setOnAnimateDuration)
    Q_PROPERTY(qreal offAnimateDuration READ offAnimateDuration WRITE setOffAnimateDuration)
    Q_PROPERTY(qreal cornerRadius READ cornerRadius WRITE setCornerRadius)
    Q_PROPERTY(qreal borderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(qreal spacing READ spacing WRITE setSpacing)
    Q_PROPERTY(QColor borderNormalColor READ borderNormalColor WRITE setBorderNormalColor)
    Q_PROPERTY(QColor borderHighlightColor READ borderHighlightColor WRITE setBorderHighlightColor)
    Q_PROPERTY(
        QColor backgroundNormalColor READ backgroundNormalColor WRITE setBackgroundNormalColor)
    Q_PROPERTY(QColor backgroundHighlightColor READ backgroundHighlightColor WRITE
                   setBackgroundHighlightColor)
    Q_PROPERTY(QColor imageNormalColor READ imageNormalColor WRITE setImageNormalColor)
    Q_PROPERTY(QColor imageHighlightColor READ imageHighlightColor WRITE setImageHighlightColor)
    Q_PROPERTY(QColor titleNormalColor READ titleNormalColor WRITE setTitleNormalColor)
    Q_PROPERTY(QColor titleHighlightColor READ titleHighlightColor WRITE setTitleHighlightColor)
    Q_PROPERTY(QSizeF imageSize READ imageSize WRITE setImageSize)
    Q_PROPERTY(QString imageName READ imageName WRITE setImageName)
    Q_PROPERTY(ImagePosition imagePosition READ imagePosition WRITE setImagePosition)
    Q_PROPERTY(bool imageHugsTitle READ imageHugsTitle WRITE setImageHugsTitle)
    Q_PROPERTY(QString title READ title WRITE setTitle)
    Q_PROPERTY(int state READ state WRITE setState)

public:
    enum class ImagePosition {
        NoImage,
        ImageOnly,
        ImageLeft,
        ImageRight,
        ImageBelow,
        ImageAbove,
        ImageOverlaps,
        ImageLeading,
        ImageTrailing
    };
    Q_ENUM(ImagePosition)

    explicit SYFlatButton(QWidget* parent = nullptr);

    bool isMomentary() const { return momentary_; }
    void setMomentary(bool momentary);
    // Seconds.
    qreal onAnimateDuration() const { return onAnimateDuration_; }
    void setOnAnimateDuration(qreal seconds) { onAnimateDuration_ = seconds; }
    qreal offAnimateDuration() const { return offAnimateDuration_; }
    void setOffAnimateDuration(qreal seconds) { offAnimateDuration_ = seconds; }

    qreal cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(qreal radius);
    qreal borderWidth() const { return borderWidth_; }
    void setBorderWidth(qreal width);
    // Gap between image and title, or between them and the edges.
    qreal spacing() const { return spacing_; }
    void setSpacing(qreal spacing);

    // Setting a colour re-animates the colours of the current state.
    QColor borderNormalColor() const { return colors_[BorderNormal]; }
    void setBorderNormalColor(const QColor& c) { setColor(BorderNormal, c); }
    QColor borderHighlightColor() const { return colors_[BorderHighlight]; }
    void setBorderHighlightColor(const QColor& c) { setColor(BorderHighlight, c); }
    QColor backgroundNormalColor() const { return colors_[BackgroundNormal]; }
    void setBackgroundNormalColor(const QColor& c) { setColor(BackgroundNormal, c); }
    QColor backgroundHighlightColor() const { return colors_[BackgroundHighlight]; }
    void setBackgroundHighlightColor(const QColor& c) { setColor(BackgroundHighlight, c); }
    QColor imageNormalColor() const { return colors_[ImageNormal]; }
    void setImageNormalColor(const QColor& c) { setColor(ImageNormal, c); }
    QColor imageHighlightColor() const { return colors_[ImageHighlight]; }
    void setImageHighlightColor(const QColor& c) { setColor(ImageHighlight, c); }
    QColor titleNormalColor() const { return colors_[TitleNormal]; }
    void setTitleNormalColor(const QColor& c) { setColor(TitleNormal, c); }
    QColor titleHighlightColor() const { return colors_[TitleHighlight]; }
    void setTitleHighlightColor(const QColor& c) { setColor(TitleHighlight, c); }

    // The size the image is drawn at, in points.
    QSizeF imageSize() const { return imageSize_; }
    void setImageSize(const QSizeF& size);
    const RMImage& image() const { return image_; }
    void setImage(const RMImage& image);
    // The image resource shown; empty for none.
    QString imageName() const { return image_.name(); }
    void setImageName(const QString& name) { setImage(RMImage::named(name)); }
    ImagePosition imagePosition() const { return imagePosition_; }
    void setImagePosition(ImagePosition position);
    // Image and title side by side in the middle, rather than each at its edge.
    bool imageHugsTitle() const { return imageHugsTitle_; }
    void setImageHugsTitle(bool hugs);
    QString title() const { return title_; }
    void setTitle(const QString& title);

    int state() const { return state_; }
    // Stores state and animates to its colours.
    void setState(int state);
    // Whether some colour is still on its way.
    bool isAnimating() const;

    // Where the image and the title are drawn now; the zero rectangle for none.
    QRectF imageRect() const;
    QRectF titleRect() const;

signals:
    void clicked(SYFlatButton* sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum ColorRole {
        BorderNormal,
        BorderHighlight,
        BackgroundNormal,
        BackgroundHighlight,
        ImageNormal,
        ImageHighlight,
        TitleNormal,
        TitleHighlight,
        ColorRoleCount
    };
    // What the colours are painted on, in the order they are animated.
    enum Layer { BorderLayer, BackgroundLayer, ImageLayer, TitleLayer, LayerCount };

    void setColor(ColorRole role, const QColor& color);
    void animateColorWithState(int state);
    void animateLayer(Layer layer, const QColor& color, qreal seconds);
    QColor shownColor(Layer layer) const;
    QSizeF titleSize() const;

    void pointerEntered() override;
    void pointerExited() override;
    void pressDown() override;
    // Whether a release counts is settled before it comes: leaving cancels the press.
    void release(bool) override;
    void spacePressed() override;
    void spaceReleased() override { release(true); }
    // Every crossing toggles the state, so one seen twice (first through the press's
    // position, then in Qt's late Enter) must toggle once.
    bool ignoresRepeatedCrossings() const override { return true; }
    void toggle() { setState(state_ == 1 ? 0 : 1); }

    bool momentary_ = false;
    qreal onAnimateDuration_ = 0;
    qreal offAnimateDuration_ = 0;
    qreal cornerRadius_ = 0;
    qreal borderWidth_ = 0;
    qreal spacing_ = 0;
    std::array<QColor, ColorRoleCount> colors_;
    QSizeF imageSize_;
    RMImage image_;
    ImagePosition imagePosition_ = ImagePosition::NoImage;
    bool imageHugsTitle_ = false;
    QString title_;

    int state_ = 0;
    bool mouseDown_ = false;

    // The colour each layer ends at, and its animation from the colour shown before.
    std::array<QColor, LayerCount> layerColors_;
    std::array<QVariantAnimation, LayerCount> animations_;
};
