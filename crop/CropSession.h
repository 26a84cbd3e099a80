#pragma once

#include "crop/CropEdge.h"
#include "crop/CropLength.h"
#include "crop/PageSplit.h"
#include "crop/PdfDocument.h"
#include "crop/RMCropInfo.h"

#include <QByteArray>
#include <QSizeF>
#include <QStringList>
#include <QUndoStack>

#include <map>
#include <memory>
#include <optional>
#include <vector>

// The crops of one open document, from a finished drag to the document's bytes.
//
// Holds the working document (shown, cropped, saved), the pristine copy taken when the file
// was opened, one crop record per working page, the current page, batch mode and the page
// selection. A finished crop changes only the records (pending crops); done() writes them
// into the working document's page boxes (applied crops); revertAll() goes back to the
// pristine document. Knows nothing of windows: the main window controller drives it and
// updates its buttons and thumbnails from the results.
//
// Every edit (a crop of any kind, a nudge, a fit, a restore, a new selection, "Done",
// "Revert All") is one step of the session's undo stack, named for the menu ("Crop of Pages
// 1–40"); an edit that changes nothing is no step. Undoing a step gives back the records, the
// selection and the boxes the document had before it, and makes its page the current one.
//
// Thread: the GUI thread, except that a save may hand the working document to a worker.
class CropSession {
public:
    // Takes the working document and makes the pristine copy of it.
    explicit CropSession(std::unique_ptr<PdfDocument> document);

    PdfDocument& pdfDoc() { return *pdfDoc_; }
    const PdfDocument& pdfDoc() const { return *pdfDoc_; }
    const PdfDocument& originalPdfDoc() const { return *originalPdfDoc_; }
    const std::vector<RMCropInfo>& cropsRect() const { return cropsRect_; }

    // The edits, to undo and redo.
    QUndoStack& undoStack() { return undoStack_; }

    // Rebuilds every record from the working document's current boxes: all pages uncropped.
    // The edits so far can no longer be undone.
    void rebuildRecords();

    qint64 currentIndex() const { return currentIndex_; }
    // The current page's record; there must be pages (a locked document has none).
    const RMCropInfo& currentRecord() const {
        return cropsRect_[static_cast<size_t>(currentIndex_)];
    }
    // Clamped to the pages there are.
    void setCurrentIndex(qint64 index);
    bool isBatchCrop() const { return isBatchCrop_; }
    void setBatchCrop(bool batch) { isBatchCrop_ = batch; }

    // Unlocks the working document and, with the same password, the pristine copy, so that
    // "Revert All" never asks for the password again.
    bool unlockWithPassword(const QString& password);

    // The last accepted selection list, and the page numbers it selects now.
    const QStringList& cropPageTypeRangeArray() const { return cropPageTypeRangeArray_; }
    const std::vector<qint64>& pageRangeArray();

    // A drag of the crop marker on the current page ended with rect in the page view's space
    // (the zero rectangle means the whole page). Sets the current page's crop and, in batch
    // mode, every selected page's. Returns whether some page is now cropped.
    bool cropIsFinishedWithRect(const QRectF& rect);
    // A selection accepted in the page range sheet: kept, and the current page's crop
    // carried at once to every page it selects.
    bool applyPageRangeSettingWithPageArray(const QStringList& selection);
    // The selection batch crops start from, set before any edit: no step to undo.
    void setStartingPageRange(const QStringList& selection);

    // Crops the current page to displayCrop (display space, points), kept within the page,
    // and in batch mode carries it to the selection as a finished drag does. Returns whether
    // some page is now cropped.
    bool setCurrentCrop(const QRectF& displayCrop);
    // Moves the edges of the current page's crop by dx, dy points of its display space (dx
    // for the left and right edges, dy for the bottom and top ones), as setCurrentCrop would
    // set it. A moved crop stays within the page; an edge stops at the page's edge and a
    // point short of the opposite edge. Nudges that follow one another on a page add up
    // exactly: ten to the right and ten back give the crop they started from.
    bool nudgeCrop(CropEdges edges, double dx, double dy);

    // Crops pages, by number, to rectangles in their display space, kept within the page, as
    // a finished drag on each page would; other pages keep their crops. Returns whether some
    // page is now cropped.
    bool cropPages(const std::map<qint64, QRectF>& displayCrops);

    // The pages, by number, that a fit to content covers: the current page and, in batch
    // mode, every selected page.
    std::vector<qint64> contentFitPages();
    // Crops the pages a fit to content covers to their content, given as page-space bounds
    // by page number, grown by padding on every side and kept within the page. With sameSize,
    // the pages of the current page's size all get one rectangle that holds the content of
    // every one of them, and pages of other sizes get it carried as a batch crop carries a
    // crop. A page without bounds (nothing drawn, or not measured) keeps its crop. Returns
    // whether some page is now cropped.
    bool fitToContent(const std::map<qint64, QRectF>& contentBounds, const CropLength& padding,
                      bool sameSize);
    // Whether page pageNumber's crop, pending or applied, leaves out part of its content
    // (page-space bounds) that showed when the document was opened.
    bool cutsContent(qint64 pageNumber, const QRectF& contentBounds) const;
    // What page pageNumber showed when the document was opened: its crop box then, or for a
    // page split since (or parts joined), the part of the file's page it shows.
    QRectF shownWhenOpened(qint64 pageNumber) const;

    // Splits the current page and, in batch mode, every selected page into parts as split
    // says, as one step: what a page keeps (its crop, or the whole page) is divided, and each
    // part becomes a page of its own, uncropped, while other pages keep their crops. A damaged
    // page, or one the split does not fit, stays whole. Returns the pages split, by number.
    std::vector<qint64> splitPages(const PageSplit& split);

    // Whether some page has boxes kept in the file from before it was first saved cropped
    // that are not its boxes now, or pages are parts the file says were split from one page.
    bool canRestoreOriginal() const;
    // Joins parts into the page they were split from, with its kept boxes, and gives every
    // other page that has kept boxes them, pending like a crop: "Done" (or a save) writes
    // them, "Revert All" or a later crop of the page drops them. Returns whether some page now
    // has a pending change.
    bool restoreOriginal();

    // Whether some page has a pending change: a record keeping less than its whole page, or a
    // pending restore. However small, such a change is what the user sees and means to save.
    bool isCroppedSomePage() const;

    // Whether saving would give a file other than the one last opened or saved: pending
    // changes, or applied crops that are not in it. A new selection alone is no such change.
    bool isEdited() const { return isCroppedSomePage() || documentVersion_ != savedVersion_; }
    // The working document as it is now is the file on disk.
    void markSaved() { savedVersion_ = documentVersion_; }

    // Writes every record into its page's five boxes and returns the document's bytes.
    QByteArray applyCropDocData();
    // The working document's bytes as they are, records not written.
    QByteArray currentDocData() const;

    // "Done": writes the records into the boxes and rebuilds them from the new boxes.
    void done();
    // "Revert All": the working document becomes a new copy of the pristine one.
    void revertAll();
    // Whether "Done" has written crops into the working document since it was opened or
    // reverted.
    bool hasAppliedCrops() const { return applied_; }

    // What an edit may change, as it was before the edit.
    struct Snapshot {
        // For an edit that replaces the document, the records built from that document.
        std::vector<RMCropInfo> records;
        QStringList selection;
        bool applied = false;
        // The working document itself, for an edit that rewrites its boxes, and its version.
        std::unique_ptr<PdfDocument> document;
        quint64 documentVersion = 0;
    };

private:
    friend class CropSessionStep;

    // Where a run of nudges of one page started, and how far its edges have gone.
    struct NudgeRun {
        qint64 page = 0;
        QRectF start;
        // Added to the start's x, y, width and height: whole steps, so they add up exactly.
        double dx = 0, dy = 0, dw = 0, dh = 0;
        // The crop the run last gave, and the undo stack's index after it; anything else
        // since ends the run.
        QRectF last;
        int stepIndex = -1;
    };

    Snapshot snapshot() const;
    // Takes the records to the document's pages after pages were split or joined: from says,
    // for each page now, which record it keeps, or none for a page made anew, which gets a new
    // record. Returns the state before, with the document as it was; current is the current
    // page's index now.
    Snapshot relayOut(std::unique_ptr<PdfDocument> before,
                      const std::vector<std::optional<size_t>>& from, qint64 current);
    // The runs of pages that are the parts of one page, each as its first page's index and
    // length, in page order.
    std::vector<std::pair<int, int>> joinableParts() const;
    // Rebuilds the records from the working document's new boxes; returns the state before
    // the edit that gave them, with the document as it was before and the old records, moved
    // rather than copied.
    Snapshot snapshotRebuildingRecords(std::unique_ptr<PdfDocument> before);
    // Makes the edit done since before one step named text, unless it changed nothing.
    void recordStep(Snapshot before, const QString& text);
    // The zero rectangle, which stands for the whole page, as the view rectangle of the page.
    QRectF viewRectOrWholePage(const QRectF& viewRect) const;
    // The display-space crop of the current page that a view rectangle stands for.
    QRectF cropOfViewRect(const QRectF& viewRect) const;
    // Crops the current page (and, in batch mode, the selection) to a display-space crop on
    // the page, as one step named by verb ("Crop of %1") and the pages it covered.
    void cropCurrentPageAsStep(const QRectF& crop, const char* verb);
    // Sets the current page's crop and view rectangle and, in batch mode, the selection's;
    // returns the pages it covered, ascending.
    std::vector<qint64> carryCurrentCrop(const QRectF& viewRect, const QRectF& crop);
    // Gives document's pages the boxes the records stand for.
    void writeRecords(PdfDocument& document) const;
    // Returns the pages the fit covered.
    std::vector<qint64> fitPagesToContent(const std::map<qint64, QRectF>& contentBounds,
                                          const CropLength& padding, bool sameSize);
    // Sets a record's crop (display space) and the view-space rectangle that shows it, in
    // place of any pending restore.
    static void setCrop(RMCropInfo& record, const QRectF& crop);
    // What "Done" gives page index's five boxes, in PdfBox order.
    std::array<QRectF, kPdfBoxCount> recordBoxes(int index) const;
    // The kept boxes of page index when they differ from its boxes now; nothing otherwise.
    std::optional<std::array<QRectF, kPdfBoxCount>> restorableBoxes(int index) const;
    // Where the page view shows the current page: the frame whose size view rectangles are
    // measured against.
    QRectF currentPageViewFrame() const;

    std::unique_ptr<PdfDocument> pdfDoc_;
    std::unique_ptr<PdfDocument> originalPdfDoc_;
    std::vector<RMCropInfo> cropsRect_;
    qint64 currentIndex_ = 0;
    bool isBatchCrop_ = false;
    QStringList cropPageTypeRangeArray_;
    std::vector<qint64> pageRangeArray_;
    bool applied_ = false;
    // Each state of the working document's boxes has its own number, so that undo, redo and
    // "Revert All" tell whether the document is the file on disk again. 0 is the file as
    // opened, which "Revert All" brings back.
    quint64 documentVersion_ = 0;
    quint64 lastDocumentVersion_ = 0;
    quint64 savedVersion_ = 0;
    std::optional<NudgeRun> nudgeRun_;
    QUndoStack undoStack_;
};
