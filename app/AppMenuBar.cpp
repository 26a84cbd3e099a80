#include "app/AppMenuBar.h"

#include "app/AppDelegate.h"
#include "app/RecentFilesMenu.h"
#include "app/WindowListMenu.h"
#include "editor/RMMainWindowController.h"

#include <QAction>
#include <QMenu>

namespace {

const char* const kMenuStyle = R"(
    QMenuBar { background: #2f2f2f; color: #e6e6e6; }
    QMenuBar::item:selected { background: #444444; }
    QMenuBar::item:disabled { color: #6e6e6e; }
)";

} // namespace

AppMenuBar::AppMenuBar(AppDelegate& app, QAction* saveAs, RMMainWindowController* document,
                       QWidget* parent)
    : QMenuBar(parent) {
    setStyleSheet(kMenuStyle);

    QMenu* file = addMenu(tr("&File"));
    file->addAction(tr("&Open…"), QKeySequence::Open, &app, &AppDelegate::clickOpenBtnHandler);
    file->addMenu(
        new RecentFilesMenu([&app](const QString& path) { app.openRecentFile(path); }, this));
    file->addAction(saveAs);
    file->addSeparator();
    file->addAction(tr("&Close Window"), QKeySequence::Close, parent, &QWidget::close);
    file->addAction(tr("&Quit"), QKeySequence::Quit, &app, &AppDelegate::terminate);

    QMenu* edit = addMenu(tr("&Edit"));
    QMenu* view = addMenu(tr("&View"));
    if (document) {
        edit->addActions(document->editActions());
        edit->addSeparator();
        edit->addAction(document->settingsAction());
        view->addActions(document->viewActions());
        view->addSeparator();
        view->addActions(document->navigationActions());
    } else {
        edit->addAction(tr("Settings…"), Qt::CTRL | Qt::Key_Comma, &app,
                        &AppDelegate::showSettings);
        view->setEnabled(false);
    }

    addMenu(new WindowListMenu(app.documents(), *app.openWindow(), this));

    QMenu* help = addMenu(tr("&Help"));
    help->addAction(tr("Cropmark &User Guide"), QKeySequence::HelpContents, &app,
                    &AppDelegate::clickUserGuide);
    help->addAction(tr("&About Cropmark"), &app, &AppDelegate::clickAboutHandler);
}
