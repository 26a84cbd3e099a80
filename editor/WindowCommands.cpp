#include "editor/WindowCommands.h"

#include "ui/RMImage.h"
#include "ui_RMMainWindowController.h"

#include <QAction>
#include <QUndoStack>

WindowCommands::WindowCommands(QWidget& window, Ui::RMMainWindowController& form, QUndoStack& steps)
    : QObject(&window), window_(window), form_(form) {
    // Undo and redo name the step they take back or do again ("Undo Crop of Pages 1–40").
    QAction* undo = steps.createUndoAction(&window_);
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = steps.createRedoAction(&window_);
    redo->setShortcuts({Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Y});
    auto* separator = new QAction(&window_);
    separator->setSeparator(true);
    for (QAction* action : {undo, redo})
        window_.addAction(action);
    editActions_ << undo << redo << separator;

    doneAction_ = addCommand(tr("Done"), {Qt::CTRL | Qt::Key_Return, Qt::CTRL | Qt::Key_Enter},
                             Command::Done);
    revertAction_ =
        addCommand(tr("Revert All"), {Qt::CTRL | Qt::SHIFT | Qt::Key_R}, Command::RevertAll);
    fitAction_ =
        addCommand(tr("Fit to Content"), {Qt::CTRL | Qt::SHIFT | Qt::Key_F}, Command::FitToContent);
    restoreOriginalAction_ = addCommand(tr("Restore Original"), {}, Command::RestoreOriginal);
    restoreOriginalAction_->setToolTip(
        tr("Give every page back the boxes it had before Cropmark first saved it cropped"));
    splitPagesAction_ =
        addCommand(tr("Split Pages…"), {Qt::CTRL | Qt::ALT | Qt::Key_S}, Command::SplitPages);
    editActions_ << doneAction_ << revertAction_ << fitAction_ << restoreOriginalAction_
                 << splitPagesAction_;

    backActions_ << addCommand(tr("First Page"), {Qt::Key_Home}, Command::FirstPage)
                 << addCommand(tr("Previous Page"), {Qt::Key_PageUp, Qt::Key_Left},
                               Command::PreviousPage);
    forwardActions_ << addCommand(tr("Next Page"), {Qt::Key_PageDown, Qt::Key_Right},
                                  Command::NextPage)
                    << addCommand(tr("Last Page"), {Qt::Key_End}, Command::LastPage);
    navigationActions_ << backActions_ << forwardActions_;

    // Spelled out: desktops without a key scheme of their own have no standard Save As or
    // Preferences key.
    saveAsAction_ = addCommand(
        tr("Save As…"), {Qt::CTRL | Qt::SHIFT | Qt::Key_S, Qt::CTRL | Qt::Key_S}, Command::SaveAs);
    settingsAction_ = addCommand(tr("Settings…"), {Qt::CTRL | Qt::Key_Comma}, Command::Settings);
    setUpButtons();
    setUpSplit();
    setUpZoom();
    setUpSuperimposition();
}

QAction* WindowCommands::addCommand(const QString& text, const QList<QKeySequence>& keys,
                                    Command command) {
    auto* action = new QAction(text, &window_);
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, this, [this, command] { emit triggered(command); });
    window_.addAction(action);
    return action;
}

void WindowCommands::setUpButtons() {
    const struct {
        SWSTAnswerButton* button;
        Command command;
        QAction* action;
        const char* tip;
    } buttons[] = {
        {form_.saveBtn, Command::Done, doneAction_, QT_TR_NOOP("Apply the crops to the pages")},
        {form_.cancelBtn, Command::RevertAll, revertAction_,
         QT_TR_NOOP("Go back to the document as it was opened")},
        {form_.fitContentBtn, Command::FitToContent, fitAction_,
         QT_TR_NOOP("Crop to the content of the page, or of every selected page in a batch")},
        {form_.firstJumpBtn, Command::FirstPage, backActions_[0], QT_TR_NOOP("First page")},
        {form_.previousBtn, Command::PreviousPage, backActions_[1], QT_TR_NOOP("Previous page")},
        {form_.nextBtn, Command::NextPage, forwardActions_[0], QT_TR_NOOP("Next page")},
        {form_.lastJumpBtn, Command::LastPage, forwardActions_[1], QT_TR_NOOP("Last page")},
        {form_.pageCropBtn, Command::CustomCrop, nullptr, nullptr},
        {form_.batchCropBtn, Command::BatchCrop, nullptr, nullptr},
        {form_.pageRangeBtn, Command::PageRange, nullptr, nullptr},
    };
    for (const auto& [button, command, action, tip] : buttons) {
        connect(button, &SWSTAnswerButton::clicked, this,
                [this, command = command] { emit triggered(command); });
        if (action) {
            button->setToolTip(tr("%1 (%2)").arg(
                tr(tip), action->shortcuts().first().toString(QKeySequence::NativeText)));
        }
    }
}

void WindowCommands::setUpZoom() {
    // Ctrl with = or + zooms in, whichever of the two the keyboard gives without Shift.
    zoomActions_ << addCommand(
                        tr("Zoom In"),
                        {QKeySequence::ZoomIn, Qt::CTRL | Qt::Key_Equal, Qt::CTRL | Qt::Key_Plus},
                        Command::ZoomIn)
                 << addCommand(tr("Zoom Out"), {QKeySequence::ZoomOut, Qt::CTRL | Qt::Key_Minus},
                               Command::ZoomOut)
                 << addCommand(tr("Fit Page"), {Qt::CTRL | Qt::Key_0}, Command::FitPage)
                 << addCommand(tr("Fit Width"), {Qt::CTRL | Qt::Key_2}, Command::FitWidth)
                 << addCommand(tr("Actual Size"), {Qt::CTRL | Qt::Key_1}, Command::ActualSize);
    auto* separator = new QAction(&window_);
    separator->setSeparator(true);
    viewActions_ << zoomActions_ << separator;
}

// An action's icon as the top bar's buttons show it.
QIcon WindowCommands::barIcon(const char* name) const {
    return QIcon(QPixmap::fromImage(RMImage::named(QString::fromLatin1(name))
                                        .tinted(QColor(0xd0, 0xd0, 0xd0))
                                        .toImage(QSizeF(18, 18), window_.devicePixelRatioF())));
}

void WindowCommands::setUpSplit() {
    splitPagesAction_->setToolTip(
        tr("Split the page, or every selected page in a batch, into parts that are pages of "
           "their own (%1)")
            .arg(splitPagesAction_->shortcut().toString(QKeySequence::NativeText)));
    splitPagesAction_->setIcon(barIcon("split_pages"));
    form_.splitPagesBtn->setDefaultAction(splitPagesAction_);
}

void WindowCommands::setUpSuperimposition() {
    superimposeAction_ = new QAction(tr("Superimpose Pages"), &window_);
    superimposeAction_->setCheckable(true);
    superimposeAction_->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_P);
    superimposeAction_->setToolTip(
        tr("Show the selected pages one over another, to crop around the content of them all "
           "(%1)")
            .arg(superimposeAction_->shortcut().toString(QKeySequence::NativeText)));
    superimposeAction_->setIcon(barIcon("superimpose"));
    window_.addAction(superimposeAction_);
    viewActions_.append(superimposeAction_);
    form_.superimposeBtn->setDefaultAction(superimposeAction_);
    connect(superimposeAction_, &QAction::toggled, this, &WindowCommands::superimposeToggled);
}

void WindowCommands::update(const CommandState& state) {
    // A locked document has no pages to edit until its password is given, and nothing may
    // change the document while it is written.
    const bool editable = !state.locked && !state.saving && state.count > 0;
    const bool batch = editable && state.batch;
    const bool back = state.index > 0;
    const bool forward = state.index < state.count - 1;
    form_.batchCropBtn->setSelected(state.batch);
    form_.pageCropBtn->setSelected(!state.batch);
    const struct {
        QWidget* button;
        QList<QAction*> actions;
        bool enabled;
    } commands[] = {
        {form_.saveBtn, {doneAction_}, editable && state.pending},
        {form_.cancelBtn, {revertAction_}, editable && state.applied},
        {form_.fitContentBtn, {fitAction_}, editable && !state.fitting},
        {form_.firstJumpBtn, {backActions_[0]}, back},
        {form_.previousBtn, {backActions_[1]}, back},
        {form_.nextBtn, {forwardActions_[0]}, forward},
        {form_.lastJumpBtn, {forwardActions_[1]}, forward},
        {form_.pageCropBtn, {}, editable},
        {form_.batchCropBtn, {}, editable},
        {form_.fitOptionsBtn, {}, editable},
        {form_.inspectorPanel, {}, editable},
        {form_.pageRangeBtn, {}, batch},
        {nullptr, {restoreOriginalAction_}, editable && state.restorable},
        {nullptr, {splitPagesAction_}, editable},
        {nullptr, {superimposeAction_}, batch},
        {nullptr, zoomActions_, !state.locked && state.count > 0},
        {form_.pageTextField, {}, !state.locked},
    };
    for (const auto& [button, actions, enabled] : commands) {
        if (button)
            button->setEnabled(enabled);
        for (QAction* action : actions)
            action->setEnabled(enabled);
    }
    // Leaving batch mode ends the blend of its pages.
    if (!state.batch)
        superimposeAction_->setChecked(false);
}
