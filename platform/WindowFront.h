#pragma once

class QWidget;

// Brings a window in front of the others: shown, restored first if it was minimised, and raised.
// Which window then gets the keys is the caller's to say (QWidget::activateWindow), so that
// several can come forward together with one of them active.
//
// GUI thread only.
namespace WindowFront {

void bring(QWidget& window);

} // namespace WindowFront
