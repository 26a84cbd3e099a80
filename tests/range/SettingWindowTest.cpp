// The settings window's tabs: which page shows, which tab is chosen, where the marker goes;
// the keys that close it.

#include "range/RMEncryptViewController.h"
#include "range/RMOutputSetViewController.h"
#include "range/RMPageRangeViewController.h"
#include "range/RMSettingWindowController.h"
#include "ui/RMTextField.h"
#include "ui_RMPageRangeViewController.h"
#include "ui_RMSettingWindowController.h"

#include <gtest/gtest.h>

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
