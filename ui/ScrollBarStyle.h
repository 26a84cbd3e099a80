#pragma once

#include <QString>

// The thin dark vertical scroll bar of the program's lists, as a style sheet to add to a
// window's own.
namespace ScrollBarStyle {

QString styleSheet();

} // namespace ScrollBarStyle
