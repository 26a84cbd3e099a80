#pragma once

#include "platform/FileIdentity.h"

#include <QFile>
#include <QString>

#include <memory>
#include <optional>

class QTemporaryFile;

// A file written under a temporary name in its target's folder and renamed over the target
// only once it is complete. A write that fails, or is abandoned, leaves no partial file and
// an existing target as it was. An existing target's permissions are kept; a symbolic link
// is followed, so the file it points to is replaced.
//
// The new file's data is forced to disk before the rename, and the folder after it, so that
// a crash or a power cut leaves the old file or the complete new one: without the first, a
// file system may commit the rename before the data, and a new file can come back empty.
//
// A target that another program wrote or replaced while the new file was written is left as
// that program made it: the user agreed to replace the file that was there, not its successor.
class ReplacingFile {
public:
    explicit ReplacingFile(const QString& target);
    // Removes the temporary file unless commit() succeeded.
    ~ReplacingFile();

    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool open(QString* errorMessage);
    // The temporary file, open for writing.
    QFile& device();
    // Writes out what is still buffered, forces the file's data to disk and closes it; it
    // can then be read back at writtenPath(). A full disk may show only here.
    bool finish(QString* errorMessage);
    QString writtenPath() const;
    // Renames the finished file over the target, unless the target changed since open(). The
    // folder is then synced as well as it
    // can be: where it cannot, the new file is already complete in place, so that is no
    // failure.
    bool commit(QString* errorMessage);

    // What to tell the user when writing the file failed with the system error `error` (an
    // errno value; 0 for none): a full disk or an exhausted quota says so, another system error
    // is given as reason after the file's name, and a failure of no system error as reason.
    QString failureMessage(int error, const QString& reason) const;

private:
    QString target_;
    // The file at the target when the new one was begun; none if there was none.
    std::optional<FileIdentity> replaced_;
    std::unique_ptr<QTemporaryFile> file_;
    bool finished_ = false;
    bool committed_ = false;
};
