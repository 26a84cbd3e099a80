#include "app/AppDelegate.h"
#include "cli/CommandLine.h"
#include "platform/DocumentController.h"
#include "platform/InstanceChannel.h"
#include "render/RenderHostLocation.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QUrl>

namespace {

// The files named on the command line as absolute paths. A desktop may hand over file URLs;
// they are decoded once, as URLs are. Plain paths are taken as they are: "100%.pdf" is a name.
QStringList filesOf(const QStringList& arguments) {
    QStringList paths;
    for (const QString& argument : arguments) {
        const QString path =
            argument.startsWith(QStringLiteral("file:")) ? QUrl(argument).toLocalFile() : argument;
        if (!path.isEmpty())
            paths << QFileInfo(path).absoluteFilePath();
    }
    return paths;
}

// Beside the program in the build tree; where the install puts it otherwise.
void findRenderHost() {
    const QString here = QCoreApplication::applicationDirPath();
    RenderHostLocation::setPath(RenderHostLocation::find(
        {here + "/cropmark-render", here + "/" CROPMARK_RENDER_HOST_FROM_BIN "/cropmark-render"}));
}

} // namespace

int main(int argc, char** argv) {
    // Commands run where there is no display, so they start before anything that needs one.
    if (CommandLine::isCommand(argc, argv)) {
        QCoreApplication app(argc, argv);
        findRenderHost();
        return CommandLine::run(QCoreApplication::arguments());
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Cropmark"));
    QApplication::setApplicationDisplayName(QStringLiteral("Cropmark"));
    QApplication::setApplicationVersion(QStringLiteral(CROPMARK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("cropmark"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/cropmark.svg")));

    findRenderHost();

    const QStringList files = filesOf(QApplication::arguments().mid(1));
    // One Cropmark per user and display: a second start hands its files over and ends.
    InstanceChannel channel;
    if (channel.handOverOrListen(files) == InstanceChannel::Role::HandedOver)
        return 0;

    AppDelegate delegate(DocumentController::sharedDocumentController());
    QObject::connect(&channel, &InstanceChannel::filesReceived, &delegate, &AppDelegate::openFiles);
    delegate.applicationDidFinishLaunching();
    if (!files.isEmpty())
        delegate.openFiles(files);
    return QApplication::exec();
}
