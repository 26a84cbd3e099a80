#pragma once

#include "crop/CropLength.h"
#include "render/ContentBoundsQueue.h"

#include <QHash>
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
// the document was opened. A page is measured as the page of the file it shows, within its
// media box, so a part of a page split is measured in its part, and what is known stays true
// as pages are split and joined. A fit is a crop like a dragged one: it changes the session's
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
        // What is still to be measured for them.
        QSet<ContentRegion> waiting;
        CropLength padding;
        bool sameSize = false;
    };

    // Where page index's content is looked for.
    ContentRegion regionOf(qint64 index) const;
    // Measures region for page index, which is told when it is known.
    void request(const ContentRegion& region, qint64 index);
    void regionMeasured(const ContentRegion& region);
    // Sets the crops of the fit under way once all its pages are measured.
    void finishFitWhenMeasured();

    CropSession& session_;
    std::unique_ptr<ContentBoundsQueue> queue_;
    std::optional<PendingFit> fit_;
    // The pages waiting to be told their region is measured.
    QHash<ContentRegion, QSet<qint64>> askedBy_;
};
