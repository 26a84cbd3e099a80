#pragma once

#include "editor/RMMainWindowDelegate.h"

#include <QObject>
#include <QString>

#include <memory>

class PdfDocument;
class RMMainWindowController;

// One open PDF file and its editing window. The document lives as long as its window: it
// deletes itself once the window has closed.
class Document : public QObject, public RMMainWindowDelegate {
    Q_OBJECT

public:
    // Shows a window on an opened, readable document of the file at path.
    Document(const QString& path, std::unique_ptr<PdfDocument> pdf);
    ~Document() override;

    QString currentFilePath() const override { return path_; }
    RMMainWindowController* windowController() const { return controller_; }

private:
    QString path_;
    RMMainWindowController* controller_;
};
