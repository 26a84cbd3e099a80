#include "render/host/MemoryShortage.h"

#include "render/RenderHostProtocol.h"

#include <atomic>
#include <cstdlib>
#include <exception>
#include <new>

namespace MemoryShortage {

namespace {

std::atomic<bool> ranOut{false};
// Made before they are needed: nothing may be allocated while the process ends.
int lastWordsFd = -1;
const QByteArray* lastWords = nullptr;

void noteAndFail() {
    ranOut = true;
    throw std::bad_alloc();
}

[[noreturn]] void end() {
    if (ranOut && lastWords)
        RenderHostProtocol::writeFrame(lastWordsFd, *lastWords);
    std::abort();
}

} // namespace

void watch() {
    std::set_new_handler(noteAndFail);
}

void note() {
    ranOut = true;
}

bool noted() {
    return ranOut;
}

void answerOnEnding(int fd, const QByteArray& words) {
    delete lastWords;
    lastWords = new QByteArray(words);
    lastWordsFd = fd;
    std::set_terminate(end);
}

} // namespace MemoryShortage
