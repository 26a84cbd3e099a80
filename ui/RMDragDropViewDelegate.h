#pragma once

#include <QStringList>

// Told about the files dropped on an RMColorView.
class RMDragDropViewDelegate {
public:
    // paths: the local paths of the dropped files, in the order of the drag, one or many.
    virtual void dragDropViewFileList(const QStringList& paths) = 0;

protected:
    virtual ~RMDragDropViewDelegate() = default;
};
