#pragma once

#include <QProcess>
#include <QString>

// A virtual X server (Xvfb) on a display number of its own choosing, 1280 x 1024, stopped with
// this object. name() is empty when it could not be started.
class VirtualDisplay {
public:
    VirtualDisplay() {
        server_.setProgram("Xvfb");
        server_.setArguments(
            {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
        server_.start();
        if (server_.waitForStarted(10000) && server_.waitForReadyRead(10000))
            name_ = ":" + QString::fromLatin1(server_.readLine()).trimmed();
    }
    ~VirtualDisplay() {
        server_.terminate();
        server_.waitForFinished(5000);
    }
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // As DISPLAY takes it: ":5".
    QString name() const { return name_; }

private:
    QProcess server_;
    QString name_;
};
