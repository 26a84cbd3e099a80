#include "ui/ScrollBarStyle.h"

namespace ScrollBarStyle {

QString styleSheet() {
    return QStringLiteral(R"(
    QScrollBar:vertical { background: #262626; width: 10px; margin: 0; }
    QScrollBar:horizontal { background: #262626; height: 10px; margin: 0; }
    QScrollBar::handle { background: #4a4a4a; border-radius: 3px; margin: 2px; }
    QScrollBar::handle:vertical { min-height: 32px; }
    QScrollBar::handle:horizontal { min-width: 32px; }
    QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }
    QScrollBar::add-page, QScrollBar::sub-page { background: none; }
    QAbstractScrollArea::corner { background: #262626; }
)");
}

} // namespace ScrollBarStyle
