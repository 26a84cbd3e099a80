#pragma once

#include <QFile>
#include <QString>

#include <memory>

class QTemporaryFile;

// A file written under a temporary name in its target's folder and renamed over the target
// only once it is complete. A write that fails, or is abandoned, leaves no partial file and
// an existing target as it was. An existing target's permissions are kept; a symbolic link
// is followed, so the file it points to is replaced.
//
// Like cp, it does not force the data to disk before the rename: a save should cost about
// what a copy costs. File systems that delay allocation write a renamed-over file's data
// before the rename is committed, so a crash leaves the old file or the new, not a mixture.
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
    // Closes the file and renames it over the target.
    bool commit(QString* errorMessage);

    // What to tell the user when writing the file failed with the system error `error` (an
    // errno value; 0 for none): a full disk or an exhausted quota says so, naming the file,
    // and anything else is given as reason.
    QString failureMessage(int error, const QString& reason) const;

private:
    QString target_;
    std::unique_ptr<QTemporaryFile> file_;
    bool committed_ = false;
};
