#include "ui/DarkPalette.h"

#include <QApplication>
#include <QColor>

namespace DarkPalette {

QPalette palette() {
    const QColor window(0x2b, 0x2b, 0x2b), base(0x1e, 0x1e, 0x1e), text(0xe6, 0xe6, 0xe6);
    const QColor button(0x3a, 0x3a, 0x3a), accent(0x64, 0x77, 0xf7), dimmed(0x85, 0x85, 0x85);
    QPalette colours(button, window);
    colours.setColor(QPalette::WindowText, text);
    colours.setColor(QPalette::Base, base);
    colours.setColor(QPalette::AlternateBase, window);
    colours.setColor(QPalette::Text, text);
    colours.setColor(QPalette::ButtonText, text);
    colours.setColor(QPalette::BrightText, Qt::white);
    colours.setColor(QPalette::ToolTipBase, QColor(0x2f, 0x2f, 0x2f));
    colours.setColor(QPalette::ToolTipText, text);
    colours.setColor(QPalette::PlaceholderText, dimmed);
    colours.setColor(QPalette::Highlight, accent);
    colours.setColor(QPalette::HighlightedText, Qt::white);
    colours.setColor(QPalette::Link, QColor(0x9a, 0xa8, 0xff));
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        colours.setColor(QPalette::Disabled, role, dimmed);
    colours.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x4a, 0x4a, 0x4a));
    return colours;
}

void apply() {
    QApplication::setPalette(palette());
}

} // namespace DarkPalette
