#include "range/RMEncryptViewController.h"

#include "ui_RMEncryptViewController.h"

RMEncryptViewController::RMEncryptViewController(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::RMEncryptViewController>()) {
    ui_->setupUi(this);
}

RMEncryptViewController::~RMEncryptViewController() = default;
