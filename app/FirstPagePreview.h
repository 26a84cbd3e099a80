#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

class RenderWorkplace;

// The first page of a file drawn before the whole file is read: only that page is looked up
// and drawn, in the program's render workplace, on a thread of its own.
namespace FirstPagePreview {

// Draws the first page of the file at path to fit area (logical pixels) at devicePixelRatio
// and hands the picture to deliver on the GUI thread; nothing is handed over when the page
// cannot be drawn this way (a locked file, or one whose page tree is damaged).
void start(std::shared_ptr<const RenderWorkplace> workplace, const QString& path, const QSize& area,
           qreal devicePixelRatio, std::function<void(const QImage&)> deliver);

} // namespace FirstPagePreview
