#include "cli/FileCropper.h"

#include "cli/Console.h"
#include "cli/ContentMeasurement.h"
#include "cli/DisplayedCrop.h"
#include "crop/CropSession.h"
#include "crop/CroppedFileName.h"
#include "crop/PageSelection.h"
#include "crop/PdfBoxText.h"
#include "crop/PdfWriteNotifications.h"
#include "platform/NotificationCenter.h"
#include "render/RepairingPdfLoader.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <map>

namespace {

FileOutcome failure(const QString& error) {
    FileOutcome outcome;
    outcome.error = error;
    return outcome;
}

QString counted(int done, int total) {
    return QStringLiteral("%1/%2").arg(done).arg(total);
}

// "1, 4, 9" for a few page numbers; the first ones and how many more for many.
QString pageList(const std::vector<qint64>& pages) {
    constexpr size_t kShown = 10;
    QStringList numbers;
    for (size_t i = 0; i < std::min(pages.size(), kShown); ++i)
        numbers << QString::number(pages[i]);
    QString list = numbers.join(QStringLiteral(", "));
    if (pages.size() > kShown)
        list += QStringLiteral(" and %1 more").arg(pages.size() - kShown);
    return list;
}

// "1 image", "2 images", "0 images".
QString amount(qint64 count, const QString& word) {
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? word : word + u's');
}

// What a page loses by the removal of what lies outside its crop; every count is given, in the
// same order, so that scripts find each in its place.
QString removal(const RemovedOutside& removed) {
    return QStringLiteral("removes %1, %2, %3, %4, %5")
        .arg(amount(removed.glyphs, QStringLiteral("glyph")),
             amount(removed.images, QStringLiteral("image")),
             amount(removed.paths, QStringLiteral("path")),
             amount(removed.annotations, QStringLiteral("annotation")),
             amount(removed.bytes, QStringLiteral("byte")));
}

} // namespace

FileCropper::FileCropper(const CropRequest& request, Console& console,
                         std::shared_ptr<const RenderWorkplace> workplace)
    : request_(request), console_(console), workplace_(std::move(workplace)) {}

QString FileCropper::outputPath(const QString& input) const {
    return request_.output.isEmpty() ? CroppedFileName::of(input) : request_.output;
}

FileOutcome FileCropper::crop(const QString& input, int number, int count) const {
    const QString name = QFileInfo(input).fileName();
    const Step step = [&](const QString& what) {
        console_.progress(QStringLiteral("[%1] %2: %3").arg(counted(number, count), name, what));
    };
    step(QStringLiteral("opening"));
    // What removing the content outside the crops takes is known only once it is done, so a
    // dry run saves that too, where nothing is kept.
    const bool saves = !request_.dryRun || request_.removesOutside;
    // A save's host parses the file while the crops are worked out.
    PdfOpenResult opened = RepairingPdfLoader(*workplace_, saves).open(input);
    if (!opened.ok())
        return failure(opened.message);
    FileOutcome outcome;
    if (!opened.notice.isEmpty()) {
        outcome.warnings << QStringLiteral(
            "the file is damaged; its pages were cropped and written from a repaired copy");
    }
    CropSession session(std::move(opened.document));
    if (session.pdfDoc().isLocked()) {
        if (const auto error = unlock(session, input))
            return failure(*error);
        if (saves)
            session.pdfDoc().prepareToSave();
    }
    std::vector<qint64> pages = PageSelection::expand(request_.selection, session.cropsRect());
    if (pages.empty()) {
        return failure(QStringLiteral("--pages selects none of its %1 pages")
                           .arg(session.pdfDoc().pageCount()));
    }
    if (request_.split)
        pages = split(session, pages);
    if (const auto error = setCrops(session, pages, outcome, step))
        return failure(*error);
    session.done();

    if (request_.dryRun) {
        std::map<int, RemovedOutside> removed;
        if (request_.removesOutside) {
            std::vector<RemovedOutside> report;
            if (const auto error = wouldRemove(session, step, report))
                return failure(*error);
            for (const RemovedOutside& page : report)
                removed.emplace(page.page, page);
        }
        for (qint64 n : pages) {
            const int index = static_cast<int>(n - 1);
            const PdfDocument& document = session.pdfDoc();
            const int filePage = document.filePageIndex(index);
            const QByteArray before =
                PdfBoxText::array(session.originalPdfDoc().boundsForBox(filePage, PdfBox::Crop));
            const QByteArray after = PdfBoxText::array(document.boundsForBox(index, PdfBox::Crop));
            // A part is named by the page it was split from as well.
            const QString page = filePage == index
                                     ? QString::number(n)
                                     : QStringLiteral("%1 (from page %2)").arg(n).arg(filePage + 1);
            outcome.lines << QStringLiteral("%1 page %2: %3 -> %4")
                                 .arg(input, page, QString::fromLatin1(before),
                                      QString::fromLatin1(after));
            if (request_.removesOutside) {
                const auto lost = removed.find(index);
                outcome.lines << QStringLiteral("%1 page %2: %3")
                                     .arg(input, page,
                                          lost == removed.end()
                                              ? QStringLiteral("nothing outside the crop")
                                              : removal(lost->second));
            }
        }
    } else if (const auto error = write(session, outputPath(input), step)) {
        return failure(*error);
    }
    outcome.ok = true;
    return outcome;
}

std::optional<QString> FileCropper::unlock(CropSession& session, const QString& input) const {
    std::optional<QString> password = request_.password;
    if (!password) {
        password = console_.askPassword(
            QStringLiteral("Password for %1: ").arg(QFileInfo(input).fileName()));
    }
    if (!password)
        return QStringLiteral("the file is locked with a password; give it with --password");
    if (!session.unlockWithPassword(*password))
        return QStringLiteral("wrong password");
    // A locked document shows no pages, so its records are made now that it has them.
    session.rebuildRecords();
    return std::nullopt;
}

std::vector<qint64> FileCropper::split(CropSession& session,
                                       const std::vector<qint64>& pages) const {
    session.setCurrentIndex(pages.front() - 1);
    session.setBatchCrop(true);
    session.setStartingPageRange(PageSelection::rangesOf(pages));
    const std::vector<qint64> split = session.splitPages(*request_.split);
    session.setBatchCrop(false);
    // The pages split were those selected that the split fits, and each became as many.
    const qint64 more = request_.split->partCount() - 1;
    std::vector<qint64> parts;
    qint64 added = 0;
    for (size_t i = 0, next = 0; i < pages.size(); ++i) {
        parts.push_back(pages[i] + added);
        if (next < split.size() && split[next] == pages[i]) {
            for (qint64 part = 1; part <= more; ++part)
                parts.push_back(pages[i] + added + part);
            added += more;
            ++next;
        }
    }
    return parts;
}

std::optional<QString> FileCropper::setCrops(CropSession& session, const std::vector<qint64>& pages,
                                             FileOutcome& outcome, const Step& step) const {
    if (request_.action == CropRequest::Action::None)
        return std::nullopt;
    if (request_.action == CropRequest::Action::FitContent)
        return fitToContent(session, pages, outcome, step);
    if (request_.action == CropRequest::Action::Restore) {
        if (!session.canRestoreOriginal()) {
            return QStringLiteral("nothing to restore: no page has boxes kept from before "
                                  "Cropmark cropped it");
        }
        session.restoreOriginal();
        return std::nullopt;
    }
    std::map<qint64, QRectF> crops;
    for (qint64 n : pages) {
        const QSizeF displayed = session.cropsRect()[static_cast<size_t>(n - 1)].pageRect.size();
        const auto crop = DisplayedCrop::of(request_, displayed);
        if (!crop) {
            return (request_.action == CropRequest::Action::Box
                        ? QStringLiteral("the box leaves nothing of page %1")
                        : QStringLiteral("the margins leave nothing of page %1"))
                .arg(n);
        }
        crops.emplace(n, *crop);
    }
    session.cropPages(crops);
    return std::nullopt;
}

std::optional<QString> FileCropper::fitToContent(CropSession& session,
                                                 const std::vector<qint64>& pages,
                                                 FileOutcome& outcome, const Step& step) const {
    // As the window fits a selection: in batch mode, from its first page.
    session.setCurrentIndex(pages.front() - 1);
    session.setBatchCrop(true);
    session.applyPageRangeSettingWithPageArray(PageSelection::rangesOf(pages));
    // Accepting a selection also carries the current page's crop to the pages it selects,
    // which would leave pages of other sizes without content cut to the first page's size;
    // nothing is cropped yet, so the records are made afresh from the boxes.
    session.rebuildRecords();
    const std::vector<qint64> fitted = session.contentFitPages();
    const auto bounds =
        ContentMeasurement::measure(session.pdfDoc(), workplace_, fitted, [&](int done, int total) {
            step(QStringLiteral("measuring ") + counted(done, total));
        });
    std::vector<qint64> blank;
    for (qint64 n : fitted) {
        if (!bounds.contains(n))
            blank.push_back(n);
    }
    // With sameSize, a page without content of its own still gets the common rectangle.
    if (!blank.empty() && (!request_.sameSize || bounds.empty())) {
        outcome.warnings << QStringLiteral("no content found on %1 %2; left as it was")
                                .arg(blank.size() == 1 ? QStringLiteral("page")
                                                       : QStringLiteral("pages"),
                                     pageList(blank));
    }
    session.fitToContent(bounds, request_.padding, request_.sameSize);
    return std::nullopt;
}

std::optional<QString> FileCropper::wouldRemove(const CropSession& session, const Step& step,
                                                std::vector<RemovedOutside>& removed) const {
    // Gone again, with the file in it, when the dry run is over.
    const QTemporaryDir folder;
    if (!folder.isValid())
        return QStringLiteral("no temporary folder to save in: %1").arg(folder.errorString());
    return write(session, folder.filePath(QStringLiteral("dry-run.pdf")), step, &removed);
}

std::optional<QString> FileCropper::write(const CropSession& session, const QString& path,
                                          const Step& step,
                                          std::vector<RemovedOutside>* removed) const {
    const PdfDocument& document = session.pdfDoc();
    const int total = document.pageCount();
    int written = 0;
    step(QStringLiteral("writing"));
    // Declared after what its handler uses, so the observer goes first.
    QObject owner;
    NotificationCenter::defaultCenter().addObserver(
        &owner, PdfWriteNotifications::didEndPageWrite,
        [&](const Notification&) { step(QStringLiteral("writing ") + counted(++written, total)); },
        &document);
    QString error;
    if (!document.writeToFile(path, SaveChoices{.removesOutside = request_.removesOutside}, &error,
                              removed))
        return error;
    return std::nullopt;
}
