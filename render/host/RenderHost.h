#pragma once

#include <QString>

// The render host: a process of its own that draws one document's pages for the program, so
// that a file that crashes the renderer, loops in it or eats all memory costs only its pages.
//
// The program starts it with the document's bytes on descriptor 3, requests on standard input
// and results on standard output (RenderHostProtocol); the password, if any, is the first
// message. The host answers the page count, then draws until its input ends.
namespace RenderHost {

// Runs the host in this process; returns its exit status. memoryLimitMb caps the address
// space the host may take (0: no cap).
int run(int memoryLimitMb);

} // namespace RenderHost
