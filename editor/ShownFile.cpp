#include "editor/ShownFile.h"

#include "crop/CropSession.h"

ShownFile::ShownFile(const CropSession& session, std::function<QString()> documentPath)
    : session_(session), documentPath_(std::move(documentPath)) {
    if (const auto bytes = session_.pdfDoc().renderSource().data)
        shown_ = FileIdentity::ofHandle(bytes->fileHandle());
}

bool ShownFile::isStale() const {
    return session_.pdfDoc().fileChangedSinceOpened() ||
           (shown_ && FileIdentity::ofPath(documentPath_()) != shown_);
}

bool ShownFile::savedTo(const QString& target) {
    const auto saved = FileIdentity::ofPath(target);
    if (!saved || saved != FileIdentity::ofPath(documentPath_()))
        return false;
    shown_ = saved;
    return true;
}
