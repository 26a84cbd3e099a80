#include "app/Document.h"

#include "app/RepairingPdfLoader.h"
#include "crop/PdfDocument.h"
#include "editor/RMMainWindowController.h"
#include "platform/NotificationCenter.h"

#include <QCoreApplication>

#include <QThreadPool>

#include <memory>

Document::Document(QObject* parent) : DocumentBase(parent) {}

Document::~Document() = default;

void Document::readFromURL(const QString& path,
                           std::function<void(const QString& error)> finished) {
    if (path.isEmpty()) {
        finished(tr("The document has no file."));
        return;
    }
    QPointer<Document> self(this);
    // The global pool, which the application waits for as it ends.
    QThreadPool::globalInstance()->start([self, path, finished = std::move(finished)] {
        auto result = std::make_shared<PdfOpenResult>(RepairingPdfLoader().open(path));
        QMetaObject::invokeMethod(
            qApp,
            [self, result, finished] {
                if (!self)
                    return;
                if (result->ok()) {
                    self->pdf_ = std::move(result->document);
                    self->notice_ = result->notice;
                }
                finished(result->ok() ? QString() : result->message);
            },
            Qt::QueuedConnection);
    });
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
