#include "bench/support/ScanCorpus.h"

#include "bench/support/CorpusFile.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

#include <string>

namespace ScanCorpus {

namespace {

// A page of text-like dark strokes on grey paper with sensor noise; seed makes it unique.
QImage scanImage(QSize size, quint32 seed) {
    const int width = size.width();
    const int height = size.height();
    const double scale = width / 1700.0;
    QImage image(size, QImage::Format_RGB888);
    QRandomGenerator random(seed);
    image.fill(QColor(236, 232, 224));
    {
        QPainter painter(&image);
        painter.setPen(QPen(QColor(40, 40, 48), 3 * scale));
        painter.scale(scale, scale);
        for (int line = 0; line < 60; ++line) {
            const int y = 150 + line * 32;
            for (int x = 150; x < 1700 - 150;) {
                const int word = 20 + static_cast<int>(random.bounded(90));
                painter.drawLine(x, y, x + word, y + static_cast<int>(random.bounded(6)) - 3);
                x += word + 18;
            }
        }
    }
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < width * 3; ++x) {
            const int noisy = row[x] + static_cast<int>(random.bounded(25)) - 12;
            row[x] = static_cast<uchar>(std::clamp(noisy, 0, 255));
        }
    }
    return image;
}

QByteArray jpeg(const QImage& image, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", quality);
    return bytes;
}

// The scan of page index at pixels, as a JPEG image of quality.
QPDFObjectHandle scanStream(QPDF& pdf, QSize pixels, int index, int quality) {
    QPDFObjectHandle image = QPDFObjectHandle::newStream(
        &pdf, jpeg(scanImage(pixels, static_cast<quint32>(index) + 1), quality).toStdString());
    image.replaceDict(QPDFObjectHandle::parse(
        "<< /Type /XObject /Subtype /Image /Width " + std::to_string(pixels.width()) + " /Height " +
        std::to_string(pixels.height()) +
        " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /DCTDecode >>"));
    return image;
}

// A US Letter page that shows image over all of it.
QPDFObjectHandle scanPage(QPDF& pdf, const QPDFObjectHandle& image) {
    QPDFObjectHandle page = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /Page /MediaBox [0 0 612 792] /Resources << /XObject << >> >> >>"));
    page.getKey("/Resources").getKey("/XObject").replaceKey("/Scan", image);
    page.replaceKey("/Contents",
                    QPDFObjectHandle::newStream(&pdf, "q 612 0 0 792 0 0 cm /Scan Do Q"));
    return page;
}

QSize scanPixels(int dpi) {
    return QSize(dpi * 17 / 2, dpi * 11);
}

} // namespace

QString scanDocument(int pages, int megabytes, int dpi) {
    const QString name =
        QStringLiteral("scans_%1p_%2MB_%3dpi.pdf").arg(pages).arg(megabytes).arg(dpi);
    return CorpusFile::cached(name, false, [=](QPDF& pdf) {
        const QSize pixels = scanPixels(dpi);
        // Find the JPEG quality that gives the wanted size per page on a sample page.
        const qint64 perPage = qint64(megabytes) * 1000 * 1000 / pages;
        const QImage sample = scanImage(pixels, 0);
        int quality = 95;
        while (quality > 20 && jpeg(sample, quality).size() > perPage)
            quality -= 5;

        std::vector<QPDFObjectHandle> result;
        for (int i = 0; i < pages; ++i)
            result.push_back(scanPage(pdf, scanStream(pdf, pixels, i, quality)));
        return result;
    });
}

QString repeatedScanDocument(int pages, int distinct, int dpi) {
    const QString name =
        QStringLiteral("scans_%1p_%2_repeated_%3dpi.pdf").arg(pages).arg(distinct).arg(dpi);
    return CorpusFile::cached(name, false, [=](QPDF& pdf) {
        std::vector<QPDFObjectHandle> images;
        for (int i = 0; i < distinct; ++i)
            images.push_back(scanStream(pdf, scanPixels(dpi), i, 90));
        std::vector<QPDFObjectHandle> result;
        for (int i = 0; i < pages; ++i)
            result.push_back(scanPage(pdf, images[size_t(i % distinct)]));
        return result;
    });
}

} // namespace ScanCorpus
