#pragma once

#include "platform/CollectionViewItem.h"

#include <QLabel>

// An item as callers write them: a plain widget with a label on it, counting its reuses.
class LabelItem : public CollectionViewItem {
public:
    explicit LabelItem(int* reuses) : reuses_(reuses) {
        auto* widget = new QWidget;
        label_ = new QLabel(widget);
        label_->setGeometry(5, 5, 60, 20);
        setView(widget);
    }
    QLabel* label() const { return label_; }

protected:
    void prepareForReuse() override { ++*reuses_; }

private:
    int* reuses_;
    QLabel* label_;
};
