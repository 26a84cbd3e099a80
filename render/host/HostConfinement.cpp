#include "render/host/HostConfinement.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <seccomp.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace HostConfinement {

namespace {

// AddressSanitizer's runtime reads files, stops the threads with ptrace and runs a symbolizer
// when it reports, so a sanitized host only drops its privileges.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kFiltered = false;
#else
constexpr bool kFiltered = true;
#endif

// What a confined host may ask of the kernel whatever the arguments: these act only on the
// descriptors it holds, its own memory, signals and threads, or tell it the time.
constexpr int kAllowed[] = {
    // Requests and answers, the document, the file being saved, messages.
    SCMP_SYS(read), SCMP_SYS(pread64), SCMP_SYS(write), SCMP_SYS(writev), SCMP_SYS(pwrite64),
    SCMP_SYS(lseek), SCMP_SYS(fstat), SCMP_SYS(fcntl), SCMP_SYS(close), SCMP_SYS(poll),
    SCMP_SYS(ppoll),
    // Saving copies the unchanged part of the document into the new file in the kernel, and a
    // save that removes what lies outside the crops writes the file again, shorter; the new
    // file is the only one the host holds open for writing.
    SCMP_SYS(copy_file_range), SCMP_SYS(ftruncate),
    // Memory; mapping and protecting only as below.
    SCMP_SYS(brk), SCMP_SYS(munmap), SCMP_SYS(mremap), SCMP_SYS(madvise),
    // Locks, clocks, random numbers, and the sizes glibc's sort asks for.
    SCMP_SYS(futex), SCMP_SYS(clock_gettime), SCMP_SYS(clock_getres), SCMP_SYS(gettimeofday),
    SCMP_SYS(time), SCMP_SYS(nanosleep), SCMP_SYS(clock_nanosleep), SCMP_SYS(sched_yield),
    SCMP_SYS(getrandom), SCMP_SYS(getpid), SCMP_SYS(gettid), SCMP_SYS(sysinfo),
    // The handler that keeps a document cut short under its mapping from ending the host, and
    // abort(), which a failed check in a library calls.
    SCMP_SYS(rt_sigaction), SCMP_SYS(rt_sigprocmask), SCMP_SYS(rt_sigreturn), SCMP_SYS(sigaltstack),
    SCMP_SYS(restart_syscall), SCMP_SYS(exit), SCMP_SYS(exit_group)};

struct NarrowRule {
    int call;
    scmp_arg_cmp condition;
};

constexpr scmp_arg_cmp masked(unsigned int arg, scmp_datum_t mask, scmp_datum_t value) {
    return {arg, SCMP_CMP_MASKED_EQ, mask, value};
}

// Installs the filter; 0, or a negative errno.
int installFilter() {
    // Never executable: the host runs no code but what it loaded when it started.
    const scmp_arg_cmp notExecutable = masked(2, PROT_EXEC, 0);
    const NarrowRule narrow[] = {
        {SCMP_SYS(mmap), notExecutable},
        {SCMP_SYS(mprotect), notExecutable},
        // Only as fstat on a descriptor calls them (AT_EMPTY_PATH). The flag does not keep a
        // name from being looked up with it, but that tells no more than whether a file exists.
        {SCMP_SYS(newfstatat), masked(3, AT_EMPTY_PATH, AT_EMPTY_PATH)},
        {SCMP_SYS(statx), masked(2, AT_EMPTY_PATH, AT_EMPTY_PATH)},
        // The file a save writes is handed over on the request channel, and on no other.
        {SCMP_SYS(recvmsg), {0, SCMP_CMP_EQ, 0, 0}},
        // abort() signals this process, and no other.
        {SCMP_SYS(tgkill), {0, SCMP_CMP_EQ, scmp_datum_t(getpid()), 0}}};
    const std::unique_ptr<void, decltype(&seccomp_release)> filter(
        seccomp_init(SCMP_ACT_KILL_PROCESS), seccomp_release);
    if (!filter)
        return -EINVAL;
    for (const int call : kAllowed) {
        if (const int rc = seccomp_rule_add(filter.get(), SCMP_ACT_ALLOW, call, 0))
            return rc;
    }
    for (const NarrowRule& rule : narrow) {
        if (const int rc =
                seccomp_rule_add(filter.get(), SCMP_ACT_ALLOW, rule.call, 1, rule.condition))
            return rc;
    }
    return seccomp_load(filter.get());
}

// False when this kernel was built without system call filters.
bool kernelFilters() {
    return prctl(PR_GET_SECCOMP, 0, 0, 0, 0) >= 0 || errno != EINVAL;
}

void toStandardError(QtMsgType, const QMessageLogContext&, const QString& message) {
    std::fprintf(stderr, "cropmark-render: %s\n", message.toLocal8Bit().constData());
}

// Qt reads its logging rules from files the first time a category is used; its own message
// handler opens /dev/tty to learn whether a terminal shows its messages, and may send them to
// the system journal through a socket.
void prepareQt() {
    QLoggingCategory::defaultCategory();
    qInstallMessageHandler(toStandardError);
}

bool refuse(QString* error, const char* call, int code) {
    if (error) {
        *error = QCoreApplication::translate("HostConfinement",
                                             "The page renderer could not shut itself in "
                                             "(%1: %2), so it did not read the file.")
                     .arg(QString::fromLatin1(call), QString::fromLocal8Bit(std::strerror(code)));
    }
    return false;
}

} // namespace

bool confine(QString* error) {
    prepareQt();
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return refuse(error, "no_new_privs", errno);
    if (!kFiltered)
        return true;
    if (!kernelFilters()) {
        std::fputs("cropmark-render: this system's kernel cannot filter system calls, so the "
                   "page renderer runs with its privileges dropped only.\n",
                   stderr);
        return true;
    }
    if (const int rc = installFilter())
        return refuse(error, "seccomp", -rc);
    return true;
}

} // namespace HostConfinement
