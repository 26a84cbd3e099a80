#pragma once

#include <QPoint>
#include <QWidget>

#include <array>
#include <memory>

namespace Ui {
class RMSettingWindowController;
}

class RMEncryptViewController;
class RMOutputSetViewController;
class RMPageRangeViewController;
class SecondaryWindow;
class SWSTAnswerButton;

// The settings window: a column of tabs on the left (Page Range, Output, Encrypt) and the
// chosen tab's page beside it. Choosing a tab selects its button, shows its page and moves the
// marker to just left of the button. At first the Page Range page shows and no tab is
// selected.
//
// Escape and Ctrl+W close it, and it opens centred over the window it is shown over (see
// SecondaryWindow).
//
// GUI thread only.
class RMSettingWindowController : public QWidget {
    Q_OBJECT

public:
    explicit RMSettingWindowController(QWidget* parent = nullptr);
    ~RMSettingWindowController() override;

    // Shows the window, raised and active: centred over window if it was not shown yet.
    void showOver(QWidget* window);

    Ui::RMSettingWindowController& ui() { return *ui_; }
    RMPageRangeViewController* pageSetViewCtrl() const { return pageSetViewCtrl_; }
    RMOutputSetViewController* outputSetViewCtrl() const { return outputSetViewCtrl_; }
    RMEncryptViewController* encryptSetViewCtrl() const { return encryptSetViewCtrl_; }

    void rangeSetHandler();
    void saveSetHandler();
    void encryptSetHandler();
    // Where the marker goes for a tab button: 15 to the left of it, centred on it vertically.
    QPoint animationViewPointWithTargetView(const QWidget* target) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void windowDidLoad();
    void choose(SWSTAnswerButton* button, QWidget* page);
    std::array<QWidget*, 3> pages() const;
    // Each page fills the window right of the tab column.
    void placePages();

    std::unique_ptr<Ui::RMSettingWindowController> ui_;
    RMPageRangeViewController* pageSetViewCtrl_ = nullptr;
    RMOutputSetViewController* outputSetViewCtrl_ = nullptr;
    RMEncryptViewController* encryptSetViewCtrl_ = nullptr;
    SecondaryWindow* secondary_ = nullptr;
};
