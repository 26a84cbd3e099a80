#include "tests/support/LargePdfFile.h"

#include <QFile>

#include <stdexcept>
#include <vector>

namespace LargePdfFile {

namespace {

// Image rows this wide keep the height within what readers accept for files of terabytes.
constexpr qint64 kImageWidth = 65536;
constexpr qint64 kLargestTableOffset = 9999999999;

class Writer {
public:
    explicit Writer(const QString& path) : file_(path) {
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate))
            fail();
    }

    void put(const QByteArray& bytes) {
        if (file_.write(bytes) != bytes.size())
            fail();
    }
    // Starts object number, which the cross-reference table then points at.
    void beginObject(int number) {
        offsets_.resize(std::max<size_t>(offsets_.size(), size_t(number) + 1));
        offsets_[size_t(number)] = file_.pos();
        put(QByteArray::number(number) + " 0 obj\n");
    }
    void object(int number, const QByteArray& body) {
        beginObject(number);
        put(body + "\nendobj\n");
    }
    // size bytes of the image, a hole or bands of grey.
    void imageBytes(qint64 size, bool sparse) {
        if (sparse) {
            if (!file_.seek(file_.pos() + size))
                fail();
            return;
        }
        QByteArray row(kImageWidth, Qt::Uninitialized);
        for (qint64 written = 0, y = 0; written < size; written += row.size(), ++y) {
            row.fill(char(y % 64));
            put(row.left(std::min<qint64>(row.size(), size - written)));
        }
    }
    // A cross-reference table's offsets have ten digits, which reach 9.3 GB; past that the
    // offsets go in a cross-reference stream, of five bytes each.
    void finish() {
        const qint64 xref = file_.pos();
        if (xref < kLargestTableOffset) {
            const QByteArray size = QByteArray::number(qsizetype(offsets_.size()));
            put("xref\n0 " + size + "\n0000000000 65535 f \n");
            for (size_t i = 1; i < offsets_.size(); ++i)
                put(QByteArray::number(offsets_[i]).rightJustified(10, '0') + " 00000 n \n");
            put("trailer\n<< /Size " + size + " /Root 1 0 R >>\n");
        } else {
            // The stream is the last object; each entry is its type, offset and generation.
            const QByteArray number = QByteArray::number(qsizetype(offsets_.size()));
            offsets_.push_back(xref);
            QByteArray entries("\0\0\0\0\0\0\xff", 7);
            for (size_t i = 1; i < offsets_.size(); ++i) {
                entries += '\1';
                for (int shift = 32; shift >= 0; shift -= 8)
                    entries += char((offsets_[i] >> shift) & 0xff);
                entries += '\0';
            }
            const QByteArray size = QByteArray::number(qsizetype(offsets_.size()));
            put(number + " 0 obj\n<< /Type /XRef /Size " + size + " /W [1 5 1] /Root 1 0 R " +
                "/Length " + QByteArray::number(entries.size()) + " >>\nstream\n" + entries +
                "\nendstream\nendobj\n");
        }
        put("startxref\n" + QByteArray::number(xref) + "\n%%EOF\n");
        if (!file_.flush())
            fail();
    }

private:
    [[noreturn]] void fail() const {
        throw std::runtime_error("cannot write " + file_.fileName().toStdString() + ": " +
                                 file_.errorString().toStdString());
    }

    QFile file_;
    std::vector<qint64> offsets_;
};

} // namespace

void write(const QString& path, const LargePdfSpec& spec) {
    const qint64 height = std::max<qint64>(1, spec.imageBytes / kImageWidth);
    const qint64 imageSize = kImageWidth * height;
    Writer out(path);
    out.put("%PDF-1.7\n%\xe2\xe3\xcf\xd3\n");
    out.object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    out.object(2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    out.beginObject(3);
    out.put("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 5 0 R "
            "/Resources << /XObject << /Im 4 0 R >> >>");
    if (spec.pagePrivateBytes > 0) {
        out.put("\n/PieceInfo << /Tests << /Private (");
        out.put(QByteArray(spec.pagePrivateBytes, 'p'));
        out.put(") >> >>");
    }
    out.put(" >>\nendobj\n");
    out.beginObject(4);
    out.put("<< /Type /XObject /Subtype /Image /Width " + QByteArray::number(kImageWidth) +
            " /Height " + QByteArray::number(height) +
            " /ColorSpace /DeviceGray /BitsPerComponent 8 /Decode [1 0] /Length " +
            QByteArray::number(imageSize) + " >>\nstream\n");
    out.imageBytes(imageSize, spec.sparse);
    out.put("\nendstream\nendobj\n");
    const QByteArray content =
        QByteArray(spec.pageDrawsImage ? "q 612 0 0 792 0 0 cm /Im Do Q " : "") +
        "1 0 0 rg 206 296 200 200 re f";
    out.object(5, "<< /Length " + QByteArray::number(content.size()) + " >>\nstream\n" + content +
                      "\nendstream");
    out.finish();
}

} // namespace LargePdfFile
