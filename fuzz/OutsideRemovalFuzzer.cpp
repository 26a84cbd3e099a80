// Untrusted bytes through the removal of what lies outside each page's crop, which the render
// host runs on the file a save wrote: every page taken through the content filter, the culling
// of what lies outside and the cutting of images, then the whole file written again. Whatever
// the bytes, it either writes a file or says why not.

#include "fuzz/FuzzRequire.h"
#include "render/OutsideContentRemoval.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Every page counts as cropped, so that each goes the whole way.
    const std::vector<bool> cropped(256, true);
    const auto outcome = OutsideContentRemoval::remove(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), {},
        cropped, [] {});
    FUZZ_REQUIRE(outcome.file.has_value() != !outcome.error.isEmpty());
    return 0;
}
