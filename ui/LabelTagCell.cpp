#include "ui/LabelTagCell.h"

#include "ui_LabelTagCell.h"

LabelTagCell::LabelTagCell(QObject* parent)
    : CollectionViewItem(parent), ui_(std::make_unique<Ui::LabelTagCell>()) {
    auto* view = new QWidget;
    ui_->setupUi(view);
    setView(view);
}

LabelTagCell::~LabelTagCell() = default;
