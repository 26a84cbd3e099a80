#pragma once

#include <QMenu>

class DocumentController;

// The Window menu: the start window, then a window for each open document, named as its title
// bar names it, the one this menu's window shows checked. Choosing one brings it to the front.
// It is filled each time it opens.
//
// GUI thread only.
class WindowListMenu : public QMenu {
    Q_OBJECT

public:
    // startWindow is brought forward by its item; parent is the window the menu belongs to.
    WindowListMenu(DocumentController& documents, QWidget& startWindow, QWidget* parent);

private:
    void fill();

    DocumentController& documents_;
    QWidget& startWindow_;
};
