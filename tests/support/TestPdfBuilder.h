#pragma once

#include <qpdf/QPDFObjectHandle.hh>

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>

#include <map>
#include <optional>
#include <string>
#include <vector>

// Page attributes that a group of pages inherits from its own /Pages node.
struct TestPageGroup {
    std::optional<QRectF> mediaBox;
    std::optional<QRectF> cropBox;
    std::optional<int> rotate;
};

// An image a page's content draws by name, in colour.
struct TestImage {
    QImage picture;
    // Its samples compressed without loss, as PNG keeps them, rather than a JPEG of the best
    // quality.
    bool lossless = false;
};

// One page of a test document; every field has a default, so callers name only what they set.
// Boxes are written as [x0 y0 x1 y1] from the rectangle's corners, so a rectangle with
// negative width or height gives swapped corners.
struct TestPage {
    std::optional<QRectF> mediaBox = QRectF(0, 0, 612, 792);
    std::optional<QRectF> cropBox = {};
    std::optional<QRectF> bleedBox = {};
    std::optional<int> rotate = {};
    // Pages with the same non-empty key share one indirect media box array.
    QString sharedMediaBoxKey = {};
    // Index of the group (see TestPdfBuilder::addGroup) whose /Pages node is the parent.
    int group = -1;
    // Content stream; may use the font /F1 (Helvetica) and the images.
    QByteArray content = {};
    // Image XObjects by resource name ("/Im0"), for the content to draw with Do.
    std::map<std::string, TestImage> images = {};
    // A transparency group, which makes renderers composite the page as a group.
    bool transparencyGroup = false;
    // A square annotation over this rectangle whose appearance fills it with black.
    std::optional<QRectF> blackSquareAnnotation = {};
    // A link annotation over this rectangle that goes to the first page.
    std::optional<QRectF> linkToFirstPage = {};
    // The page's /PieceInfo as PDF text, as applications leave their data in it; with
    // indirectPieceInfo, it and every entry in it are indirect objects.
    QByteArray pieceInfo = {};
    bool indirectPieceInfo = false;
    // The page as a scanner makes it: an image of this colour, a JPEG, over the whole media
    // box, drawn first, then content over it.
    std::optional<QColor> scanned = {};
    // The same with this picture, a JPEG of the best quality or, with losslessScan, a grey
    // image compressed without loss.
    QImage scanPicture = {};
    bool losslessScan = false;
};

// How a test document's objects and cross-references are laid out in the file.
struct TestPdfLayout {
    // Objects packed into object streams with a cross-reference stream, as modern producers
    // write them.
    bool objectStreams = false;
    // With objectStreams: found through a classic table whose trailer points at the
    // cross-reference stream (/XRefStm), as producers write for readers that know only tables.
    bool hybridXref = false;
    // Linearized, for viewing while it downloads.
    bool linearized = false;
    // Incremental updates appended by hand, each with a classic table (so not for encrypted
    // files): every page dictionary written again as it was, and a new document information
    // dictionary, so that the number of objects grows as editors make it grow.
    int earlierUpdates = 0;
    // The last startxref points at the wrong place, so that readers find the objects only by
    // rebuilding the cross-reference table: a file that opens only after repair.
    bool wrongStartxref = false;
    // Streams written as they were made, without compressing them, as scanners write theirs.
    bool uncompressedStreams = false;
    // An AES-128 file's encryption dictionary without /Length, which the format does without
    // since the crypt filter holds the key's length, as some producers write it.
    bool noKeyLength = false;
};

// Builds PDF files for tests with qpdf, so tests need no checked-in sample files.
class TestPdfBuilder {
public:
    int addGroup(const TestPageGroup& group) {
        groups_.push_back(group);
        return static_cast<int>(groups_.size()) - 1;
    }
    TestPdfBuilder& addPage(const TestPage& page) {
        pages_.push_back(page);
        return *this;
    }
    TestPdfBuilder& addPages(int count, const TestPage& page = {}) {
        pages_.insert(pages_.end(), static_cast<size_t>(count), page);
        return *this;
    }
    // Encrypts with AES using these passwords: with a 256-bit key (R6), or a 128-bit one (R4).
    TestPdfBuilder& encrypt(const QString& userPassword, const QString& ownerPassword,
                            int keyBits = 256) {
        passwords_ = std::pair(userPassword, ownerPassword);
        keyBits_ = keyBits;
        return *this;
    }
    // An outline (bookmarks) of one entry, title, that goes to the page at pageIndex.
    TestPdfBuilder& outline(const QString& title, int pageIndex) {
        outline_ = std::pair(title, pageIndex);
        return *this;
    }
    TestPdfBuilder& layOut(const TestPdfLayout& layout) {
        layout_ = layout;
        return *this;
    }

    QByteArray bytes() const;
    // Writes the document to path and returns path.
    QString writeTo(const QString& path) const;

private:
    std::vector<TestPageGroup> groups_;
    std::vector<TestPage> pages_;
    std::optional<std::pair<QString, int>> outline_;
    std::optional<std::pair<QString, QString>> passwords_;
    int keyBits_ = 256;
    TestPdfLayout layout_;
};

// Writes bytes to a file at path and returns path; throws when it cannot.
QString writeFile(const QString& path, const QByteArray& bytes);
// The bytes of the file at path; none when it cannot be read.
QByteArray readFile(const QString& path);

// The box under key as literally written in a page dictionary.
inline QRectF writtenBox(QPDFObjectHandle page, const char* key) {
    const auto r = page.getKey(key).getArrayAsRectangle();
    return QRectF(r.llx, r.lly, r.urx - r.llx, r.ury - r.lly);
}
