#pragma once

#include <QString>

// The thin dark scroll bars of the program's lists and page view, as a style sheet to add to a
// window's own.
namespace ScrollBarStyle {

QString styleSheet();

} // namespace ScrollBarStyle
