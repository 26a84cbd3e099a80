#pragma once

#include <QString>

// The look of the small forms on the dark editing window: labels, check boxes, number and
// text fields and choices, as a style sheet for the form's own widget.
namespace FormStyle {

QString styleSheet();

} // namespace FormStyle
