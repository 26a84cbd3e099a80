#pragma once

#include <QTextBrowser>

// The user guide that ships inside the program, in a window of its own: it needs no
// network, no browser and no installed files. Links to other sites open in the browser.
//
// GUI thread only.
class UserGuideWindow : public QTextBrowser {
    Q_OBJECT

public:
    explicit UserGuideWindow(QWidget* parent = nullptr);
};
