// The user guide's window as a user opens it from a window's Help key: where it opens and the
// keys that close it, which close the settings window too (both are secondary windows).

#include "app/UserGuideWindow.h"
#include "app/AppDelegate.h"
#include "platform/DocumentController.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QTest>

namespace {

// The shown guide window, if there is one.
UserGuideWindow* shownGuide() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* guide = qobject_cast<UserGuideWindow*>(window); guide && guide->isVisible())
            return guide;
    }
    return nullptr;
}

QPointF centreOf(const QWidget& window) {
    return QRectF(window.frameGeometry()).center();
}

TEST(UserGuideWindow, OpensFromTheHelpKeyCentredOverTheWindowAndTheCloseKeysCloseIt) {
    DocumentController documents;
    AppDelegate app(documents);
    app.applicationDidFinishLaunching();
    QWidget& start = *app.openWindow();
    // Off the screen's middle, where a window placed without regard to its opener would go.
    const QRect available = start.screen()->availableGeometry();
    start.resize(300, 400);
    start.move(available.center() + QPoint(60, 20) - start.rect().center());
    start.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&start));

    QList<QKeySequence> keys{QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)};
    keys += QKeySequence::keyBindings(QKeySequence::Close);
    for (const QKeySequence& key : keys) {
        SCOPED_TRACE(key.toString().toStdString());
        QTest::keySequence(&start, QKeySequence::HelpContents);
        QPointer<UserGuideWindow> guide = shownGuide();
        ASSERT_NE(guide, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(guide));
        EXPECT_TRUE(available.contains(guide->frameGeometry()));
        EXPECT_NEAR(centreOf(*guide).x(), centreOf(start).x(), 3);
        EXPECT_NEAR(centreOf(*guide).y(), centreOf(start).y(), 3);

        QTest::keySequence(guide->viewport(), key);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(guide, nullptr);
        start.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&start));
    }
}

} // namespace
