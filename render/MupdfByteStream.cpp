#include "render/MupdfByteStream.h"

#include <mupdf/fitz.h>

#include <algorithm>
#include <cstdio>

namespace MupdfByteStream {

namespace {

// What one refill hands out: small enough that no count of buffered bytes nears an int's
// range, large enough that refills cost nothing next to reading the bytes.
constexpr size_t kPiece = 1u << 20;

struct Bytes {
    const unsigned char* data;
    size_t size;
};

// Where rp and wp point with nothing handed out at offset. MuPDF's lexer steps rp back a byte
// after reading, even after reading the end of the file, as its own memory streams allow: rp
// must never be null, and stepped back it must point into the bytes.
unsigned char* at(const Bytes& bytes, size_t offset) {
    return const_cast<unsigned char*>(bytes.data + offset);
}

int next(fz_context*, fz_stream* stream, size_t) {
    const auto* bytes = static_cast<const Bytes*>(stream->state);
    // stream->pos is where the bytes handed out so far end.
    const size_t from = size_t(stream->pos);
    if (from >= bytes->size) {
        stream->rp = stream->wp = at(*bytes, bytes->size);
        return EOF;
    }
    const size_t piece = std::min(kPiece, bytes->size - from);
    // MuPDF only reads through rp, as from its own memory streams.
    stream->rp = at(*bytes, from);
    stream->wp = stream->rp + piece;
    stream->pos = int64_t(from + piece);
    return *stream->rp++;
}

void seek(fz_context*, fz_stream* stream, int64_t offset, int whence) {
    const auto* bytes = static_cast<const Bytes*>(stream->state);
    const int64_t size = int64_t(bytes->size);
    // fz_seek has made an offset from the current position absolute already.
    const int64_t to = whence == SEEK_END ? size + offset : offset;
    stream->pos = std::clamp<int64_t>(to, 0, size);
    stream->rp = stream->wp = at(*bytes, size_t(stream->pos));
}

void drop(fz_context* ctx, void* state) {
    fz_free(ctx, state);
}

} // namespace

fz_stream* open(fz_context* ctx, const unsigned char* data, size_t size) {
    // No bytes at all are read as the end of one, so that a step back from it stays in memory.
    static const unsigned char kNone[1] = {0};
    auto* bytes = fz_malloc_struct(ctx, Bytes);
    bytes->data = size > 0 ? data : kNone + 1;
    bytes->size = size;
    fz_stream* stream = fz_new_stream(ctx, bytes, next, drop);
    stream->seek = seek;
    return stream;
}

} // namespace MupdfByteStream
