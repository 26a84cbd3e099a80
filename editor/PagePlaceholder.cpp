#include "editor/PagePlaceholder.h"

#include "render/PageRenderResult.h"
#include "ui/WarningSign.h"

#include <QCoreApplication>
#include <QPainter>

#include <algorithm>

namespace {

const QColor kPage(0xEE, 0xEE, 0xEE);
const QColor kText(0x55, 0x55, 0x55);
// Below this width (in points) only the sign is drawn: a thumbnail has no room for words.
constexpr qreal kWordsMinWidth = 200;
const QString kReasonKey = QStringLiteral("Cropmark placeholder");

QString cannotBeShown() {
    return QCoreApplication::translate("PagePlaceholder", "This page cannot be shown");
}

QString partlyRead() {
    return QCoreApplication::translate("PagePlaceholder", "Parts of this page could not be read");
}

const QColor kNoteBand(0x3a, 0x3a, 0x3a, 0xdd);
const QColor kNoteText(0xf2, 0xe6, 0xc8);

} // namespace

QImage PagePlaceholder::image(const QSize& pixelSize, qreal devicePixelRatio,
                              const QString& reason) {
    QImage image(pixelSize.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(kPage);
    image.setText(kReasonKey, reason);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QSizeF size = QSizeF(image.size()) / devicePixelRatio;
    const qreal side = std::clamp(std::min(size.width(), size.height()) * 0.18, 8.0, 64.0);
    const bool words = size.width() >= kWordsMinWidth;
    const qreal top = words ? size.height() * 0.35 - side : (size.height() - side) / 2;
    WarningSign::draw(painter, QRectF((size.width() - side) / 2, top, side, side * 0.9));
    if (!words)
        return image;

    QFont font = painter.font();
    font.setPixelSize(15);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(kText);
    const QRectF text(size.width() * 0.1, top + side + 16, size.width() * 0.8, size.height() / 2);
    painter.drawText(text, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, cannotBeShown());
    font.setPixelSize(12);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(text.adjusted(0, 28, 0, 0), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                     reason);
    return image;
}

QImage PagePlaceholder::noted(const QImage& picture) {
    const QString problem = picture.text(PageRenderResult::kPartlyReadKey);
    if (problem.isEmpty())
        return picture;
    QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const qreal ratio = image.devicePixelRatio();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QSizeF size = QSizeF(image.size()) / ratio;
    const bool words = size.width() >= kWordsMinWidth;
    const qreal band = words ? 30 : std::clamp(size.height() * 0.12, 8.0, 18.0);
    const QRectF foot(0, size.height() - band, size.width(), band);
    painter.fillRect(foot, kNoteBand);
    const qreal side = band * 0.6;
    WarningSign::draw(
        painter, QRectF(foot.left() + band * 0.3, foot.center().y() - side / 2, side, side * 0.9));
    if (words) {
        QFont font = painter.font();
        font.setPixelSize(12);
        painter.setFont(font);
        painter.setPen(kNoteText);
        painter.drawText(foot.adjusted(band * 0.3 + side + 8, 0, -8, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, partlyRead());
    }
    return image;
}

QString PagePlaceholder::toolTipOf(const QImage& image) {
    if (const QString reason = image.text(kReasonKey); !reason.isEmpty())
        return cannotBeShown() + QStringLiteral(": ") + reason;
    if (const QString problem = image.text(PageRenderResult::kPartlyReadKey); !problem.isEmpty())
        return partlyRead() + QStringLiteral(" (") + problem + QStringLiteral(")");
    return {};
}
