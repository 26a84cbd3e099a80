#include "crop/QpdfStreamCheck.h"

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <array>

namespace QpdfStreamCheck {

namespace {

// Whether the last filter of a stream is a JPEG's, which is left encoded.
bool isJpeg(QPDFObjectHandle dict) {
    QPDFObjectHandle filter = dict.getKey("/Filter");
    if (filter.isArray() && filter.getArrayNItems() > 0)
        filter = filter.getArrayItem(filter.getArrayNItems() - 1);
    return filter.isNameAndEquals("/DCTDecode");
}

bool isPadding(unsigned char byte) {
    return byte == 0 || byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n' || byte == '\f';
}

// Keeps nothing of what it is given; of a JPEG, only its first two bytes and its last two
// before any padding, to see its start and end markers.
class JpegFraming final : public Pipeline {
public:
    explicit JpegFraming(bool jpeg) : Pipeline("read-back", nullptr), jpeg_(jpeg) {}

    void write(unsigned char const* data, size_t length) override {
        if (!jpeg_)
            return;
        for (size_t i = 0; i < length && seen_ < 2; ++i)
            head_[seen_++] = data[i];
        size_t end = length;
        while (end > 0 && isPadding(data[end - 1]))
            --end;
        if (end >= 2)
            tail_ = {data[end - 2], data[end - 1]};
        else if (end == 1)
            tail_ = {last_[1], data[0]};
        if (length >= 2)
            last_ = {data[length - 2], data[length - 1]};
        else if (length == 1)
            last_ = {last_[1], data[0]};
    }
    void finish() override {}

    bool framed() const {
        return !jpeg_ || (head_ == std::array<unsigned char, 2>{0xff, 0xd8} &&
                          tail_ == std::array<unsigned char, 2>{0xff, 0xd9});
    }

private:
    bool jpeg_;
    size_t seen_ = 0;
    std::array<unsigned char, 2> head_{};
    // The last two bytes before the padding that ends what came so far, and the last two.
    std::array<unsigned char, 2> tail_{};
    std::array<unsigned char, 2> last_{};
};

} // namespace

bool reads(QPDF& pdf, QPDFObjectHandle stream) {
    const size_t warnings = pdf.numWarnings();
    JpegFraming sink(isJpeg(stream.getDict()));
    bool filtered = false;
    try {
        const bool piped =
            stream.pipeStreamData(&sink, &filtered, 0, qpdf_dl_specialized, false, false);
        return piped && pdf.numWarnings() == warnings && sink.framed();
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace QpdfStreamCheck
