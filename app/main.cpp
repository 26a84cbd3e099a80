#include "app/AppDelegate.h"
#include "cli/CommandLine.h"
#include "platform/DocumentController.h"
#include "platform/InstanceChannel.h"
#include "platform/NativePath.h"
#include "render/RenderWorkplace.h"

#include <QApplication>
#include <QIcon>
#include <QProcessEnvironment>

namespace {

// argv, before there is an application object to ask; file names that are not UTF-8 are kept
// as they are, to reach their files.
QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << NativePath::decode(argv[i]);
    return arguments;
}

// In render hosts, found beside the program in the build tree and where the install puts them
// otherwise.
std::shared_ptr<const RenderWorkplace> chooseWorkplace() {
    const QString here = QCoreApplication::applicationDirPath();
    return RenderWorkplace::choose(
        {here + "/cropmark-render", here + "/" CROPMARK_RENDER_HOST_FROM_BIN "/cropmark-render"});
}

} // namespace

int main(int argc, char** argv) {
    // Decided before any application object, since the windows' one aborts without a display.
    const ProgramStart start =
        ProgramStart::decide(argumentsOf(argc, argv), QProcessEnvironment::systemEnvironment());
    if (start.command) {
        QCoreApplication app(argc, argv);
        return CommandLine::run(start, chooseWorkplace());
    }
    QApplication app(argc, argv);
    // Settings go to ~/.config/Cropmark/Cropmark.conf.
    QApplication::setOrganizationName(QStringLiteral("Cropmark"));
    QApplication::setApplicationName(QStringLiteral("Cropmark"));
    QApplication::setApplicationDisplayName(QStringLiteral("Cropmark"));
    QApplication::setApplicationVersion(QStringLiteral(CROPMARK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("cropmark"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/cropmark.svg")));

    // One Cropmark per user and display: a second start hands its files over and ends.
    InstanceChannel channel;
    if (channel.handOverOrListen(start.files) == InstanceChannel::Role::HandedOver)
        return 0;

    AppDelegate delegate(DocumentController::sharedDocumentController(), chooseWorkplace());
    QObject::connect(&channel, &InstanceChannel::filesReceived, &delegate, &AppDelegate::openFiles);
    delegate.applicationDidFinishLaunching();
    if (!start.files.isEmpty())
        delegate.openFiles(start.files);
    return QApplication::exec();
}
