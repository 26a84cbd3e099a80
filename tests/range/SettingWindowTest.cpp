// The settings window's tabs: which page shows, which tab is chosen, where the marker goes;
// where the window opens and the keys that close it.

#include "range/RMEncryptViewController.h"
#include "range/RMOutputSetViewController.h"
#include "range/RMPageRangeViewController.h"
#include "range/RMSettingWindowController.h"
#include "ui/RMTextField.h"
#include "ui_RMPageRangeViewController.h"
#include "ui_RMSettingWindowController.h"

#include <gtest/gtest.h>

#include <QScreen>
#include <QTest>

namespace {

// A window the settings are opened from, shown at frame and active.
struct Opener {
    explicit Opener(const QRect& frame) {
        window.setGeometry(frame);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QWidget window;
};

QPointF centreOf(const QWidget& window) {
    return QRectF(window.frameGeometry()).center();
}

TEST(SettingWindowTest, OpensOnPageRangeWithNoTabChosenAndChoosingATabTwiceRepeatsItself) {
    RMSettingWindowController settings;
    settings.show();
    auto& ui = settings.ui();
    EXPECT_TRUE(settings.pageSetViewCtrl()->isVisible());
    EXPECT_FALSE(settings.outputSetViewCtrl()->isVisible());
    EXPECT_FALSE(settings.encryptSetViewCtrl()->isVisible());
    for (SWSTAnswerButton* tab : {ui.rangeSetBtn, ui.saveSetBtn, ui.encryptSetBtn})
        EXPECT_FALSE(tab->isSelected());

    settings.saveSetHandler();
    const QPoint marker = ui.animationView->pos();
    settings.saveSetHandler();
    EXPECT_EQ(ui.animationView->pos(), marker);
    EXPECT_TRUE(settings.outputSetViewCtrl()->isVisible());
    EXPECT_FALSE(settings.pageSetViewCtrl()->isVisible());
    EXPECT_TRUE(ui.saveSetBtn->isSelected());
    EXPECT_FALSE(ui.rangeSetBtn->isSelected());
    // Just left of the tab, centred on it.
    EXPECT_EQ(marker.x(), ui.saveSetBtn->x() - 15);
    EXPECT_EQ(marker.y() + ui.animationView->height() / 2,
              ui.saveSetBtn->y() + ui.saveSetBtn->height() / 2);

    // The page's editor takes a range as typed and leaves Done alone.
    auto& page = settings.pageSetViewCtrl()->ui();
    page.startPageField->setText("9");
    page.endPageField->setText("4");
    settings.pageSetViewCtrl()->editor().addPageClickHandler();
    EXPECT_EQ(settings.pageSetViewCtrl()->editor().rangeTypeArray(), QStringList{"9 - 4"});
    EXPECT_EQ(page.startPageField->text(), "9");
    EXPECT_TRUE(page.okBtn->isEnabled());
}

TEST(SettingWindowTest, OpensCentredOverTheWindowItIsOpenedFromWithinTheScreen) {
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        const char* name;
        bool namedOpener;
        QPoint openerCentre;
        bool fits;
    } cases[] = {
        // The opener given, while another window is active.
        {"named", true, available.center() + QPoint(40, 30), true},
        // A plain show() from the active window, as a menu item or a key gives it.
        {"active", false, available.center() - QPoint(30, 40), true},
        {"near the screen's corner", true, available.bottomRight() - QPoint(50, 50), false},
    };
    for (const auto& [name, namedOpener, openerCentre, fits] : cases) {
        SCOPED_TRACE(name);
        Opener other(QRect(available.topLeft(), QSize(100, 100)));
        Opener opener(QRect(openerCentre - QPoint(100, 80), QSize(200, 160)));
        if (namedOpener)
            other.window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(namedOpener ? &other.window : &opener.window));
        RMSettingWindowController settings;
        if (namedOpener)
            settings.showOver(&opener.window);
        else
            settings.show();
        const QRect frame = settings.frameGeometry();
        EXPECT_TRUE(available.contains(frame))
            << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
        if (fits) {
            EXPECT_NEAR(centreOf(settings).x(), centreOf(opener.window).x(), 3);
            EXPECT_NEAR(centreOf(settings).y(), centreOf(opener.window).y(), 3);
        } else {
            // As near the opener as the screen lets it be.
            EXPECT_EQ(frame.right(), available.right());
            EXPECT_EQ(frame.bottom(), available.bottom());
        }
    }
}

TEST(SettingWindowTest, EscapeAndTheCloseKeyCloseIt) {
    QList<QKeySequence> keys{QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)};
    keys += QKeySequence::keyBindings(QKeySequence::Close);
    Opener opener(QRect(100, 100, 300, 200));
    RMSettingWindowController settings;
    for (const QKeySequence& key : keys) {
        SCOPED_TRACE(key.toString().toStdString());
        settings.showOver(&opener.window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&settings));
        // In a field too, which keeps its own keys.
        QWidget* focus = settings.pageSetViewCtrl()->ui().startPageField;
        focus->setFocus();
        QTest::keySequence(focus, key);
        EXPECT_FALSE(settings.isVisible());
    }
}

} // namespace
