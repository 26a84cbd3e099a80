#include "range/RMOutputSetViewController.h"

#include "ui_RMOutputSetViewController.h"

RMOutputSetViewController::RMOutputSetViewController(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::RMOutputSetViewController>()) {
    ui_->setupUi(this);
}

RMOutputSetViewController::~RMOutputSetViewController() = default;
