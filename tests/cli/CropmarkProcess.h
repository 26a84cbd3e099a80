#pragma once

#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

// The built cropmark executable run as a user runs it from a shell, but with no display at all:
// no DISPLAY, no WAYLAND_DISPLAY and no Qt platform chosen, so anything that needed a window
// system would fail.
struct CropmarkRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs `cropmark arguments...` in folder and waits for it (failing the test when it does not
// end within two minutes).
CropmarkRun runCropmark(const QStringList& arguments, const QString& folder);

// The crop box of every page of the file at path, as readers take it: the media box when
// there is none.
std::vector<QRectF> cropBoxes(const QString& path, const QString& password = {});
// Whether the file at path is encrypted.
bool isEncrypted(const QString& path, const QString& password = {});
// The box written under key ("/CropBox", "/MediaBox", ...) on every page of the file at path.
std::vector<QRectF> writtenBoxes(const QString& path, const char* key,
                                 const QString& password = {});
