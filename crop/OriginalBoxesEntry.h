#pragma once

#include "crop/PagePart.h"
#include "crop/PdfBox.h"
#include "crop/QpdfShallowText.h"

#include <QDateTime>
#include <QRectF>

#include <array>
#include <optional>
#include <string>

// The boxes a page had before this program first saved it cropped, kept in the file so that
// the crop can be undone after the file is reopened, however often it is cropped again:
//
//   /PieceInfo << /Cropmark << /LastModified (D:...) /Private << /MediaBox [...] /CropBox [...]
//                 /BleedBox [...] /TrimBox [...] /ArtBox [...] /Part [page index count] >> >> >>
//
// /Part is there in a page split from another (PagePart): which page it was split from and which
// part of it it is, so that the parts can be joined into that page again.
//
// A page-piece dictionary of our own: readers skip entries they do not know, and other
// applications' entries beside it are kept. QpdfPageReader reads it.
class OriginalBoxesEntry {
public:
    static constexpr const char* kPieceInfo = "/PieceInfo";
    static constexpr const char* kOwnKey = "/Cropmark";
    static constexpr const char* kPrivate = "/Private";
    static constexpr const char* kLastModified = "/LastModified";
    static constexpr const char* kPart = "/Part";

    // Entries this save adds or removes are dated at when; with keeps false, the save keeps no
    // original boxes: it adds no entry and removes those there.
    OriginalBoxesEntry(const QDateTime& when, bool keeps);

    // What saving page (as parsed from the file it was opened from) with the boxes saved
    // changes in its dictionary besides the boxes, as new values of its entries in PDF text
    // (an empty one removes the entry); nothing when the page is saved as it was in that
    // respect. Made as text, so that a save that updates thousands of pages makes no objects
    // for them.
    //
    // A page without a readable entry gets one with the boxes it was opened with, if they are
    // not the ones saved. An entry already there is kept as it is, so a page cropped twice
    // still knows its real original, unless the page is saved with exactly the kept boxes:
    // then it has nothing left to restore and the entry goes, and /PieceInfo with it if it
    // holds nothing else. An indirect /PieceInfo comes back as a direct dictionary with its
    // other entries as they were (references stay references), so only the page changes.
    //
    // A page saved as part of a page split gets the part beside its kept boxes, unless its
    // entry already names one: a part split again stays part of the page first split.
    QpdfShallowText::Replacements changes(QPDFObjectHandle page,
                                          const std::array<QRectF, kPdfBoxCount>& saved,
                                          const std::optional<PagePart>& part = {}) const;

private:
    // The date as a PDF string.
    std::string date_;
    bool keeps_;
};
