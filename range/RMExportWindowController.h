#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class RMExportWindowController;
}

// A window for exporting documents; it shows only its layout.
//
// GUI thread only.
class RMExportWindowController : public QWidget {
    Q_OBJECT

public:
    explicit RMExportWindowController(QWidget* parent = nullptr);
    ~RMExportWindowController() override;

private:
    std::unique_ptr<Ui::RMExportWindowController> ui_;
};
