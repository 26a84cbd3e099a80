#include "app/Document.h"

#include "app/FirstPagePreview.h"
#include "app/RMOpeningWindow.h"
#include "crop/PdfDocument.h"
#include "editor/RMMainWindowController.h"
#include "editor/SaveFlow.h"
#include "platform/BackgroundReads.h"
#include "platform/NotificationCenter.h"
#include "render/RepairingPdfLoader.h"

#include <QFileInfo>

#include <memory>

Document::Document(std::shared_ptr<const RenderWorkplace> workplace, QObject* parent)
    : DocumentBase(parent), workplace_(std::move(workplace)) {}

Document::~Document() = default;

void Document::readFromURL(const QString& path,
                           std::function<void(const QString& error)> finished) {
    if (path.isEmpty()) {
        finished(tr("The document has no file."));
        return;
    }
    // A window at once, with the first page as soon as it is drawn, while the whole file is
    // read.
    opening_ = new RMOpeningWindow(QFileInfo(path).fileName());
    opening_->setAttribute(Qt::WA_DeleteOnClose);
    opening_->show();
    QPointer<RMOpeningWindow> opening(opening_);
    FirstPagePreview::start(workplace_, path, opening_->previewArea(),
                            opening_->devicePixelRatioF(), [opening](const QImage& image) {
                                if (opening)
                                    opening->setPreview(image);
                            });

    QPointer<Document> self(this);
    BackgroundReads::start([self, workplace = workplace_, path, finished = std::move(finished)] {
        auto result = std::make_shared<PdfOpenResult>(RepairingPdfLoader(*workplace).open(path));
        return [self, result, finished] {
            if (!self)
                return;
            if (result->ok()) {
                self->pdf_ = std::move(result->document);
                self->notice_ = result->notice;
            } else if (self->opening_) {
                self->opening_->close();
            }
            finished(result->ok() ? QString() : result->message);
        };
    });
}

void Document::makeWindowControllers() {
    if (fileURL().isEmpty() || !pdf_)
        return;
    auto* controller = new RMMainWindowController(std::move(pdf_), this, workplace_);
    controller->setAttribute(Qt::WA_DeleteOnClose);
    // In the place of the window that stood for it while the file was read.
    if (opening_) {
        controller->setGeometry(opening_->geometry());
        if (!opening_->preview().isNull())
            controller->showFirstPageStandIn(opening_->preview());
        opening_->close();
    }
    addWindowController(controller);
    windowCtrl_ = controller;
    if (!notice_.isEmpty())
        controller->showDocumentNotice(notice_);
}

void Document::saveDocumentAs() {
    if (windowCtrl_)
        windowCtrl_->saveCurrentDocWithNeedCloseDocAfterFinish(false);
}

bool Document::isStale() const {
    return windowCtrl_ && windowCtrl_->isStale();
}

void Document::askToReload(const std::function<void(bool reload)>& answered) {
    if (windowCtrl_)
        windowCtrl_->saveFlow().askToReload(answered);
    else
        answered(false);
}

void Document::close() {
    DocumentBase::close();
    NotificationCenter::defaultCenter().post(kWindowCloseNotification);
}

QString Document::currentFilePath() const {
    return QStringLiteral("file://") + fileURL();
}
