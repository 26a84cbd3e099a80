#include "app/WindowListMenu.h"

#include "platform/DocumentController.h"
#include "platform/WindowFront.h"

#include <QActionGroup>

namespace {

// A window's title as its title bar shows it: without the mark of unsaved changes' place.
QString shownTitle(const QWidget* window) {
    QString title = window->windowTitle();
    title.replace(QStringLiteral("[*]"), window->isWindowModified() ? QStringLiteral("*") : "");
    return title;
}

} // namespace

WindowListMenu::WindowListMenu(DocumentController& documents, QWidget& startWindow, QWidget* parent)
    : QMenu(tr("&Window"), parent), documents_(documents), startWindow_(startWindow) {
    connect(this, &QMenu::aboutToShow, this, &WindowListMenu::fill);
    fill();
}

void WindowListMenu::fill() {
    clear();
    QWidget* own = parentWidget() ? parentWidget()->window() : nullptr;
    auto* shown = new QActionGroup(this);
    const auto addWindow = [&](QWidget* window, const QString& name) {
        QAction* item = addAction(name, window, [window] {
            WindowFront::bring(*window);
            window->activateWindow();
        });
        item->setCheckable(true);
        item->setChecked(window == own);
        shown->addAction(item);
    };
    addWindow(&startWindow_, tr("Start Window"));
    if (!documents_.documents().empty())
        addSeparator();
    for (DocumentBase* document : documents_.documents())
        for (QWidget* window : document->windowControllers())
            addWindow(window, shownTitle(window));
}
