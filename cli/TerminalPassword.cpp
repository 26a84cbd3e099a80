#include "cli/TerminalPassword.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace TerminalPassword {

bool available() {
    return isatty(STDIN_FILENO) == 1;
}

std::optional<QString> read(const QString& prompt) {
    if (!available())
        return std::nullopt;
    std::fputs(prompt.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    termios shown{};
    const bool echoOff = tcgetattr(STDIN_FILENO, &shown) == 0;
    if (echoOff) {
        termios hidden = shown;
        hidden.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    }
    std::string line;
    const bool got = static_cast<bool>(std::getline(std::cin, line));
    if (echoOff)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &shown);
    // The Return typed was not echoed either.
    std::fputc('\n', stderr);
    if (!got)
        return std::nullopt;
    return QString::fromLocal8Bit(line);
}

} // namespace TerminalPassword
