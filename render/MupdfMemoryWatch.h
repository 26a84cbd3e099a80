#pragma once

#include <atomic>
#include <cstddef>

struct fz_context;

// Notes when MuPDF cannot allocate memory. While it runs a page, MuPDF turns a failed
// allocation into a warning and draws the page without what needed the memory, an image or a
// font: a page too large for the memory allowed would look drawn, only emptier. A rasterizer
// asks here whether what it drew is whole.
//
// Thread-safe.
class MupdfMemoryWatch {
public:
    // A MuPDF context (as fz_new_context) whose allocations, made with malloc as MuPDF's own
    // are, are watched; null when it cannot be made. It must be dropped before this object.
    fz_context* newContext(size_t storeBytes);
    // Whether an allocation failed since the last call. MuPDF frees what it caches and tries
    // again before it gives up, so a failure is only a shortage where the work failed too.
    bool failedSinceAsked() { return failed_.exchange(false); }

private:
    static void* allocate(void* self, size_t size);
    static void* reallocate(void* self, void* old, size_t size);
    static void release(void* self, void* block);

    std::atomic<bool> failed_{false};
};
