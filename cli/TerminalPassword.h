#pragma once

#include <QString>

#include <optional>

// Reading a password typed on the terminal that standard input is, without showing it.
namespace TerminalPassword {

// Whether standard input is a terminal, so a password can be asked for.
bool available();
// Prints prompt on standard error and reads one line from standard input with echo off;
// nothing when standard input is not a terminal or ends.
std::optional<QString> read(const QString& prompt);

} // namespace TerminalPassword
