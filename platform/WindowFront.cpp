#include "platform/WindowFront.h"

#include <QWidget>

namespace WindowFront {

void bring(QWidget& window) {
    if (window.isMinimized())
        window.showNormal();
    window.show();
    window.raise();
}

} // namespace WindowFront
