#pragma once

#include <QMenu>

#include <functional>

// File ▸ Open Recent: the files of the recent list, newest first, each named by its file name
// with its folder in its tip, and "Clear Menu", which empties the list. It is filled each
// time it opens, so it always shows the list as it is.
//
// GUI thread only.
class RecentFilesMenu : public QMenu {
    Q_OBJECT

public:
    // open is called with the path of the file chosen.
    RecentFilesMenu(std::function<void(const QString& path)> open, QWidget* parent);

private:
    void fill();

    std::function<void(const QString&)> open_;
};
