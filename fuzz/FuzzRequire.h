#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the fuzz run, saying which promise an input broke; libFuzzer then keeps the input.
#define FUZZ_REQUIRE(condition)                                                                    \
    ((condition) ? void() : fuzzPromiseBroken(#condition, __FILE__, __LINE__))

[[noreturn]] inline void fuzzPromiseBroken(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: broken: %s\n", file, line, condition);
    std::abort();
}
