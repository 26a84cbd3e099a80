#include "app/Document.h"
#include "crop/QpdfLoader.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

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
        new Document(path, std::move(result.document));
        ++opened;
    }
    if (opened == 0)
        return 1;
    return QApplication::exec();
}
