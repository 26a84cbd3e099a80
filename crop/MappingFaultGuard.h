#pragma once

#include <QtGlobal>

#include <atomic>

// Keeps a read of a mapped file that another program cut short from ending the program.
//
// Reading a part of a mapping that no longer exists in its file raises SIGBUS, which would end
// the process and every open window with it. While a mapping is guarded, such a fault instead
// lays zero-filled pages over the mapping from the faulting page to its end, notes that the
// mapping faulted and lets the read go on: it reads zeros, and the owner of the bytes can ask
// hasFaulted() before trusting them. A SIGBUS anywhere else is handled as it was before.
//
// The handler is installed with the first guard and stays for the life of the process. It may
// run on a thread that holds any lock, so it finds the guarded mappings in a fixed table of
// atomics and never allocates or locks.
//
// Thread-safe: guards may be made and destroyed on any thread.
class MappingFaultGuard {
public:
    // Guards the read-only mapping of size bytes at begin, which must be page-aligned.
    // isActive() is false, and nothing is guarded, when too many mappings are guarded already.
    MappingFaultGuard(const void* begin, qsizetype size);
    // Stops guarding; the mapping must still be in place.
    ~MappingFaultGuard();

    MappingFaultGuard(const MappingFaultGuard&) = delete;
    MappingFaultGuard& operator=(const MappingFaultGuard&) = delete;

    bool isActive() const { return slot_ >= 0; }
    // True once a read found part of the mapping gone from its file.
    bool hasFaulted() const { return faulted_.load(); }

private:
    int slot_ = -1;
    std::atomic<bool> faulted_{false};
};
