#pragma once

#include "crop/CropLength.h"
#include "render/ContentBoundsQueue.h"

#include <QObject>
#include <QRectF>
#include <QSet>

#include <memory>
#include <optional>
#include <vector>

class CropSession;

// Fit to Content and the warnings of crops that cut content, for one editing window.
//
// Pages are measured in the background (ContentBoundsQueue) and only when needed: the pages a
// fit covers, the current page, and pages whose crop leaves out part of what they showed when
// the document was opened. A fit is a crop like a dragged one: it changes the session's
// records, pending until "Done".
//
// GUI thread only.
class ContentFitter : public QObject {
    Q_OBJECT

public:
    explicit ContentFitter(CropSession& session, QObject* parent = nullptr);
    ~ContentFitter() override;

    // From now on pages are measured with what factory makes; what was measured is forgotten,
    // as when the document is unlocked. A fit under way goes on with the new measurer.
    void setMeasurerFactory(ContentBoundsQueue::MeasurerFactory factory);

    // Crops the pages the fit covers (the current page, in batch mode the selection too) to
    // their content grown by padding, one rectangle for them all with sameSize; fitted()
    // follows once every page is measured, at once when they are.
    void fit(const CropLength& padding, bool sameSize);
    bool isFitting() const { return fit_.has_value(); }

    // Page index's content bounds in page space when measured; nothing otherwise, and the page
    // is measured (contentKnown() follows).
    std::optional<QRectF> contentOf(qint64 index);
    // Whether page index's crop cuts through its content. A page whose crop keeps all it
    // showed is never measured for this; another is measured, and counts as not cut until
    // its content is known.
    bool cutsContent(qint64 index);

signals:
    // measured of total pages of the fit under way are measured.
    void fitProgress(int measured, int total);
    // A fit has set its crops; someCropped as CropSession::fitToContent returns.
    void fitted(bool someCropped);
    // Page index's content has been measured.
    void contentKnown(qint64 index);

private:
    struct PendingFit {
        std::vector<qint64> pages;
        // Those of pages not measured yet, by page index.
        QSet<int> waiting;
        CropLength padding;
        bool sameSize = false;
    };

    void pageMeasured(int pageIndex);
    // Sets the crops of the fit under way once all its pages are measured.
    void finishFitWhenMeasured();

    CropSession& session_;
    std::unique_ptr<ContentBoundsQueue> queue_;
    std::optional<PendingFit> fit_;
};
