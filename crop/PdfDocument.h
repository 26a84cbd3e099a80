#pragma once

#include "crop/PagePart.h"
#include "crop/PdfBox.h"
#include "crop/PdfPage.h"
#include "crop/PdfRenderSource.h"
#include "crop/SaveJob.h"

#include <QByteArray>
#include <QRectF>
#include <QString>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// An opened PDF document: its pages, their boxes and rotation, its lock, and its bytes.
//
// Rectangles are in page space: points, origin at the lower left, y upward, unrotated.
// Page indexes are 0-based; an index outside 0..pageCount()-1 reads as an empty page and
// writes nothing. A locked document has no pages until it is unlocked.
//
// Threads: a document is used by one thread at a time. Normally that is the GUI thread;
// a save hands the document to a worker thread for dataRepresentation() and back.
class PdfDocument {
public:
    virtual ~PdfDocument() = default;

    // An independent document with the same pages and boxes: box changes in one never
    // show in the other.
    virtual std::unique_ptr<PdfDocument> copy() const = 0;

    virtual int pageCount() const = 0;
    // How many pages the file has, which its renderer finds: other than pageCount() once pages
    // were split or joined.
    virtual int filePageCount() const = 0;
    PdfPage pageAtIndex(int index) { return PdfPage(this, index); }

    virtual bool isLocked() const = 0;
    // True when the password opens the document (user or owner password); its pages are
    // then readable. A wrong password leaves a locked document locked.
    virtual bool unlockWithPassword(const QString& password) = 0;

    // Display rotation of a page in degrees, clockwise: 0, 90, 180 or 270.
    virtual int rotation(int pageIndex) const = 0;
    // Whether the page's description in the file is lost, so that nothing can draw it.
    virtual bool isPageDamaged(int pageIndex) const = 0;
    // The effective box: inherited values honoured, corners normalised, a missing crop box
    // is the media box, and crop, bleed, trim and art boxes are clipped to the media box.
    virtual QRectF boundsForBox(int pageIndex, PdfBox box) const = 0;
    // Replaces one box of one page; no other page changes, even one that shared the box. A
    // damaged page keeps its boxes: there is nothing in the file to hold new ones.
    virtual void setBoundsForBox(int pageIndex, const QRectF& bounds, PdfBox box) = 0;
    // The page of the file that page pageIndex is drawn from, counted from 0: its own place in
    // the file as opened, or for a part of a page split since, that page's.
    virtual int filePageIndex(int pageIndex) const = 0;
    // The part of its file page that page pageIndex shows (PageGeometry::region): where its
    // content is, rather than the file page's; empty for a page that shows its file page.
    virtual QRectF shownRegion(int pageIndex) const = 0;
    // For a page split from another, which part of it the page is, as the file kept it or as
    // the split made it; nothing for other pages.
    virtual std::optional<PagePart> pagePart(int pageIndex) const = 0;
    // Replaces each page of parts, by index, with one page for each of its rectangles (page
    // space), in order: each shows the page within its rectangle, which all five of its boxes
    // become, and keeps what the page kept from before it was first cropped. The pages after
    // move on. A damaged page, or one with fewer than two rectangles or too many, stays.
    virtual void splitPages(const std::map<int, std::vector<QRectF>>& parts) = 0;
    // Joins each run of pages (its first page's index and length), the parts of one page, into
    // its first page, which is then no part and gets the boxes kept from before the page was
    // split: the others go, and the links and notes the file holds on them go to it.
    virtual void joinPages(const std::vector<std::pair<int, int>>& runs) = 0;
    // The five boxes, in PdfBox order, that the page had before it was first saved cropped,
    // as the file held them when it was opened; nothing for a page never saved cropped.
    virtual std::optional<std::array<QRectF, kPdfBoxCount>>
    keptOriginalBoxes(int pageIndex) const = 0;

    // The complete bytes of the document as it now is, box changes included. Posts the
    // write notifications (begin, one page end per page in page order, end) on the calling
    // thread through the default notification center, with this document as sender.
    // Returns an empty array, after posting begin and end, when the bytes cannot be made.
    virtual QByteArray dataRepresentation() const = 0;

    // Writes the same bytes, with the same notifications, into the file at path. They go to
    // a temporary file beside it that is forced to disk, read back and found to hold this
    // document's pages and boxes before it is renamed over path, so a failed write leaves no
    // partial file and an existing file at path as it was, and a crash leaves the old file
    // or the new one. Returns false, with a reason a user can read in errorMessage, when the
    // file cannot be written or does not read back.
    //
    // Both fail, saying so, once fileChangedSinceOpened() is true, or when it turns true
    // while the bytes are made: they would mix the file as it was opened with what another
    // program wrote since.
    //
    // With choices.removesOutside, removed (when given) is told what each page lost.
    virtual bool writeToFile(const QString& path, const SaveChoices& choices, QString* errorMessage,
                             std::vector<RemovedOutside>* removed = nullptr) const = 0;
    // The same, with the choices a save makes unless told otherwise.
    bool writeToFile(const QString& path, QString* errorMessage) const {
        return writeToFile(path, SaveChoices{}, errorMessage);
    }
    // A save may come soon, as when the user is choosing where to save: the part of it that
    // does not depend on the boxes may start now, so that the save then takes less time. Any
    // thread.
    virtual void prepareToSave() const = 0;

    // True once another program has written into the file this document was opened from, or
    // cut it short. Its pages may then draw wrongly or blank, and it can no longer be saved;
    // opening the file again reads its new version. A file replaced by renaming another over
    // it, as a save does, keeps the bytes that were opened, so it has not changed. Any thread.
    virtual bool fileChangedSinceOpened() const = 0;

    // What the renderer needs to draw this document's pages.
    virtual PdfRenderSource renderSource() const = 0;
};
