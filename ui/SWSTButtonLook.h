#pragma once

#include "ui/RMImage.h"

#include <QColor>

// How an SWSTAnswerButton looks in one of its five looks. Lengths in points.
struct SWSTButtonLook {
    // The looks, in the order the style table lists them.
    enum Kind { Normal, Hover, Highlight, Selected, Disabled, KindCount };

    qreal cornerRadius = 0;
    qreal borderWidth = 0;
    // Shown only when the button has a border.
    QColor borderColor = Qt::transparent;
    QColor titleColor = Qt::transparent;
    // The tint of this look's image: the style table tints image with it.
    QColor imageColor = Qt::transparent;
    QColor backgroundColor = Qt::transparent;
    // Null when the look has no image of its own (see SWSTAnswerButton's look rules).
    RMImage image;
};
