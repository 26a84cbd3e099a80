#include "crop/PdfIncrementalUpdate.h"

#include <algorithm>

namespace {

// How far from the end the last "startxref" is looked for.
constexpr qsizetype kTailWindow = 2048;

bool isPdfSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0';
}

qsizetype skipSpace(QByteArrayView bytes, qsizetype i) {
    while (i < bytes.size() && isPdfSpace(bytes[i]))
        ++i;
    return i;
}

// The decimal number at i, and the index after it.
std::optional<std::pair<qint64, qsizetype>> number(QByteArrayView bytes, qsizetype i) {
    qint64 value = 0;
    const qsizetype start = i;
    for (; i < bytes.size() && bytes[i] >= '0' && bytes[i] <= '9' && i - start < 18; ++i)
        value = value * 10 + (bytes[i] - '0');
    if (i == start)
        return std::nullopt;
    return std::make_pair(value, i);
}

// Groups the sorted entries' numbers into runs of consecutive numbers.
template <typename Entry, typename Fn> void forEachRun(const std::vector<Entry>& entries, Fn fn) {
    for (size_t first = 0; first < entries.size();) {
        size_t end = first + 1;
        while (end < entries.size() && entries[end].number == entries[end - 1].number + 1)
            ++end;
        fn(first, end);
        first = end;
    }
}

void appendBigEndian(QByteArray& out, qint64 value, int width) {
    for (int shift = (width - 1) * 8; shift >= 0; shift -= 8)
        out.append(static_cast<char>((value >> shift) & 0xff));
}

} // namespace

std::optional<PdfIncrementalUpdate::Tail> PdfIncrementalUpdate::readTail(QByteArrayView file) {
    const QByteArrayView tail = file.last(std::min(file.size(), kTailWindow));
    const qsizetype keyword =
        QByteArray::fromRawData(tail.data(), tail.size()).lastIndexOf("startxref");
    if (keyword < 0)
        return std::nullopt;
    const qsizetype base = file.size() - tail.size();
    const auto offset = number(file, skipSpace(file, base + keyword + 9));
    if (!offset)
        return std::nullopt;
    const qsizetype afterNumber = skipSpace(file, offset->second);
    if (!file.sliced(afterNumber).startsWith("%%EOF"))
        return std::nullopt;
    const qint64 at = offset->first;
    if (at <= 0 || at >= file.size())
        return std::nullopt;
    if (file.sliced(at).startsWith("xref"))
        return Tail{at, false};
    // A cross-reference stream: "number generation obj".
    const auto objectNumber = number(file, at);
    if (!objectNumber)
        return std::nullopt;
    const auto generation = number(file, skipSpace(file, objectNumber->second));
    if (!generation || !file.sliced(skipSpace(file, generation->second)).startsWith("obj"))
        return std::nullopt;
    return Tail{at, true};
}

PdfIncrementalUpdate::PdfIncrementalUpdate(qint64 originalSize, Tail tail, qint64 size,
                                           QByteArray trailerEntries)
    : originalSize_(originalSize), tail_(tail), size_(size),
      trailerEntries_(std::move(trailerEntries)),
      // The update starts on a new line even when the original does not end with one.
      appended_("\n") {}

void PdfIncrementalUpdate::addObject(int number, int generation, const QByteArray& body) {
    entries_.push_back(Entry{number, generation, originalSize_ + appended_.size()});
    size_ = std::max(size_, qint64(number) + 1);
    appended_ += QByteArray::number(number) + ' ' + QByteArray::number(generation) + " obj\n" +
                 body + "\nendobj\n";
}

QByteArray PdfIncrementalUpdate::bytes() const {
    if (entries_.empty())
        return {};
    QByteArray out = appended_;
    const qint64 xrefAt = originalSize_ + out.size();
    out += tail_.xrefIsStream ? streamXref(xrefAt) : classicXref();
    out += "startxref\n" + QByteArray::number(xrefAt) + "\n%%EOF\n";
    return out;
}

QByteArray PdfIncrementalUpdate::classicXref() const {
    std::vector<Entry> sorted = entries_;
    std::sort(sorted.begin(), sorted.end(),
              [](const Entry& a, const Entry& b) { return a.number < b.number; });
    QByteArray out = "xref\n";
    forEachRun(sorted, [&](size_t first, size_t end) {
        out += QByteArray::number(sorted[first].number) + ' ' +
               QByteArray::number(static_cast<qint64>(end - first)) + '\n';
        for (size_t i = first; i < end; ++i) {
            out += QByteArray::number(sorted[i].offset).rightJustified(10, '0') + ' ' +
                   QByteArray::number(sorted[i].generation).rightJustified(5, '0') + " n\r\n";
        }
    });
    out += "trailer\n<< /Size " + QByteArray::number(size_) + " /Prev " +
           QByteArray::number(tail_.startxref) + ' ' + trailerEntries_ + " >>\n";
    return out;
}

QByteArray PdfIncrementalUpdate::streamXref(qint64 at) const {
    // The stream is a new object, numbered after every existing one.
    const int self = static_cast<int>(size_);
    std::vector<Entry> sorted = entries_;
    sorted.push_back(Entry{self, 0, at});
    std::sort(sorted.begin(), sorted.end(),
              [](const Entry& a, const Entry& b) { return a.number < b.number; });
    constexpr int kOffsetWidth = 8;
    QByteArray index, data;
    forEachRun(sorted, [&](size_t first, size_t end) {
        index += QByteArray::number(sorted[first].number) + ' ' +
                 QByteArray::number(static_cast<qint64>(end - first)) + ' ';
        for (size_t i = first; i < end; ++i) {
            data.append('\x01');
            appendBigEndian(data, sorted[i].offset, kOffsetWidth);
            appendBigEndian(data, sorted[i].generation, 2);
        }
    });
    return QByteArray::number(self) + " 0 obj\n<< /Type /XRef /Size " +
           QByteArray::number(size_ + 1) + " /W [1 " + QByteArray::number(kOffsetWidth) +
           " 2] /Index [" + index.trimmed() + "] /Prev " + QByteArray::number(tail_.startxref) +
           ' ' + trailerEntries_ + " /Length " + QByteArray::number(data.size()) + " >>\nstream\n" +
           data + "\nendstream\nendobj\n";
}
