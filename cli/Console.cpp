#include "cli/Console.h"

#include "cli/TerminalPassword.h"

#include <cstdio>
#include <unistd.h>

namespace {

void print(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

Console::Console() : showsProgress_(isatty(STDERR_FILENO) == 1) {}

void Console::clearProgress() {
    if (progressShown_)
        print(stderr, QStringLiteral("\r\x1b[K"));
    progressShown_ = false;
}

void Console::progress(const QString& text) {
    if (!showsProgress_)
        return;
    std::lock_guard lock(mutex_);
    print(stderr, QStringLiteral("\r\x1b[K") + text);
    progressShown_ = true;
}

void Console::result(const QString& line) {
    std::lock_guard lock(mutex_);
    clearProgress();
    print(stdout, line + u'\n');
}

void Console::error(const QString& text) {
    std::lock_guard lock(mutex_);
    clearProgress();
    print(stderr, QStringLiteral("cropmark: ") + text + u'\n');
}

std::optional<QString> Console::askPassword(const QString& prompt) {
    std::lock_guard lock(mutex_);
    clearProgress();
    return TerminalPassword::read(prompt);
}

void Console::finish() {
    std::lock_guard lock(mutex_);
    clearProgress();
}
