#pragma once

#include "crop/PdfRenderSource.h"

#include <functional>
#include <mutex>
#include <optional>

// Another copy of one document for drawing (a rewritten one, see QpdfRenderCopy), made the
// first time a renderer of that document needs it and then shared by all of them, so a large
// file is rewritten at most once and only when a page cannot be drawn otherwise.
//
// Thread-safe.
class SharedRenderCopy {
public:
    using Maker = std::function<std::optional<PdfRenderSource>()>;

    explicit SharedRenderCopy(Maker make) : make_(std::move(make)) {}

    // The copy, made on first call (other callers wait for it); nothing when it could not be
    // made.
    const std::optional<PdfRenderSource>& get();

private:
    const Maker make_;
    std::once_flag once_;
    std::optional<PdfRenderSource> copy_;
};
