#pragma once

#include "editor/CommandState.h"

#include <QList>
#include <QObject>

class QAction;
class QIcon;
class QUndoStack;
class QWidget;

namespace Ui {
class RMMainWindowController;
}

// The editing window's commands: its buttons, and an action for each with its keys, so that a
// key works with or without a menu bar and a menu shows it. update() sets the enabled state of
// every one of them from one CommandState, the only place that does.
//
// A button and its action report the same command through triggered(). The page field keeps
// the keys it edits with while it has the focus: a line edit claims them before the window's
// shortcuts are looked at.
//
// GUI thread only.
class WindowCommands : public QObject {
    Q_OBJECT

public:
    enum class Command {
        Done,
        RevertAll,
        FitToContent,
        FirstPage,
        PreviousPage,
        NextPage,
        LastPage,
        CustomCrop,
        BatchCrop,
        PageRange,
        RestoreOriginal,
        SplitPages,
        SaveAs,
        Settings,
        ZoomIn,
        ZoomOut,
        FitPage,
        FitWidth,
        ActualSize,
    };

    // Adds the actions to window (not owned), whose form holds the buttons; undo and redo
    // are steps's.
    WindowCommands(QWidget& window, Ui::RMMainWindowController& form, QUndoStack& steps);

    void update(const CommandState& state);

    // Undo and Redo (naming their step), "Done", "Revert All", "Fit to Content", "Restore
    // Original" and "Split Pages…"; the first, previous, next and last page; the zooms and
    // "Superimpose Pages".
    const QList<QAction*>& editActions() const { return editActions_; }
    const QList<QAction*>& navigationActions() const { return navigationActions_; }
    const QList<QAction*>& viewActions() const { return viewActions_; }
    QAction* saveAsAction() const { return saveAsAction_; }
    QAction* settingsAction() const { return settingsAction_; }

signals:
    void triggered(WindowCommands::Command command);
    void superimposeToggled(bool on);

private:
    // An action of the window, reporting command.
    QAction* addCommand(const QString& text, const QList<QKeySequence>& keys, Command command);
    void setUpButtons();
    void setUpZoom();
    void setUpSplit();
    void setUpSuperimposition();
    QIcon barIcon(const char* name) const;

    QWidget& window_;
    Ui::RMMainWindowController& form_;
    QList<QAction*> editActions_;
    QList<QAction*> navigationActions_;
    QList<QAction*> viewActions_;
    QList<QAction*> zoomActions_;
    QAction* doneAction_ = nullptr;
    QAction* revertAction_ = nullptr;
    QAction* fitAction_ = nullptr;
    QList<QAction*> backActions_;
    QList<QAction*> forwardActions_;
    QAction* splitPagesAction_ = nullptr;
    QAction* restoreOriginalAction_ = nullptr;
    QAction* superimposeAction_ = nullptr;
    QAction* saveAsAction_ = nullptr;
    QAction* settingsAction_ = nullptr;
};
