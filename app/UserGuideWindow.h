#pragma once

#include <QTextBrowser>

class SecondaryWindow;

// The user guide that ships inside the program, in a window of its own: it needs no
// network, no browser and no installed files. Links to other sites open in the browser.
// Escape and Ctrl+W close it, and it opens centred over the window it is shown over (see
// SecondaryWindow).
//
// GUI thread only.
class UserGuideWindow : public QTextBrowser {
    Q_OBJECT

public:
    explicit UserGuideWindow(QWidget* parent = nullptr);

    // Shows the guide, raised and active: centred over window if it was not shown yet.
    void showOver(QWidget* window);

private:
    SecondaryWindow* secondary_;
};
