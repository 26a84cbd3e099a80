#include "editor/PageSplitting.h"

#include "crop/CropSession.h"
#include "editor/SplitLinesView.h"
#include "editor/SplitPagesSheet.h"

#include <QWidget>

PageSplitting::PageSplitting(CropSession& session, QWidget& window, QWidget& pageView)
    : QObject(&window), session_(session), window_(window), sheet_(new SplitPagesSheet(&window)),
      lines_(new SplitLinesView(pageView)) {
    connect(sheet_, &SplitPagesSheet::splitChanged, this, &PageSplitting::pageShown);
    connect(lines_, &SplitLinesView::linesMoved, sheet_, &SplitPagesSheet::setLines);
    connect(sheet_, &QDialog::finished, this, [this] {
        lines_->hide();
        // The keys go back to the pages, whatever the desktop activates next.
        window_.activateWindow();
    });
    connect(sheet_, &QDialog::accepted, this, [this] { emit splitChosen(sheet_->split()); });
}

void PageSplitting::begin() {
    if (!sheet_->isVisible()) {
        // Over the crop's numbers at the window's right, which rest while the split is chosen,
        // clear of the page and its lines.
        sheet_->adjustSize();
        const QPoint corner = window_.mapToGlobal(QPoint(window_.width(), 0));
        sheet_->move(corner.x() - sheet_->width() - 16, corner.y() + 60);
    }
    sheet_->show();
    sheet_->raise();
    sheet_->activateWindow();
    pageShown();
}

void PageSplitting::pageShown() {
    if (!isChoosing() || session_.cropsRect().empty())
        return;
    lines_->showSplit(sheet_->split(), session_.currentRecord());
}

bool PageSplitting::isChoosing() const {
    return sheet_->isVisible();
}
