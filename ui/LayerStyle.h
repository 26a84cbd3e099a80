#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>

class QPainter;

// How the controls paint the box behind their content: a background with rounded corners and
// a border drawn inside the edge, on top of the content.
//
// A radius larger than half the shorter side gives fully round ends. Lengths are in points.
struct LayerStyle {
    qreal cornerRadius = 0;
    qreal borderWidth = 0;
    QColor borderColor = Qt::transparent;
    QColor backgroundColor = Qt::transparent;

    // The rounded outline of bounds, also used to clip content to it.
    QPainterPath outline(const QRectF& bounds) const;
    // Paint before the content.
    void paintBackground(QPainter& painter, const QRectF& bounds) const;
    // Paint after the content.
    void paintBorder(QPainter& painter, const QRectF& bounds) const;
};
