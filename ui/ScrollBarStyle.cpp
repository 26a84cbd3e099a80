#include "ui/ScrollBarStyle.h"

namespace ScrollBarStyle {

QString styleSheet() {
    return QStringLiteral(R"(
    QScrollBar:vertical { background: #262626; width: 10px; margin: 0; }
    QScrollBar::handle:vertical {
        background: #4a4a4a; border-radius: 3px; min-height: 32px; margin: 2px;
    }
    QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }
    QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }
)");
}

} // namespace ScrollBarStyle
