#include "cli/Console.h"

#include "cli/TerminalPassword.h"

#include <cstdio>
#include <unistd.h>

namespace {

constexpr qint64 kCountIntervalMs = 40;

QString withoutDigits(const QString& text) {
    QString rest;
    for (const QChar c : text) {
        if (!c.isDigit())
            rest += c;
    }
    return rest;
}

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
    QString step = withoutDigits(text);
    if (progressShown_ && step == shownStep_ && !sinceShown_.hasExpired(kCountIntervalMs))
        return;
    print(stderr, QStringLiteral("\r\x1b[K") + text);
    progressShown_ = true;
    shownStep_ = std::move(step);
    sinceShown_.start();
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
