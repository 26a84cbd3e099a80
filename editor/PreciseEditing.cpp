#include "editor/PreciseEditing.h"

#include "crop/CropGeometry.h"
#include "crop/CropSession.h"
#include "crop/RectMath.h"
#include "editor/ContentFitter.h"
#include "editor/CropInspector.h"
#include "editor/CropPresetPicker.h"
#include "editor/RMPDFImgView.h"

PreciseEditing::PreciseEditing(CropSession& session, ContentFitter& fitter, RMPDFImgView& view,
                               CropInspector& inspector, CropPresetPicker& picker, QObject* parent)
    : QObject(parent), session_(session), fitter_(fitter), view_(view), inspector_(inspector),
      picker_(picker) {
    connect(&view_, &RMPDFImgView::cropNudged, this,
            [this](CropEdges edges, double dx, double dy) { session_.nudgeCrop(edges, dx, dy); });
    connect(&view_, &RMPDFImgView::cropDragCancelled, this, &PreciseEditing::showCropInForce);
    connect(&view_, &RMPDFImgView::cropRectChanging, this, [this](const QRectF& viewRect) {
        const RMCropInfo& record = session_.currentRecord();
        showCropNumbers(CropGeometry::displayRectFromViewRect(
            viewRect, record.pageRect,
            CropGeometry::mainPDFImgViewShowRect(record.pageRect).size()));
    });
    connect(&inspector_, &CropInspector::cropEdited, this,
            [this](const QRectF& crop) { session_.setCurrentCrop(crop); });
    connect(&picker_, &CropPresetPicker::presetChosen, this, &PreciseEditing::applyPreset);
    connect(&picker_, &CropPresetPicker::freeChosen, this,
            [this] { view_.setLockedRatio(std::nullopt); });
}

void PreciseEditing::applyPreset(const CropPreset& preset) {
    if (session_.cropsRect().empty())
        return;
    const RMCropInfo& record = session_.currentRecord();
    // Around the content when it is known, so a paper size or a ratio cuts none of it.
    std::optional<QRectF> around;
    if (const auto content = fitter_.contentOf(session_.currentIndex()))
        around = CropGeometry::displaySpaceRect(record, *content);
    view_.setLockedRatio(preset.lockedRatio());
    presetPage_ = session_.currentIndex();
    session_.setCurrentCrop(
        preset.placed(record.pageRect.size(), around.value_or(record.cropRect)));
    // The lock refits the marker as it is switched on.
    emit cropPlaced();
}

void PreciseEditing::pageShown(qint64 index) {
    if (presetPage_ == index)
        return;
    presetPage_ = -1;
    picker_.showFree();
    view_.setLockedRatio(std::nullopt);
}

void PreciseEditing::showCropInForce() {
    if (!session_.cropsRect().empty())
        showCropNumbers(session_.currentRecord().cropRect);
}

void PreciseEditing::showCropNumbers(const QRectF& displayCrop) {
    const QSizeF page = session_.currentRecord().pageRect.size();
    inspector_.showCrop(
        page, RectMath::intersection(RectMath::standardized(displayCrop), QRectF(QPointF(), page))
                  .value_or(QRectF()));
}
