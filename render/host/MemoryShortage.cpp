#include "render/host/MemoryShortage.h"

#include <atomic>
#include <new>

namespace MemoryShortage {

namespace {

std::atomic<bool> ranOut{false};

void noteAndFail() {
    ranOut = true;
    throw std::bad_alloc();
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

} // namespace MemoryShortage
