#include "crop/PdfSourceData.h"

std::shared_ptr<const PdfSourceData> PdfSourceData::mapFile(const QString& path,
                                                            QString* errorString) {
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        if (errorString)
            *errorString = file->errorString();
        return nullptr;
    }
    std::shared_ptr<PdfSourceData> source(new PdfSourceData);
    source->description_ = path;
    const qint64 size = file->size();
    if (size > 0) {
        uchar* mapped = file->map(0, size);
        if (mapped) {
            source->data_ = reinterpret_cast<const char*>(mapped);
            source->size_ = size;
        } else {
            // Files that cannot be mapped (pipes, some network file systems) are read instead.
            source->owned_ = file->readAll();
            if (source->owned_.size() != size) {
                if (errorString)
                    *errorString = file->errorString();
                return nullptr;
            }
            source->data_ = source->owned_.constData();
            source->size_ = source->owned_.size();
        }
    }
    source->file_ = std::move(file);
    return source;
}

std::shared_ptr<const PdfSourceData> PdfSourceData::fromBytes(QByteArray bytes) {
    std::shared_ptr<PdfSourceData> source(new PdfSourceData);
    source->owned_ = std::move(bytes);
    source->data_ = source->owned_.constData();
    source->size_ = source->owned_.size();
    source->description_ = QStringLiteral("(memory)");
    return source;
}

PdfSourceData::~PdfSourceData() {
    if (file_ && owned_.isEmpty() && data_)
        file_->unmap(reinterpret_cast<uchar*>(const_cast<char*>(data_)));
}
