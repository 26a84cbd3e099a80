#pragma once

#include "crop/RemovedOutside.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

// Takes out of a PDF what cannot show inside each page's crop box, so that resetting the boxes
// or extracting the text brings none of it back, and a cropped scan shrinks:
// - every glyph wholly outside (one crossing the edge stays);
// - images wholly outside, and the part outside of images that cross the edge
//   (MupdfImageCut);
// - paths and shadings wholly outside; what crosses the edge stays, under a clip to the box;
// - annotations and links wholly outside;
// - inside forms too, each form copied for each place it is drawn.
// Each page's media box becomes its crop box. The file is written anew, without what no page
// uses any more, and encrypted as it was.
//
// Any thread; the caller contains what a bad file may do (the render host).
namespace OutsideContentRemoval {

struct Outcome {
    // The file written, unless a page could not be cleared.
    std::optional<QByteArray> file;
    // Why not, naming the page.
    QString error;
    // What each page lost, for those that lost anything.
    std::vector<RemovedOutside> removed;
};

// The PDF in bytes, unlocked with password, with nothing outside its pages' crop boxes;
// pageDone is called as each page is done. The pages marked in cropped are cleared, as their
// content may reach beyond even their media box, which a crop may have set; any other page
// only when its crop box is smaller than its media box.
Outcome remove(QByteArrayView bytes, const QByteArray& password, const std::vector<bool>& cropped,
               const std::function<void()>& pageDone);

} // namespace OutsideContentRemoval
