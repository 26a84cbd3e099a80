#pragma once

#include <QPalette>

// The program's dark colours as a palette, for what its own style sheets do not reach: message
// boxes, Qt's own file dialogs, About, the size dialog, tool tips and menus. Text keeps a
// contrast of at least 7:1 on its background, disabled text 3:1.
namespace DarkPalette {

QPalette palette();
// Gives the whole application the palette.
void apply();

} // namespace DarkPalette
