#pragma once

#include <QByteArray>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

// A fuzz input that is a document followed by a few bytes of choices (which page, what box,
// how large a picture). The choices are the last bytes, so that cutting or growing the
// document keeps them; an input shorter than they are is all choices, the missing ones zero.
template <std::size_t Count> struct TrailingChoices {
    QByteArray document;
    std::array<std::uint8_t, Count> choices{};

    static TrailingChoices read(const std::uint8_t* data, std::size_t size) {
        TrailingChoices input;
        const std::size_t documentSize = size > Count ? size - Count : 0;
        input.document = QByteArray(reinterpret_cast<const char*>(data), qsizetype(documentSize));
        if (size > documentSize)
            std::memcpy(input.choices.data(), data + documentSize, size - documentSize);
        return input;
    }
};
