#include "crop/QpdfDocumentWriter.h"

#include "crop/DeviceWrite.h"
#include "crop/OriginalBoxesEntry.h"
#include "crop/PdfBoxText.h"
#include "crop/QpdfPageLayout.h"
#include "crop/QpdfPageReader.h"
#include "crop/QpdfPageTree.h"
#include "crop/QpdfParser.h"
#include "crop/QpdfReadBack.h"
#include "crop/QpdfUpdateBuilder.h"
#include "crop/SourceRangeCopy.h"

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <QIODevice>

#include <stdexcept>

namespace {

// Each copy call has a cost of its own, so the original goes out in pieces of at least this.
constexpr qint64 kMinimumPiece = 32 * 1024 * 1024;

// A qpdf pipeline into a Qt device, so a rewrite streams into the file being saved.
class DevicePipeline final : public Pipeline {
public:
    explicit DevicePipeline(QIODevice& device) : Pipeline("device", nullptr), device_(device) {}
    void write(unsigned char const* bytes, size_t length) override {
        DeviceWrite::writeAll(device_, QByteArrayView(bytes, static_cast<qsizetype>(length)));
    }
    void finish() override {}

private:
    QIODevice& device_;
};

// Turns qpdf's percentage of objects written into page ends, so that exactly one arrives per
// page, in page order, spread over the rewrite.
class PageProgress final : public QPDFWriter::ProgressReporter {
public:
    PageProgress(int pageCount, const std::function<void()>& pageWritten)
        : pageCount_(pageCount), pageWritten_(pageWritten) {}

    void reportProgress(int percent) override { advanceTo(pageCount_ * percent / 100); }
    void finish() { advanceTo(pageCount_); }

private:
    void advanceTo(int pages) {
        for (; posted_ < std::min(pages, pageCount_); ++posted_)
            pageWritten_();
    }

    int pageCount_;
    const std::function<void()>& pageWritten_;
    int posted_ = 0;
};

} // namespace

QpdfDocumentWriter::QpdfDocumentWriter(const PdfSourceData& data, const QByteArray& password)
    : data_(data), password_(password), pdf_(QpdfParser::parse(data, password)),
      sourcePages_(pdf_->getAllPages()) {}

QpdfDocumentWriter::~QpdfDocumentWriter() {
    sourcePages_.clear();
    if (pdf_)
        QpdfParser::drop(std::move(pdf_));
}

std::vector<PageGeometry> QpdfDocumentWriter::geometry() const {
    return QpdfPageReader::readAll(sourcePages_);
}

WrittenObjects QpdfDocumentWriter::write(QIODevice& out, const std::vector<PageGeometry>& geometry,
                                         const std::vector<std::uint8_t>& setBoxes,
                                         const SaveChoices& choices,
                                         const std::function<void()>& pageWritten) {
    if (!pdf_)
        throw std::logic_error("a document writer writes once");
    std::unique_ptr<QPDF> pdf = std::move(pdf_);
    std::vector<QPDFObjectHandle> pages = std::move(sourcePages_);
    // Pages split or joined since the file was read are laid out first: the new pages are
    // objects of the file being written, whichever way it is written.
    std::optional<QpdfPageLayout> layout;
    if (!QpdfPageLayout::keepsFileOrder(geometry, pages.size()))
        layout.emplace(*pdf, pages, geometry);
    // A file qpdf had to repair to read its pages is written whole, repaired, rather than
    // updated: an update would carry the damage on to every reader of the saved file.
    const bool damaged = pdf->anyWarnings();
    // An update keeps the file's encryption: a file saved without it is written whole.
    const bool decrypts =
        choices.removesPassword && pdf->isEncrypted() && pdf->ownerPasswordMatched();
    const OriginalBoxesEntry originals(QDateTime::currentDateTimeUtc(), choices.keepsOriginalBoxes);
    if (const auto update =
            damaged || decrypts
                ? std::nullopt
                : QpdfUpdateBuilder::build(*pdf, data_, layout ? layout->pages() : pages, geometry,
                                           setBoxes, originals, layout ? &*layout : nullptr)) {
        const QByteArray appended = update->bytes();
        if (QpdfReadBack::updateReadsBack(data_, appended, password_, pages, geometry, setBoxes)) {
            writeUpdate(appended, out, qint64(geometry.size()), pageWritten);
            // The file it went into is read back by little more than its cross-reference
            // sections, so this is the save's last large parse. A rewrite's parse is freed
            // instead, before its file is read back whole.
            pages.clear();
            layout.reset();
            QpdfParser::drop(std::move(pdf));
            return WrittenObjects::appendedTo(data_.size(), appended);
        }
    }
    if (layout)
        pages = layout->pages();
    if (damaged || layout) {
        // Written whole and consistent: the page tree afresh, lost pages as empty ones.
        QpdfPageTree::flatten(*pdf, pages);
    }
    for (size_t i = 0; i < pages.size(); ++i) {
        if (!setBoxes[i])
            continue;
        // Read before the new boxes go in: they are kept as the page was opened.
        for (const auto& [key, text] :
             originals.changes(pages[i], geometry[i].boxes, geometry[i].part)) {
            pages[i].replaceKey(key, text.empty() ? QPDFObjectHandle::newNull()
                                                  : QPDFObjectHandle::parse(pdf.get(), text));
        }
        for (int box = 0; box < kPdfBoxCount; ++box) {
            if (setBoxes[i] & (1u << box)) {
                pages[i].replaceKey(
                    kPdfBoxKeys[box],
                    QPDFObjectHandle::parse(
                        PdfBoxText::array(geometry[i].boxes[static_cast<size_t>(box)])
                            .toStdString()));
            }
        }
    }
    return rewrite(*pdf, out, int(geometry.size()), !decrypts, pageWritten);
}

void QpdfDocumentWriter::writeUpdate(const QByteArray& appended, QIODevice& out, qint64 pageCount,
                                     const std::function<void()>& pageWritten) const {
    // The original bytes go out a page's share at a time, so progress moves while they do.
    const qint64 size = data_.size();
    qint64 written = 0;
    for (qint64 page = 0; page < pageCount; ++page) {
        const qint64 end = size * (page + 1) / pageCount;
        if (end - written >= kMinimumPiece || page == pageCount - 1) {
            SourceRangeCopy::copy(data_, written, end, out);
            written = end;
        }
        pageWritten();
    }
    DeviceWrite::writeAll(out, appended);
}

WrittenObjects QpdfDocumentWriter::rewrite(QPDF& pdf, QIODevice& out, int pageCount,
                                           bool keepsEncryption,
                                           const std::function<void()>& pageWritten) {
    // qpdf writes the trailer's /Size only in place of one it read, so a source whose trailer
    // lacks it would be saved without one, which every reader then has to repair.
    pdf.getTrailer().replaceKey("/Size", QPDFObjectHandle::newInteger(0));
    DevicePipeline pipeline(out);
    QPDFWriter writer(pdf);
    writer.setOutputPipeline(&pipeline);
    // Streams are copied as they are: nothing is decoded or recompressed, so page content
    // and images stay byte for byte what they were, and large files write quickly.
    writer.setDecodeLevel(qpdf_dl_none);
    writer.setCompressStreams(false);
    writer.setPreserveEncryption(keepsEncryption);
    auto progress = std::make_shared<PageProgress>(pageCount, pageWritten);
    writer.registerProgressReporter(progress);
    writer.write();
    progress->finish();
    // Every stream written was read for it, so asking which is a stream reads nothing more.
    std::map<int, WrittenObjects::Id> streamSources;
    for (QPDFObjectHandle& object : pdf.getAllObjects()) {
        const QPDFObjGen source = object.getObjGen();
        const int written = writer.getRenumberedObjGen(source).getObj();
        if (written > 0 && object.isStream())
            streamSources.emplace(written, WrittenObjects::Id{source.getObj(), source.getGen()});
    }
    return WrittenObjects::rewritten(std::move(streamSources));
}
