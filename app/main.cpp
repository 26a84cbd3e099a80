#include "app/Document.h"
#include "crop/QpdfLoader.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

namespace {

// Asks for the password until the document unlocks; false when the user gives up.
bool unlock(PdfDocument& document, const QString& name) {
    QString prompt = QObject::tr("“%1” is protected. Enter its password:").arg(name);
    while (document.isLocked()) {
        bool ok = false;
        const QString password = QInputDialog::getText(nullptr, QObject::tr("Password"), prompt,
                                                       QLineEdit::Password, QString(), &ok);
        if (!ok)
            return false;
        if (!document.unlockWithPassword(password))
            prompt = QObject::tr("That password does not open “%1”. Try again:").arg(name);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Cropmark");
    QApplication::setApplicationDisplayName("Cropmark");

    QStringList paths = QApplication::arguments().mid(1);
    if (paths.isEmpty()) {
        const QString chosen = QFileDialog::getOpenFileName(
            nullptr, QObject::tr("Open PDF"), QString(), QObject::tr("PDF documents (*.pdf)"));
        if (chosen.isEmpty())
            return 0;
        paths << chosen;
    }

    int opened = 0;
    for (const QString& path : paths) {
        auto result = QpdfLoader().open(path);
        if (!result.ok()) {
            QMessageBox::warning(nullptr, QObject::tr("Cannot open document"), result.message);
            continue;
        }
        const QString name = QFileInfo(path).fileName();
        if (!unlock(*result.document, name))
            continue;
        new Document(path, std::move(result.document));
        ++opened;
    }
    if (opened == 0)
        return 1;
    return QApplication::exec();
}
