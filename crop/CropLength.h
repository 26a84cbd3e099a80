#pragma once

#include <QString>

#include <optional>

// A length the user gives for a margin, a padding or a box: a number and its unit. Per cent
// is of the page's side the length runs along.
struct CropLength {
    enum class Unit { Points, Millimetres, Inches, Percent };

    double value = 0;
    Unit unit = Unit::Points;

    // The length in points along a side of pageSide points.
    double inPoints(double pageSide) const;
    // The other way: points along a side of pageSide points, in unit. Per cent of a side of
    // no length is 0.
    static CropLength fromPoints(double points, Unit unit, double pageSide);

    // "12", "12pt", "4.5mm", "0.5in", "5%": a finite number, optionally signed, then a unit
    // (points when none); blanks around either are allowed. Nothing for anything else.
    static std::optional<CropLength> parse(const QString& text);

    bool operator==(const CropLength&) const = default;
};
