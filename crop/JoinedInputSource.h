#pragma once

#include <qpdf/InputSource.hh>

#include <QByteArrayView>

#include <string>

// Two runs of bytes that qpdf reads, in place, as one file: a file's bytes followed by bytes
// that may be appended to it. Reading the file as it would be after an update, without
// copying it, is what lets a save check the update before writing anything. Neither run is
// copied, so both must outlive the source.
class JoinedInputSource final : public InputSource {
public:
    JoinedInputSource(QByteArrayView head, QByteArrayView tail, std::string name);

    qpdf_offset_t findAndSkipNextEOL() override;
    const std::string& getName() const override { return name_; }
    qpdf_offset_t tell() override { return position_; }
    void seek(qpdf_offset_t offset, int whence) override;
    void rewind() override { position_ = 0; }
    size_t read(char* buffer, size_t length) override;
    void unreadCh(char) override;

private:
    qpdf_offset_t size() const { return head_.size() + tail_.size(); }
    char at(qpdf_offset_t offset) const;
    static bool isEndOfLine(char c) { return c == '\r' || c == '\n'; }

    QByteArrayView head_;
    QByteArrayView tail_;
    std::string name_;
    qpdf_offset_t position_ = 0;
};
