#pragma once

#include <QPointer>
#include <QString>

class QBoxLayout;
class QLabel;

// Banners above the pages that tell the user about the document itself: how it was opened
// (repaired, for one), and that another program changed its file after the window read it.
//
// GUI thread only.
class DocumentNotices {
public:
    // Banners go into layout at position, newest first.
    DocumentNotices(QBoxLayout& layout, int position) : layout_(layout), position_(position) {}

    // Shows notice; returns the banner that says it.
    QLabel* show(const QString& notice);
    // Says, once, that the file named name was changed elsewhere, so the pages shown are no
    // longer the file's, and whether the crops can still be saved: they can while the bytes
    // the window read are intact (the file was replaced or removed), not once they were
    // written into.
    void showFileChanged(const QString& name, bool cropsCanBeSaved);
    // The window has saved over its file: it shows the file again.
    void fileSavedOver();

private:
    QBoxLayout& layout_;
    const int position_;
    QPointer<QLabel> fileChanged_;
};
