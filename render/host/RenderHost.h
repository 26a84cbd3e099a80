#pragma once

#include <QString>

// The render host: a process of its own that draws one document's pages for the program, so
// that a file that crashes the renderer, loops in it or eats all memory costs only its pages.
//
// The program starts it with the document's bytes on descriptor 3, requests on standard input
// and answers on standard output (RenderHostProtocol); the password, if any, is the first
// message. Drawing, the host answers the page count, then draws until its input ends. It can
// instead read the document's pages, or its first page, with qpdf, rewrite it with qpdf for
// drawing or repair it with MuPDF into the file on descriptor 4, or save it with crops into
// the file the program hands over (RenderHostProtocol::receiveDescriptor) once it has parsed
// the document, and read that back through the descriptor, once; or read the pages from the
// parse it then saves with. Each runs confined (HostConfinement).
namespace RenderHost {

enum class Task { Draw, ReadPages, ReadFirstPage, Repair, Rewrite, Save, ReadPagesAndSave };

// Runs the host in this process; returns its exit status. memoryLimitMb caps the memory the
// host may allocate (0: no cap); the document's bytes and the file it saves are mapped
// outside it, so a file of any size can be read and saved. Once the document is open, the
// host confines itself (HostConfinement) and only then reads its requests; with a probe, it
// instead makes the forbidden call probe names (ConfinementProbe), for tests.
int run(Task task, int memoryLimitMb, const char* probe);

} // namespace RenderHost
