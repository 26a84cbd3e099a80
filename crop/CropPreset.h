#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

// A shape the crop marker can be given at once: a fixed paper size or an aspect ratio.
//
// Rectangles are in a page's display space (points, origin at the displayed lower-left
// corner, y upward), so a preset fits the page as the user sees it, whatever its rotation.
class CropPreset {
public:
    enum class Kind { Size, Aspect };

    // A paper of width x height points; which side runs across is left to the page.
    static CropPreset size(const QString& name, const QSizeF& points);
    // Rectangles whose width is to their height as ratio's width is to its height.
    static CropPreset aspect(const QString& name, const QSizeF& ratio);
    // A4, A5, Letter, Legal, 6 x 9 in, 16:9, 4:3 and Square, in that order.
    static QList<CropPreset> builtIns();
    // A user's own preset from its text: "210 x 297 mm", "8.5 × 11in", "432 x 648" (points
    // when no unit is given; one unit for both sides) or a ratio "3:2". Both numbers must be
    // positive. The preset's name is the text written the same way every time, so that a name
    // parses back to the same preset.
    static std::optional<CropPreset> parse(const QString& text);

    Kind kind() const { return kind_; }
    const QString& name() const { return name_; }
    // Points for a size, the two terms of the ratio for an aspect.
    QSizeF dimensions() const { return dimensions_; }
    // The ratio the marker keeps while it is dragged: an aspect's, none for a size (a paper
    // size set once is the user's to change).
    std::optional<QSizeF> lockedRatio() const;

    // Where the marker goes on a page of size displayedPage, centred on around (the page's
    // content when it is known, else the crop) and never outside the page.
    //
    // A size is turned to the page's orientation (a landscape page gets the landscape paper),
    // then limited, side by side, to the page where the paper is bigger than the page. An
    // aspect is the smallest rectangle of its ratio that holds around, so that nothing of it
    // is cut, shrunk to the page (still of its ratio) when the page cannot hold it. Both are
    // then moved, not shrunk, back onto the page where they stick out. An around of no width
    // and no height stands for the whole page.
    QRectF placed(const QSizeF& displayedPage, const QRectF& around) const;

    bool operator==(const CropPreset&) const = default;

private:
    CropPreset(Kind kind, const QString& name, const QSizeF& dimensions);

    Kind kind_;
    QString name_;
    QSizeF dimensions_;
};
