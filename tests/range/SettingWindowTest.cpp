// The settings window: its Page Range tab, and the keys that close it.

#include "range/RMPageRangeViewController.h"
#include "range/RMSettingWindowController.h"
#include "ui/RMTextField.h"
#include "ui_RMPageRangeViewController.h"

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

// Unlike the page range sheet, the settings window's Page Range tab takes a range as typed
// and leaves Done alone.
TEST(SettingWindowTest, ThePageRangeTabTakesARangeAsTyped) {
    RMSettingWindowController settings;
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
