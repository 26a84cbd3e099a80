#include "range/RMExportWindowController.h"

#include "ui_RMExportWindowController.h"

RMExportWindowController::RMExportWindowController(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::RMExportWindowController>()) {
    ui_->setupUi(this);
}

RMExportWindowController::~RMExportWindowController() = default;
