#include "app/Document.h"

#include "app/RepairingPdfLoader.h"
#include "crop/PdfDocument.h"
#include "editor/RMMainWindowController.h"
#include "platform/NotificationCenter.h"

Document::Document(QObject* parent) : DocumentBase(parent) {}

Document::~Document() = default;

bool Document::readFromURL(const QString& path, QString* error) {
    if (path.isEmpty())
        return false;
    PdfOpenResult result = RepairingPdfLoader().open(path);
    if (!result.ok()) {
        if (error)
            *error = result.message;
        return false;
    }
    pdf_ = std::move(result.document);
    notice_ = result.notice;
    return true;
}

void Document::makeWindowControllers() {
    if (fileURL().isEmpty() || !pdf_)
        return;
    auto* controller = new RMMainWindowController(std::move(pdf_), this);
    controller->setAttribute(Qt::WA_DeleteOnClose);
    addWindowController(controller);
    windowCtrl_ = controller;
    if (!notice_.isEmpty())
        controller->showDocumentNotice(notice_);
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
