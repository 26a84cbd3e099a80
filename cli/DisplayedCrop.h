#pragma once

#include "cli/CropRequest.h"

#include <QRectF>
#include <QSizeF>

#include <optional>

// The crop that --box or --margins asks for on one page, in its display space (points,
// origin at the displayed page's lower-left corner, y up), kept within the page.
namespace DisplayedCrop {

// For a page of displayed size page; nothing when nothing of the page is left.
std::optional<QRectF> of(const CropRequest& request, const QSizeF& page);

} // namespace DisplayedCrop
