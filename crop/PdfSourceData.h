#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <memory>

// The bytes of an opened PDF file, read-only and shared by everything that reads the file:
// the working document, its copies and the renderer's workers.
//
// The file is mapped rather than read, so opening a 500 MB file costs no copy. Saving
// replaces files by renaming a new one over them, which leaves a mapped original intact.
// Immutable after creation, so any thread may read it.
class PdfSourceData {
public:
    // Maps the file at path; returns null (and sets errorString) when it cannot be read.
    static std::shared_ptr<const PdfSourceData> mapFile(const QString& path, QString* errorString);
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

    PdfSourceData(const PdfSourceData&) = delete;
    PdfSourceData& operator=(const PdfSourceData&) = delete;
    ~PdfSourceData();

private:
    PdfSourceData() = default;

    std::unique_ptr<QFile> file_;
    QByteArray owned_;
    const char* data_ = nullptr;
    qsizetype size_ = 0;
    QString description_;
};
