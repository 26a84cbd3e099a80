#include "RenderedPixels.h"

#include "ui/RMUIConfig.h"
#include "ui/SWSTAnswerButton.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QtMath>

#include <memory>
#include <optional>
#include <vector>

namespace {

const QColor kBackdrop(0x10, 0x20, 0x30);
constexpr int kCell = 200;
constexpr int kRow = 44;

// A styled button showing look kind: the four state looks by state, the disabled look by
// disabling. Entries without content (the bars, the thumbnail parts) get a size to show.
std::unique_ptr<SWSTAnswerButton> styledButton(const QString& entry, int kind) {
    auto button = std::make_unique<SWSTAnswerButton>();
    button->setConfigKey(entry);
    if (button->defaultImage().isNull() && button->defaulTitle().isEmpty())
        button->resize(60, 30);
    if (kind == SWSTButtonLook::Disabled)
        button->setEnabled(false);
    else
        button->setButtonState(static_cast<SWSTAnswerButton::ButtonState>(kind));
    return button;
}

// A point at mid-height near the right edge, inside the border and clear of image and title;
// nothing for a button that its title fills.
std::optional<QPoint> backgroundProbe(const SWSTAnswerButton& button, const SWSTButtonLook& look) {
    const int y = button.height() / 2;
    for (int x = button.width() - 2 - qCeil(look.borderWidth); x >= 0; --x) {
        const QPointF centre(x + 0.5, y + 0.5);
        if (!button.imageRect().contains(centre) && !button.titleRect().contains(centre))
            return QPoint(x, y);
    }
    return std::nullopt;
}

TEST(StyledButtonScreenshot, EveryEntryInEveryLookShowsItsColours) {
    const QStringList entries = RMUIConfig::sharedInstance().configDic().keys();
    QImage sheet(kCell * SWSTButtonLook::KindCount, kRow * static_cast<int>(entries.size()),
                 QImage::Format_ARGB32_Premultiplied);
    sheet.fill(kBackdrop);
    QPainter painter(&sheet);
    std::vector<std::unique_ptr<SWSTAnswerButton>> buttons; // row by row, look by look
    const auto origin = [](size_t i) {
        return QPoint(static_cast<int>(i % SWSTButtonLook::KindCount) * kCell + 4,
                      static_cast<int>(i / SWSTButtonLook::KindCount) * kRow + 4);
    };
    for (const QString& entry : entries) {
        for (int kind = 0; kind < SWSTButtonLook::KindCount; ++kind) {
            buttons.push_back(styledButton(entry, kind));
            buttons.back()->render(&painter, origin(buttons.size() - 1), QRegion(),
                                   QWidget::DrawChildren);
        }
    }
    painter.end();

    for (size_t i = 0; i < buttons.size(); ++i) {
        const auto kind = static_cast<SWSTButtonLook::Kind>(i % SWSTButtonLook::KindCount);
        SCOPED_TRACE(QString("%1, look %2").arg(buttons[i]->configKey()).arg(kind).toStdString());
        const SWSTAnswerButton& button = *buttons[i];
        const SWSTButtonLook& look = button.look(kind);
        const QPoint at = origin(i);
        const QColor background = over(look.backgroundColor, kBackdrop);
        if (const auto probe = backgroundProbe(button, look)) {
            EXPECT_TRUE(colorNear(sheet.pixelColor(at + *probe), background));
        }
        if (button.hasBorder() && look.borderWidth >= 1) {
            EXPECT_TRUE(colorNear(sheet.pixelColor(at + QPoint(button.width() / 2, 0)),
                                  over(look.borderColor, background)));
        }
        // The most covered pixels of the icon and of the text show their colours.
        if (!button.defaultImage().isNull()) {
            const QRect area = button.imageRect().toRect().translated(at);
            EXPECT_TRUE(colorNear(strongestPixel(sheet, area, background),
                                  over(look.imageColor, background), 2));
        }
        if (!button.defaulTitle().isEmpty()) {
            const QRect area = button.titleRect().toAlignedRect().translated(at);
            EXPECT_TRUE(colorNear(strongestPixel(sheet, area, background),
                                  over(look.titleColor, background), 8));
        }
    }
}

} // namespace
