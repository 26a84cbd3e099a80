#pragma once

#include <QString>

// The options every Qt program takes on Linux (-platform xcb, -style fusion, -reverse, the
// -session a desktop restarts it with...), which the windows leave to Qt. Qt reads them with one
// dash or two, and -style and -stylesheet also as -style=NAME.
namespace ToolkitOptions {

enum class Kind {
    NotOne,
    // Complete in one argument: -reverse, -style=fusion.
    Whole,
    // Takes the next argument as its value: -style fusion.
    WithValue,
};

Kind kindOf(const QString& argument);
// Whether the option names the window system or the display to use (-platform, -display), so
// the environment need not.
bool choosesDisplay(const QString& argument);

} // namespace ToolkitOptions
