#pragma once

#include "crop/CropSession.h"

#include <QUndoCommand>

#include <utility>
#include <vector>

// One undoable edit of a CropSession, made after the edit is done from the state the session
// had before it.
//
// Keeps only what the edit changed: the records that differ (before and after), the page
// selection, whether crops were applied, and, for an edit that replaces the working document
// ("Done", "Revert All"), the other document and its records, swapped in and out. Undoing
// and redoing also go back to the page the edit was made on.
//
// The first redo, when the stack takes the step, does nothing: the edit is already done.
class CropSessionStep : public QUndoCommand {
public:
    CropSessionStep(CropSession& session, CropSession::Snapshot before, const QString& text);

    // Whether the edit changed what some page keeps, the selection, or the document.
    bool changesSomething() const;

    void undo() override;
    void redo() override;

private:
    using Records = std::vector<std::pair<size_t, RMCropInfo>>;

    void apply(const Records& records, const QStringList& selection, bool applied);

    CropSession& session_;
    Records recordsBefore_;
    Records recordsAfter_;
    bool cropsChanged_ = false;
    QStringList selectionBefore_;
    QStringList selectionAfter_;
    bool appliedBefore_ = false;
    bool appliedAfter_ = false;
    std::unique_ptr<PdfDocument> otherDocument_;
    // The records that go with otherDocument_.
    std::vector<RMCropInfo> otherRecords_;
    quint64 otherDocumentVersion_ = 0;
    qint64 page_ = 0;
    bool done_ = true;
};
