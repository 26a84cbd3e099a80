#pragma once

#include "crop/CropLength.h"
#include "crop/PageSplit.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// What one `cropmark crop` command asks for, read from its arguments and checked.
struct CropRequest {
    // What is done to the selected pages of every file.
    enum class Action {
        // Nothing but the split.
        None,
        // lengths: the kept rectangle's x, y, width and height in the displayed page, x and y
        // from its lower-left corner.
        Box,
        // lengths: what is cut off the displayed page's left, top, right and bottom.
        Margins,
        // Each page cropped to what it draws, grown by padding on every side.
        FitContent,
        // Every page given back the boxes it had before it was first cropped, which the
        // files the program saves keep; no page selection.
        Restore,
    };

    QStringList inputs;
    // Each selected page split into parts first; what the action does is then done to the
    // parts.
    std::optional<PageSplit> split;
    // The file written for the only input; empty to write "NAME-cropped.pdf" beside each.
    QString output;
    Action action = Action::Box;
    std::array<CropLength, 4> lengths{};
    CropLength padding;
    // Fit to content: one rectangle for all pages of the first selected page's size.
    bool sameSize = false;
    // PageSelection's entries; empty selects every page.
    QStringList selection;
    // For locked files; when absent, asked for on a terminal.
    std::optional<QString> password;
    // Every page written loses what lies outside its crop box, which becomes its media box;
    // nothing is left to restore.
    bool removesOutside = false;
    // Write nothing; print each selected page's old and new crop box, and with removesOutside
    // what the page would lose.
    bool dryRun = false;
    // How many files are cropped at once.
    int jobs = 1;
};
