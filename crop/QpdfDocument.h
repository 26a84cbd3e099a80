#pragma once

#include "crop/PageGeometry.h"
#include "crop/PagesRead.h"
#include "crop/PdfDocument.h"
#include "crop/SaveWriter.h"
#include "crop/WrittenObjects.h"

class QIODevice;

#include <cstdint>
#include <memory>
#include <vector>

// A document over qpdf. The file's pages are parsed once, when it is opened or unlocked;
// after that the document is its page geometry plus a record of which boxes were set, and
// copying it copies only that. Its bytes are made by parsing the file again and writing it
// with the set boxes in place, so documents that share a file never share parser state.
class QpdfDocument final : public PdfDocument {
public:
    // A document over already parsed pages, or a locked one (no pages) awaiting a password,
    // whose pages read will read once it is unlocked (qpdf in this process when empty). Saves
    // to a file are written, and read back, by save (here when empty).
    QpdfDocument(std::shared_ptr<const PdfSourceData> data, std::vector<PageGeometry> pages,
                 bool locked, PageReader read = {}, std::shared_ptr<SaveWriter> save = {});

    std::unique_ptr<PdfDocument> copy() const override;
    int pageCount() const override;
    int filePageCount() const override { return filePageCount_; }
    bool isLocked() const override { return locked_; }
    bool unlockWithPassword(const QString& password) override;
    int rotation(int pageIndex) const override;
    bool isPageDamaged(int pageIndex) const override;
    QRectF boundsForBox(int pageIndex, PdfBox box) const override;
    void setBoundsForBox(int pageIndex, const QRectF& bounds, PdfBox box) override;
    int filePageIndex(int pageIndex) const override;
    QRectF shownRegion(int pageIndex) const override;
    std::optional<PagePart> pagePart(int pageIndex) const override;
    void splitPages(const std::map<int, std::vector<QRectF>>& parts) override;
    void joinPages(const std::vector<std::pair<int, int>>& runs) override;
    std::optional<std::array<QRectF, kPdfBoxCount>> keptOriginalBoxes(int pageIndex) const override;
    QByteArray dataRepresentation() const override;
    using PdfDocument::writeToFile;
    bool writeToFile(const QString& path, const SaveChoices& choices, QString* errorMessage,
                     std::vector<RemovedOutside>* removed = nullptr) const override;
    void prepareToSave() const override;
    bool fileChangedSinceOpened() const override;
    PdfRenderSource renderSource() const override;

private:
    bool validIndex(int pageIndex) const;
    // Writes the bytes into out between the begin and end notifications; false (with the
    // reason, and the system's error number where writing failed) when they cannot be made
    // or written. written, when given, is told which objects were written.
    bool write(QIODevice& out, const SaveChoices& choices, QString* errorMessage,
               int* systemError = nullptr, WrittenObjects* written = nullptr) const;
    // Runs produce, which makes the bytes, between the begin and end notifications, refusing
    // a locked document or a file changed on disk; produce throws what went wrong.
    bool produce(const std::function<void(const std::function<void()>& pageWritten)>& body,
                 QString* errorMessage, int* systemError) const;

    std::shared_ptr<const PdfSourceData> data_;
    QByteArray password_;
    bool locked_;
    std::vector<PageGeometry> pages_;
    int filePageCount_;
    // Per page, one bit per PdfBox that was set and must be written out.
    std::vector<std::uint8_t> setBoxes_;
    PageReader read_;
    std::shared_ptr<SaveWriter> save_;
};
