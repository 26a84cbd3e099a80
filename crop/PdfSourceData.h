#pragma once

#include "platform/FileIdentity.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <memory>
#include <optional>

class MappingFaultGuard;

// The bytes of an opened PDF file, read-only and shared by everything that reads the file:
// the working document, its copies and the renderer's workers.
//
// The file is mapped rather than read, so opening a 500 MB file costs no copy. Saving
// replaces files by renaming a new one over them, which leaves a mapped original intact.
// Another program may still write into the file or cut it short while it is open: what it
// wrote then shows in the bytes, and a part cut off reads as zeros rather than ending the
// program (MappingFaultGuard). Either way changedOnDisk() turns true, and the bytes are no
// longer the file that was opened.
//
// Immutable after creation, so any thread may read it.
class PdfSourceData {
public:
    // Maps the file at path; returns null (and sets errorString) when it cannot be read.
    static std::shared_ptr<const PdfSourceData> mapFile(const QString& path, QString* errorString);
    // Maps the file open on descriptor, which must be open for reading, through a copy of the
    // descriptor: the file is read without opening anything by name.
    static std::shared_ptr<const PdfSourceData> mapDescriptor(int descriptor, QString* errorString);
    // Wraps bytes already in memory (tests, documents made in memory).
    static std::shared_ptr<const PdfSourceData> fromBytes(QByteArray bytes);

    QByteArrayView bytes() const { return {data_, size_}; }
    const char* data() const { return data_; }
    qsizetype size() const { return size_; }
    // The open file's descriptor, for copying its bytes inside the kernel; -1 for bytes
    // in memory.
    int fileHandle() const { return file_ ? file_->handle() : -1; }
    // A name for messages: the file path, or a placeholder for bytes in memory.
    const QString& description() const { return description_; }
    // True once the file's size or modification time differs from when it was opened, or a
    // read found part of it gone: the bytes, and a copy made from the file, may then mix two
    // versions of it. A file that was replaced by renaming another over it is unchanged, as
    // its bytes are. False for bytes in memory.
    bool changedOnDisk() const;

    PdfSourceData(const PdfSourceData&) = delete;
    PdfSourceData& operator=(const PdfSourceData&) = delete;
    ~PdfSourceData();

private:
    PdfSourceData() = default;
    // Maps the regular file open on fd, which it then owns (and closes on failure).
    static std::shared_ptr<const PdfSourceData> mapOpened(int fd, const QString& description,
                                                          QString* errorString);

    std::unique_ptr<QFile> file_;
    // The file as it was when opened.
    std::optional<FileIdentity> opened_;
    std::unique_ptr<MappingFaultGuard> guard_;
    QByteArray owned_;
    const char* data_ = nullptr;
    qsizetype size_ = 0;
    QString description_;
};
