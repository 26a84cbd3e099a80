#pragma once

#include <QByteArray>

// Whether the render host ran out of the memory it may take. qpdf turns some failures into
// warnings, a failed allocation among them: an object it could not read becomes a null, and a
// document read that way looks damaged, or a save looks sound though part of it is missing.
// The host asks here after a job, so that a file too large for its memory is told as such and
// never saved from what was read of it.
//
// Thread-safe.
namespace MemoryShortage {

// From now on, every allocation by operator new that fails is noted before it throws
// std::bad_alloc as usual.
void watch();
// Notes a failed allocation that was reported otherwise (std::bad_alloc from a library that
// allocates by itself).
void note();
// Whether an allocation failed since watch().
bool noted();
// Where an allocation fails at a point no exception may pass, the process ends at once; if it
// ends so after a noted failure, lastWords goes to the program on fd first (a message, see
// RenderHostProtocol), so that it learns the job wanted more memory, not only that it stopped.
void answerOnEnding(int fd, const QByteArray& lastWords);

} // namespace MemoryShortage
