#pragma once

#include <cstddef>

struct fz_context;
struct fz_stream;

// A MuPDF stream over bytes in memory, for files of any size.
//
// MuPDF's own memory stream moves its read position by an int, so in a file larger than 2 GB
// a seek to its end, where the cross-reference section is, lands elsewhere: such a file reads
// as damaged, and repairing it scans every byte. This one hands out the bytes a piece at a
// time and seeks anywhere with 64-bit offsets.
namespace MupdfByteStream {

// A stream over size bytes at data, which must outlive it; throws MuPDF's errors (longjmp), so
// call it inside an fz_try block with no C++ object in its frame.
fz_stream* open(fz_context* ctx, const unsigned char* data, size_t size);

} // namespace MupdfByteStream
