#include "platform/CollectionViewItem.h"

CollectionViewItem::CollectionViewItem(QObject* parent) : QObject(parent) {}

CollectionViewItem::~CollectionViewItem() {
    delete view_.data();
}

void CollectionViewItem::setSelected(bool selected) {
    selected_ = selected;
}

void CollectionViewItem::setView(QWidget* view) {
    if (view_ == view)
        return;
    delete view_.data();
    view_ = view;
}

void CollectionViewItem::prepareForReuse() {}
