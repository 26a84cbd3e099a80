#include "render/MupdfMemoryWatch.h"

#include <mupdf/fitz.h>

#include <cstdlib>

fz_context* MupdfMemoryWatch::newContext(size_t storeBytes) {
    const fz_alloc_context allocator{this, allocate, reallocate, release};
    return fz_new_context(&allocator, nullptr, storeBytes);
}

void* MupdfMemoryWatch::allocate(void* self, size_t size) {
    void* block = std::malloc(size);
    if (!block && size > 0)
        static_cast<MupdfMemoryWatch*>(self)->failed_ = true;
    return block;
}

void* MupdfMemoryWatch::reallocate(void* self, void* old, size_t size) {
    void* block = std::realloc(old, size);
    if (!block && size > 0)
        static_cast<MupdfMemoryWatch*>(self)->failed_ = true;
    return block;
}

void MupdfMemoryWatch::release(void*, void* block) {
    std::free(block);
}
