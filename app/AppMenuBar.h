#pragma once

#include <QMenuBar>

class AppDelegate;
class QAction;
class RMMainWindowController;

// The menu bar every window carries: File (with Open Recent), Edit, View, Window (the open
// windows) and Help.
//
// A document window's Edit and View menus hold its own commands (they are enabled as its
// buttons are); the start window's Edit menu holds Settings only, and its View menu is
// disabled. The keys are the desktop's usual ones: Open, Save As, Close Window and Quit.
//
// GUI thread only.
class AppMenuBar : public QMenuBar {
    Q_OBJECT

public:
    // saveAs is File's Save As item; document is null for the start window.
    AppMenuBar(AppDelegate& app, QAction* saveAs, RMMainWindowController* document,
               QWidget* parent);
};
