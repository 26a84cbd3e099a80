#include "app/Document.h"

#include "crop/PdfDocument.h"
#include "editor/RMMainWindowController.h"

Document::Document(const QString& path, std::unique_ptr<PdfDocument> pdf) : path_(path) {
    controller_ = new RMMainWindowController(std::move(pdf), this);
    controller_->setAttribute(Qt::WA_DeleteOnClose);
    connect(controller_, &QObject::destroyed, this, &QObject::deleteLater);
    controller_->show();
}

Document::~Document() = default;
