#pragma once

#include <QByteArray>
#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

// Page attributes that a group of pages inherits from its own /Pages node.
struct TestPageGroup {
    std::optional<QRectF> mediaBox;
    std::optional<QRectF> cropBox;
    std::optional<int> rotate;
};

// One page of a test document. Boxes are written as [x0 y0 x1 y1] from the rectangle's
// corners, so a rectangle with negative width or height gives swapped corners.
struct TestPage {
    std::optional<QRectF> mediaBox = QRectF(0, 0, 612, 792);
    std::optional<QRectF> cropBox;
    std::optional<QRectF> bleedBox;
    std::optional<QRectF> trimBox;
    std::optional<QRectF> artBox;
    std::optional<int> rotate;
    // Pages with the same non-empty key share one indirect media box array.
    QString sharedMediaBoxKey;
    // Index of the group (see TestPdfBuilder::addGroup) whose /Pages node is the parent.
    int group = -1;
    // Content stream; may use the font /F1 (Helvetica).
    QByteArray content;
    // A transparency group, which makes renderers composite the page as a group.
    bool transparencyGroup = false;
    // A square annotation over this rectangle whose appearance fills it with black.
    std::optional<QRectF> blackSquareAnnotation;
    // A link annotation over this rectangle that goes to the first page.
    std::optional<QRectF> linkToFirstPage;
};

// Builds PDF files for tests with qpdf, so tests need no checked-in sample files.
class TestPdfBuilder {
public:
    int addGroup(const TestPageGroup& group);
    TestPdfBuilder& addPage(const TestPage& page);
    // Encrypts with AES-256 (R6) using these passwords.
    TestPdfBuilder& encrypt(const QString& userPassword, const QString& ownerPassword);
    // An outline (bookmark) entry that goes to the page at pageIndex.
    TestPdfBuilder& addOutline(const QString& title, int pageIndex);
    // Packs objects into object streams with a cross-reference stream, as modern producers do.
    TestPdfBuilder& useObjectStreams();
    // Object streams found through a classic table whose trailer points at the cross-reference
    // stream (/XRefStm), as producers write for readers that know only tables.
    TestPdfBuilder& useHybridXref();
    // Writes the file linearized, for viewing while it downloads.
    TestPdfBuilder& linearize();
    // Appends count incremental updates by hand, each with a classic table (so not for
    // encrypted files): every page dictionary written again as it was, and a new document
    // information dictionary, so that the number of objects grows as editors make it grow.
    TestPdfBuilder& addEarlierUpdates(int count);

    QByteArray bytes() const;
    // Writes the document to path and returns path.
    QString writeTo(const QString& path) const;

private:
    std::vector<TestPageGroup> groups_;
    std::vector<TestPage> pages_;
    std::vector<std::pair<QString, int>> outlines_;
    std::optional<std::pair<QString, QString>> passwords_;
    bool objectStreams_ = false;
    bool hybridXref_ = false;
    bool linearize_ = false;
    int earlierUpdates_ = 0;
};
