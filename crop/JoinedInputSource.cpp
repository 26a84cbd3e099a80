#include "crop/JoinedInputSource.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

JoinedInputSource::JoinedInputSource(QByteArrayView head, QByteArrayView tail, std::string name)
    : head_(head), tail_(tail), name_(std::move(name)) {}

char JoinedInputSource::at(qpdf_offset_t offset) const {
    return offset < head_.size() ? head_[offset] : tail_[offset - head_.size()];
}

qpdf_offset_t JoinedInputSource::findAndSkipNextEOL() {
    // As qpdf's own sources do: the offset of the next end-of-line, with the position moved
    // past it and any end-of-line characters that follow; the end of the file if none.
    while (position_ < size() && !isEndOfLine(at(position_)))
        ++position_;
    const qpdf_offset_t found = std::min(position_, size());
    while (position_ < size() && isEndOfLine(at(position_)))
        ++position_;
    return found;
}

void JoinedInputSource::seek(qpdf_offset_t offset, int whence) {
    const qpdf_offset_t base = whence == SEEK_END ? size() : whence == SEEK_CUR ? position_ : 0;
    if (base + offset < 0)
        throw std::runtime_error(name_ + ": seek before the beginning of the file");
    position_ = base + offset;
}

size_t JoinedInputSource::read(char* into, size_t length) {
    last_offset = std::min(position_, size());
    size_t copied = 0;
    while (copied < length && position_ < size()) {
        const QByteArrayView run = position_ < head_.size()
                                       ? head_.sliced(position_)
                                       : tail_.sliced(position_ - head_.size());
        const size_t piece = std::min(length - copied, static_cast<size_t>(run.size()));
        std::memcpy(into + copied, run.data(), piece);
        copied += piece;
        position_ += static_cast<qpdf_offset_t>(piece);
    }
    return copied;
}

void JoinedInputSource::unreadCh(char) {
    if (position_ > 0)
        --position_;
}
