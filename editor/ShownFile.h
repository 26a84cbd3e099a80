#pragma once

#include "platform/FileIdentity.h"

#include <QString>

#include <functional>
#include <optional>

class CropSession;

// Whether the file a window shows is still the file at its path. Another program may write
// into it, or rename another file over it, after the window read it; a save over it makes
// the saved file the one shown, so that changes made to it afterwards are noticed too.
//
// GUI thread only.
class ShownFile {
public:
    // session's working document was read from the file documentPath names.
    ShownFile(const CropSession& session, std::function<QString()> documentPath);

    bool isStale() const;
    // A save wrote target. Returns whether that was the shown file's path, which then holds
    // the file shown.
    bool savedTo(const QString& target);

private:
    const CropSession& session_;
    std::function<QString()> documentPath_;
    std::optional<FileIdentity> shown_;
};
