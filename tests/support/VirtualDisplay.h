#pragma once

#include <QProcess>
#include <QString>

// A virtual X server (Xvfb) on a display number of its own choosing, 1280 x 1024, stopped with
// this object. name() is empty when it could not be started.
class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // As DISPLAY takes it: ":5".
    QString name() const { return name_; }

private:
    QProcess server_;
    QString name_;
};
