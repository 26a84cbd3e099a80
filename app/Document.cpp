#include "app/Document.h"

#include "crop/PdfDocument.h"
#include "crop/QpdfLoader.h"
#include "editor/RMMainWindowController.h"
#include "platform/NotificationCenter.h"

Document::Document(QObject* parent) : DocumentBase(parent) {}

Document::~Document() = default;

bool Document::readFromURL(const QString& path, QString* error) {
    if (path.isEmpty())
        return false;
    PdfOpenResult result = QpdfLoader().open(path);
    if (!result.ok()) {
        if (error)
            *error = result.message;
        return false;
    }
    pdf_ = std::move(result.document);
    return true;
}

void Document::makeWindowControllers() {
    if (fileURL().isEmpty() || !pdf_)
        return;
    auto* controller = new RMMainWindowController(std::move(pdf_), this);
    controller->setAttribute(Qt::WA_DeleteOnClose);
    addWindowController(controller);
    windowCtrl_ = controller;
}

void Document::saveDocumentAs() {
    if (windowCtrl_)
        windowCtrl_->saveCurrentDocWithNeedCloseDocAfterFinish(false);
}

void Document::close() {
    DocumentBase::close();
    NotificationCenter::defaultCenter().post(kWindowCloseNotification);
}

QString Document::currentFilePath() const {
    return QStringLiteral("file://") + fileURL();
}
