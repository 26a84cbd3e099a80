#pragma once

#include "crop/PageSplit.h"

#include <QObject>

class CropSession;
class SplitLinesView;
class SplitPagesSheet;
class QWidget;

// Choosing a split in the editing window: the split sheet, and the split's lines over the page
// shown, which follow the current page and the sheet's choices, and whose drags place the
// lines in the sheet. "Split" hands the split on (splitChosen); closing the sheet takes the
// lines away.
//
// GUI thread only.
class PageSplitting : public QObject {
    Q_OBJECT

public:
    // Lines go over pageView, the sheet over window.
    PageSplitting(CropSession& session, QWidget& window, QWidget& pageView);

    // Opens the sheet, as it was last left, and shows its split over the current page.
    void begin();
    // The page view shows another page, or the page as it is now.
    void pageShown();
    bool isChoosing() const;
    SplitPagesSheet& sheet() { return *sheet_; }
    SplitLinesView& lines() { return *lines_; }

signals:
    void splitChosen(const PageSplit& split);

private:
    CropSession& session_;
    QWidget& window_;
    SplitPagesSheet* sheet_;
    SplitLinesView* lines_;
};
