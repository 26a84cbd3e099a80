#pragma once

#include <QString>

// Shuts the render host in with what it was handed, so that a file that takes over MuPDF or
// qpdf gets no further than the host's own descriptors and memory: no file opened by name, no
// socket, no program run, no process made, no privilege gained through a program it could
// run.
//
// Once confined, the host may read and write the descriptors it holds, manage its memory
// (though never make it executable), wait, tell the time, draw random numbers, handle its
// signals and end; any other system call ends it with SIGSYS. So everything it would open
// later is opened before: the document, Qt's logging rules. Its messages go to standard
// error, where Qt would otherwise open the terminal or the system journal to send them.
//
// A build with AddressSanitizer keeps only the privileges dropped: the sanitizer's runtime
// reads files, stops the process's threads with ptrace and runs a symbolizer to report.
namespace HostConfinement {

// Confines this process, which must have only one thread. True when it is confined, or when
// its kernel cannot filter system calls (said on standard error: the host then runs with its
// privileges dropped only). False, with the reason in error, when the host could not be
// confined though it could have been: it must then not read the file.
bool confine(QString* error);

} // namespace HostConfinement
