#pragma once

#include "cli/CropRequest.h"

#include <QString>
#include <QStringList>

#include <optional>

// Reads the arguments of `cropmark crop` (those after the word crop) into a request.
namespace CropArguments {

struct Parsed {
    // Set when the arguments make a request.
    std::optional<CropRequest> request;
    // Help was asked for; nothing else counts then.
    bool help = false;
    // What is wrong with the arguments, when there is no request and no help.
    QString error;
};

// What the command says of an argument that looks like an option and is none.
QString unknownOption(const QString& argument);

Parsed parse(const QStringList& arguments);

} // namespace CropArguments
