#include "crop/MappingFaultGuard.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// One open file maps once, however many windows and workers read it, so this is far more
// than anyone opens; past it, files are read into memory instead.
constexpr int kSlotCount = 1024;

// A guarded mapping, [begin, end). Whoever changes a slot makes its sequence odd first and even
// again after, so the handler can tell a slot it read whole from one it read mid-change; a slot
// with end 0 is free.
struct Slot {
    std::atomic<std::uint64_t> sequence{0};
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<std::atomic<bool>*> faulted{nullptr};
};
static_assert(std::atomic<std::uint64_t>::is_always_lock_free &&
                  std::atomic<std::uintptr_t>::is_always_lock_free &&
                  std::atomic<std::atomic<bool>*>::is_always_lock_free,
              "the fault handler may not wait for a lock");

Slot slots[kSlotCount];
// Written once, before the handler is installed.
std::uintptr_t pageSize = 0;
struct sigaction previousAction = {};

// Hands a fault that is not ours to whatever handled SIGBUS before us.
void forward(int signal, siginfo_t* info, void* context) {
    if (previousAction.sa_flags & SA_SIGINFO) {
        previousAction.sa_sigaction(signal, info, context);
        return;
    }
    if (previousAction.sa_handler != SIG_DFL && previousAction.sa_handler != SIG_IGN) {
        previousAction.sa_handler(signal);
        return;
    }
    // The default action ends the process. The signal is blocked while this handler runs, so
    // the raised one arrives as the handler returns.
    struct sigaction defaultAction = {};
    defaultAction.sa_handler = SIG_DFL;
    sigaction(signal, &defaultAction, nullptr);
    raise(signal);
}

// Lays zeros over the faulting mapping when the address is in one, and says whether it did.
bool zeroFaultingMapping(std::uintptr_t address) {
    for (Slot& slot : slots) {
        const std::uint64_t sequence = slot.sequence.load();
        if (sequence & 1)
            continue;
        const std::uintptr_t begin = slot.begin.load(), end = slot.end.load();
        std::atomic<bool>* faulted = slot.faulted.load();
        if (slot.sequence.load() != sequence || address < begin || address >= end)
            continue;
        // A file is cut short from some point on, so everything after the faulting page is
        // gone too; covering it at once spares a fault per page.
        const std::uintptr_t from = address & ~(pageSize - 1);
        const std::uintptr_t to = (end + pageSize - 1) & ~(pageSize - 1);
        if (mmap(reinterpret_cast<void*>(from), to - from, PROT_READ,
                 MAP_FIXED | MAP_PRIVATE | MAP_ANONYMOUS, -1, 0) == MAP_FAILED)
            return false;
        faulted->store(true);
        return true;
    }
    return false;
}

void onBusError(int signal, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    if (!zeroFaultingMapping(reinterpret_cast<std::uintptr_t>(info->si_addr)))
        forward(signal, info, context);
    errno = savedErrno;
}

void installHandler() {
    pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    struct sigaction action = {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &previousAction);
}

} // namespace

MappingFaultGuard::MappingFaultGuard(const void* begin, qsizetype size) {
    static std::once_flag installed;
    std::call_once(installed, installHandler);
    const auto first = reinterpret_cast<std::uintptr_t>(begin);
    for (int i = 0; i < kSlotCount; ++i) {
        Slot& slot = slots[i];
        std::uint64_t sequence = slot.sequence.load();
        // The exchange fails if anyone changed the slot since it was seen free.
        if ((sequence & 1) || slot.end.load() != 0 ||
            !slot.sequence.compare_exchange_strong(sequence, sequence + 1))
            continue;
        slot.begin.store(first);
        slot.end.store(first + static_cast<std::uintptr_t>(size));
        slot.faulted.store(&faulted_);
        slot.sequence.store(sequence + 2);
        slot_ = i;
        return;
    }
}

MappingFaultGuard::~MappingFaultGuard() {
    if (slot_ < 0)
        return;
    Slot& slot = slots[slot_];
    const std::uint64_t sequence = slot.sequence.load();
    slot.sequence.store(sequence + 1);
    slot.faulted.store(nullptr);
    slot.begin.store(0);
    slot.end.store(0);
    slot.sequence.store(sequence + 2);
}
