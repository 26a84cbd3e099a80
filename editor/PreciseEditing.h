#pragma once

#include <QObject>
#include <QRectF>

class ContentFitter;
class CropInspector;
class CropPreset;
class CropPresetPicker;
class CropSession;
class RMPDFImgView;
struct RMCropInfo;

// The current page's crop as numbers beside the page, the size list, and nudges from the
// keyboard, kept in step with the page view.
//
// The numbers follow a drag as it goes and always come back to the crop in force after it, so
// that a typed number never brings back a drag that was given up. A size or ratio chosen in
// the list is laid around the page's content where it is known; a ratio then locks the
// marker, on that page only.
//
// GUI thread only.
class PreciseEditing : public QObject {
    Q_OBJECT

public:
    // None is owned; all outlive it.
    PreciseEditing(CropSession& session, ContentFitter& fitter, RMPDFImgView& view,
                   CropInspector& inspector, CropPresetPicker& picker, QObject* parent = nullptr);

    // The numbers of the current page's crop as the session holds it.
    void showCropInForce();
    // Page index is shown: a size or ratio chosen on another page is not its choice.
    void pageShown(qint64 index);

signals:
    // A size or ratio was laid on the page: the page view shows the crop again.
    void cropPlaced();

private:
    void applyPreset(const CropPreset& preset);
    void showCropNumbers(const QRectF& displayCrop);

    CropSession& session_;
    ContentFitter& fitter_;
    RMPDFImgView& view_;
    CropInspector& inspector_;
    CropPresetPicker& picker_;
    // The page a size or ratio was chosen on; -1 for none.
    qint64 presetPage_ = -1;
};
