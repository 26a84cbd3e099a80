// Untrusted arguments through the command line: the input is the arguments after the program's
// name, separated by NUL bytes as the system hands them over. They go through the choice of
// what a start is for, through `cropmark crop`'s parser, and each one through the readers of
// a length and of a page selection. Whatever the arguments, the parser makes a request, asks
// for help or says what is wrong; a request has lengths that are finite and not negative and
// a page selection that selects the pages it names; what --box and --margins ask of a page
// lies on the page; and a length read converts to points and back to itself.

#include "cli/CropArguments.h"
#include "cli/DisplayedCrop.h"
#include "cli/PageSelectionArgument.h"
#include "cli/ProgramStart.h"
#include "crop/PageSelection.h"
#include "fuzz/FuzzRequire.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

// Pages that the requests are checked on: letter upright and turned, one far smaller than a
// point and one larger than any sheet.
const std::array<QSizeF, 4> kPages{QSizeF(612, 792), QSizeF(792, 612), QSizeF(0.01, 0.01),
                                   QSizeF(200000, 200000)};
constexpr qint64 kSelectedPages = 40;

bool lengthOk(const CropLength& length) {
    return std::isfinite(length.value) && length.value >= 0;
}

bool within(const QRectF& crop, const QSizeF& page) {
    return std::isfinite(crop.x()) && std::isfinite(crop.y()) && std::isfinite(crop.width()) &&
           std::isfinite(crop.height()) && crop.width() > 0 && crop.height() > 0 &&
           crop.left() >= 0 && crop.top() >= 0 && crop.right() <= page.width() &&
           crop.bottom() <= page.height();
}

std::vector<RMCropInfo> pages(qint64 count) {
    std::vector<RMCropInfo> records(static_cast<size_t>(count));
    for (size_t i = 0; i < records.size(); ++i)
        records[i].pageRect = QRectF(QPointF(0, 0), kPages[i % 2]);
    return records;
}

// Every page number written alone in text, a selection, is selected when the document has it.
void selectsWhatItNames(const QString& text, const QStringList& selection) {
    const std::vector<qint64> selected = PageSelection::expand(selection, pages(kSelectedPages));
    FUZZ_REQUIRE(std::is_sorted(selected.begin(), selected.end()) &&
                 std::adjacent_find(selected.begin(), selected.end()) == selected.end());
    for (const QString& item : text.split(u',')) {
        bool isNumber = false;
        const qint64 page = item.trimmed().toLongLong(&isNumber);
        if (isNumber && page >= 1 && page <= kSelectedPages)
            FUZZ_REQUIRE(std::binary_search(selected.begin(), selected.end(), page));
    }
}

void checkRequest(const CropRequest& request) {
    FUZZ_REQUIRE(!request.inputs.isEmpty() && request.jobs >= 1);
    FUZZ_REQUIRE(request.output.isEmpty() || request.inputs.size() == 1);
    FUZZ_REQUIRE(std::all_of(request.lengths.begin(), request.lengths.end(), lengthOk));
    FUZZ_REQUIRE(lengthOk(request.padding));
    if (request.action != CropRequest::Action::Box &&
        request.action != CropRequest::Action::Margins)
        return;
    for (const QSizeF& page : kPages) {
        if (const std::optional<QRectF> crop = DisplayedCrop::of(request, page))
            FUZZ_REQUIRE(within(*crop, page));
    }
}

// One argument read as a length and as a page selection.
void readAlone(const QString& argument) {
    if (const std::optional<CropLength> length = CropLength::parse(argument)) {
        FUZZ_REQUIRE(std::isfinite(length->value));
        for (const QSizeF& page : kPages) {
            const double points = length->inPoints(page.width());
            if (!std::isfinite(points))
                continue;
            const double back = CropLength::fromPoints(points, length->unit, page.width()).value;
            FUZZ_REQUIRE(std::abs(back - length->value) <=
                         1e-9 * std::max(1.0, std::abs(length->value)));
        }
    }
    if (const std::optional<QStringList> selection = PageSelectionArgument::parse(argument))
        selectsWhatItNames(argument, *selection);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QStringList arguments;
    for (const QByteArray& argument :
         QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)).split('\0'))
        arguments << QString::fromLocal8Bit(argument);

    const ProgramStart start =
        ProgramStart::decide(QStringList(QStringLiteral("cropmark")) + arguments, {});
    if (start.command == ProgramStart::Command::UsageError)
        FUZZ_REQUIRE(!start.error.isEmpty());
    for (const QString& file : start.files)
        FUZZ_REQUIRE(QFileInfo(file).isAbsolute());

    const CropArguments::Parsed parsed = CropArguments::parse(arguments);
    FUZZ_REQUIRE(
        int(parsed.request.has_value()) + int(parsed.help) + int(!parsed.error.isEmpty()) == 1);
    if (parsed.request) {
        checkRequest(*parsed.request);
        selectsWhatItNames(QString(), parsed.request->selection);
    }
    for (const QString& argument : arguments)
        readAlone(argument);
    return 0;
}
