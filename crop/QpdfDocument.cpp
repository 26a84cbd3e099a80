#include "crop/QpdfDocument.h"

#include "crop/PdfWriteNotifications.h"
#include "crop/QpdfDocumentWriter.h"
#include "crop/QpdfParser.h"
#include "crop/QpdfReadBack.h"
#include "crop/RectMath.h"
#include "crop/ReplacingFile.h"
#include "platform/NotificationCenter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>

#include <system_error>

namespace {

// Every box of a page set, as for a page split or joined.
constexpr auto kAllBoxes = static_cast<std::uint8_t>((1u << kPdfBoxCount) - 1);

} // namespace

QpdfDocument::QpdfDocument(std::shared_ptr<const PdfSourceData> data,
                           std::vector<PageGeometry> pages, bool locked, PageReader read,
                           std::shared_ptr<SaveWriter> save)
    : data_(std::move(data)), locked_(locked), pages_(std::move(pages)),
      filePageCount_(static_cast<int>(pages_.size())), setBoxes_(pages_.size(), 0),
      read_(read ? std::move(read) : readPagesHere), save_(std::move(save)) {}

std::unique_ptr<PdfDocument> QpdfDocument::copy() const {
    return std::make_unique<QpdfDocument>(*this);
}

int QpdfDocument::pageCount() const {
    return static_cast<int>(pages_.size());
}

bool QpdfDocument::validIndex(int pageIndex) const {
    return pageIndex >= 0 && pageIndex < pageCount();
}

bool QpdfDocument::unlockWithPassword(const QString& password) {
    if (!locked_)
        return true;
    const QByteArray utf8 = password.toUtf8();
    PagesRead read = read_(*data_, utf8);
    // A wrong password and a file that turns out damaged once decrypted both leave the
    // document locked.
    if (read.outcome != PagesRead::Outcome::Read)
        return false;
    pages_ = std::move(read.pages);
    filePageCount_ = static_cast<int>(pages_.size());
    setBoxes_.assign(pages_.size(), 0);
    password_ = utf8;
    locked_ = false;
    return true;
}

int QpdfDocument::rotation(int pageIndex) const {
    return validIndex(pageIndex) ? pages_[static_cast<size_t>(pageIndex)].rotation : 0;
}

bool QpdfDocument::isPageDamaged(int pageIndex) const {
    return validIndex(pageIndex) && pages_[static_cast<size_t>(pageIndex)].damaged;
}

QRectF QpdfDocument::boundsForBox(int pageIndex, PdfBox box) const {
    return validIndex(pageIndex) ? pages_[static_cast<size_t>(pageIndex)].box(box) : QRectF();
}

void QpdfDocument::setBoundsForBox(int pageIndex, const QRectF& bounds, PdfBox box) {
    // A damaged page has no dictionary in the file to hold a box, so a box set on it would
    // never be written: it keeps the boxes it was read with.
    if (!validIndex(pageIndex) || isPageDamaged(pageIndex))
        return;
    const auto i = static_cast<size_t>(pageIndex);
    pages_[i].box(box) = RectMath::standardized(bounds);
    setBoxes_[i] |= static_cast<std::uint8_t>(1u << static_cast<int>(box));
}

int QpdfDocument::filePageIndex(int pageIndex) const {
    return validIndex(pageIndex) ? pages_[static_cast<size_t>(pageIndex)].filePage : pageIndex;
}

QRectF QpdfDocument::shownRegion(int pageIndex) const {
    return validIndex(pageIndex) ? pages_[static_cast<size_t>(pageIndex)].region : QRectF();
}

std::optional<PagePart> QpdfDocument::pagePart(int pageIndex) const {
    return validIndex(pageIndex) ? pages_[static_cast<size_t>(pageIndex)].part : std::nullopt;
}

void QpdfDocument::splitPages(const std::map<int, std::vector<QRectF>>& parts) {
    // Made anew in one pass: a batch splitting thousands of pages moves each page once.
    std::vector<PageGeometry> pages;
    std::vector<std::uint8_t> setBoxes;
    pages.reserve(pages_.size());
    setBoxes.reserve(pages_.size());
    for (size_t i = 0; i < pages_.size(); ++i) {
        const auto split = parts.find(static_cast<int>(i));
        const int count = split == parts.end() ? 0 : static_cast<int>(split->second.size());
        const PageGeometry& page = pages_[i];
        if (count < 2 || count > PagePart::kMostParts || page.damaged) {
            pages.push_back(page);
            setBoxes.push_back(setBoxes_[i]);
            continue;
        }
        for (int index = 0; index < count; ++index) {
            PageGeometry part = page;
            part.boxes.fill(RectMath::standardized(split->second[static_cast<size_t>(index)]));
            part.region = part.box(PdfBox::Media);
            // A part split again stays part of the page first split, which joining gives back.
            if (!page.part)
                part.part = PagePart{static_cast<int>(i), index, count};
            pages.push_back(part);
            setBoxes.push_back(kAllBoxes);
        }
    }
    pages_ = std::move(pages);
    setBoxes_ = std::move(setBoxes);
}

void QpdfDocument::joinPages(const std::vector<std::pair<int, int>>& runs) {
    std::vector<PageGeometry> pages;
    std::vector<std::uint8_t> setBoxes;
    pages.reserve(pages_.size());
    setBoxes.reserve(pages_.size());
    auto run = runs.begin();
    for (size_t i = 0; i < pages_.size(); ++i) {
        while (run != runs.end() && run->first + run->second <= static_cast<int>(i))
            ++run;
        const bool inRun = run != runs.end() && run->second >= 2 && run->first <= int(i);
        if (inRun && run->first != static_cast<int>(i))
            continue;
        pages.push_back(pages_[i]);
        setBoxes.push_back(setBoxes_[i]);
        PageGeometry& joined = pages.back();
        if (!inRun || !joined.keptOriginal)
            continue;
        // The page as it was before it was split, which the parts showed together.
        joined.part.reset();
        joined.boxes = *joined.keptOriginal;
        joined.region = joined.box(PdfBox::Media);
        setBoxes.back() = kAllBoxes;
    }
    pages_ = std::move(pages);
    setBoxes_ = std::move(setBoxes);
}

std::optional<std::array<QRectF, kPdfBoxCount>>
QpdfDocument::keptOriginalBoxes(int pageIndex) const {
    if (!validIndex(pageIndex))
        return std::nullopt;
    return pages_[static_cast<size_t>(pageIndex)].keptOriginal;
}

QByteArray QpdfDocument::dataRepresentation() const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!write(buffer, SaveChoices{}, nullptr))
        return {};
    return bytes;
}

void QpdfDocument::prepareToSave() const {
    // A locked document's password is not known yet, and a save here has nothing to start.
    if (save_ && !locked_)
        save_->prepare(data_, password_);
}

bool QpdfDocument::writeToFile(const QString& path, const SaveChoices& choices,
                               QString* errorMessage, std::vector<RemovedOutside>* removed) const {
    // Removing content takes the renderer, which only a save writer has.
    if (choices.removesOutside && !save_) {
        if (errorMessage) {
            *errorMessage = QCoreApplication::translate(
                "QpdfDocument", "Content outside the crop cannot be removed here.");
        }
        return false;
    }
    ReplacingFile file(path);
    if (!file.open(errorMessage))
        return false;
    QString reason;
    int systemError = 0;
    bool readsBack = false;
    // Told by a write made here which objects it wrote.
    auto writtenObjects = WrittenObjects::rewritten({});
    const bool written =
        save_ ? produce(
                    [&](const std::function<void()>& pageWritten) {
                        const SaveJob job{data_.get(), password_, pages_, setBoxes_, choices};
                        const SaveOutcome outcome =
                            save_->save(job, file.device().handle(), pageWritten);
                        if (outcome.outOfMemory) {
                            throw std::runtime_error(
                                QCoreApplication::translate(
                                    "QpdfDocument",
                                    "The document is too large to save: saving it takes more "
                                    "memory than Cropmark allows itself. Nothing was replaced.")
                                    .toStdString());
                        }
                        if (outcome.systemError != 0) {
                            throw std::system_error(
                                std::error_code(outcome.systemError, std::generic_category()),
                                outcome.error.toStdString());
                        }
                        if (!outcome.written)
                            throw std::runtime_error(outcome.error.toStdString());
                        readsBack = outcome.readsBack;
                        if (removed)
                            *removed = outcome.removed;
                    },
                    &reason, &systemError)
              : write(file.device(), choices, &reason, &systemError, &writtenObjects);
    if (!written) {
        if (errorMessage)
            *errorMessage = file.failureMessage(systemError, reason);
        return false;
    }
    if (!file.finish(errorMessage))
        return false;
    if (!save_)
        readsBack = QpdfReadBack::fileReadsBack(file.writtenPath(), *data_, password_, pages_,
                                                setBoxes_, writtenObjects);
    if (!readsBack) {
        if (errorMessage) {
            *errorMessage = QCoreApplication::translate(
                "QpdfDocument",
                "The saved file could not be read back correctly, so nothing was replaced.");
        }
        return false;
    }
    return file.commit(errorMessage);
}

bool QpdfDocument::write(QIODevice& out, const SaveChoices& choices, QString* errorMessage,
                         int* systemError, WrittenObjects* written) const {
    return produce(
        [&](const std::function<void()>& pageWritten) {
            QpdfDocumentWriter writer(*data_, password_);
            const WrittenObjects objects =
                writer.write(out, pages_, setBoxes_, choices, pageWritten);
            if (written)
                *written = objects;
        },
        errorMessage, systemError);
}

bool QpdfDocument::produce(
    const std::function<void(const std::function<void()>& pageWritten)>& body,
    QString* errorMessage, int* systemError) const {
    auto& center = NotificationCenter::defaultCenter();
    center.post(PdfWriteNotifications::didBeginWrite, this);
    bool written = false;
    if (locked_ || !data_) {
        if (errorMessage) {
            *errorMessage = QCoreApplication::translate(
                "QpdfDocument", locked_ ? "The document is locked." : "The document has no file.");
        }
    } else if (!fileChangedSinceOpened()) {
        try {
            body([this, &center] { center.post(PdfWriteNotifications::didEndPageWrite, this); });
            written = true;
        } catch (const std::exception& e) {
            if (errorMessage)
                *errorMessage = QString::fromLocal8Bit(e.what());
            const auto* failedWrite = dynamic_cast<const std::system_error*>(&e);
            if (failedWrite && systemError)
                *systemError = failedWrite->code().value();
        }
    }
    // Asked again once the bytes are made: a change while the file was being read may have
    // let part of its new version in, or cut the copy short with a less telling error.
    if (!locked_ && fileChangedSinceOpened()) {
        written = false;
        if (errorMessage) {
            *errorMessage =
                QCoreApplication::translate(
                    "QpdfDocument",
                    "“%1” was changed by another program after Cropmark opened it, so it can no "
                    "longer be saved from this window. Open the file again to crop its new "
                    "version.")
                    .arg(QFileInfo(data_->description()).fileName());
        }
        if (systemError)
            *systemError = 0;
    }
    center.post(PdfWriteNotifications::didEndWrite, this);
    return written;
}

bool QpdfDocument::fileChangedSinceOpened() const {
    return data_ && data_->changedOnDisk();
}

PdfRenderSource QpdfDocument::renderSource() const {
    return PdfRenderSource{data_, password_};
}
