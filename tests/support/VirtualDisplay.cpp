#include "tests/support/VirtualDisplay.h"

VirtualDisplay::VirtualDisplay() {
    server_.setProgram("Xvfb");
    server_.setArguments({"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
    server_.start();
    if (server_.waitForStarted(10000) && server_.waitForReadyRead(10000))
        name_ = ":" + QString::fromLatin1(server_.readLine()).trimmed();
}

VirtualDisplay::~VirtualDisplay() {
    server_.terminate();
    server_.waitForFinished(5000);
}
