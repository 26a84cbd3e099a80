#pragma once

#include "crop/QpdfLoader.h"
#include "editor/RMMainWindowController.h"
#include "editor/RMMainWindowDelegate.h"
#include "tests/support/TestPdfBuilder.h"
#include "ui_RMMainWindowController.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

struct FileDelegate : RMMainWindowDelegate {
    QString path;
    QString currentFilePath() const override { return path; }
};

// A window on a file of `pages` pages: letter pages, the third one taller.
class MainWindowTest : public testing::Test {
protected:
    void open(int pages, const QString& userPassword = {}) {
        TestPdfBuilder builder;
        for (int i = 0; i < pages; ++i) {
            TestPage page;
            if (i == 2)
                page.mediaBox = QRectF(0, 0, 612, 1008);
            builder.addPage(page);
        }
        if (!userPassword.isEmpty())
            builder.encrypt(userPassword, "owner");
        delegate.path = builder.writeTo(dir.filePath("doc.pdf"));
        auto opened = QpdfLoader().open(delegate.path);
        ASSERT_TRUE(opened.ok());
        window = std::make_unique<RMMainWindowController>(std::move(opened.document), &delegate);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    Ui::RMMainWindowController& ui() { return window->ui(); }
    qint64 current() { return window->session().currentIndex(); }
    int selectedThumbnail() {
        const auto selection = ui().thumbCollectionView->selectionIndexPaths();
        return selection.size() == 1 ? selection.begin()->item : -1;
    }
    bool navigation(bool first, bool previous, bool next, bool last) {
        return ui().firstJumpBtn->isEnabled() == first &&
               ui().previousBtn->isEnabled() == previous && ui().nextBtn->isEnabled() == next &&
               ui().lastJumpBtn->isEnabled() == last;
    }
    // Drags the page view's marker from one view point to another (view space, y up).
    void dragOnPage(QPointF from, QPointF to) {
        QWidget* view = ui().pdfImgView;
        auto at = [view](QPointF p) { return QPoint(int(p.x()), int(view->height() - p.y())); };
        QTest::mousePress(view, Qt::LeftButton, {}, at(from));
        QMouseEvent move(QEvent::MouseMove, at(to), view->mapToGlobal(at(to)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        QTest::mouseRelease(view, Qt::LeftButton, {}, at(to));
    }

    QTemporaryDir dir;
    FileDelegate delegate;
    std::unique_ptr<RMMainWindowController> window;
};
