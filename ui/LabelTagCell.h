#pragma once

#include "platform/CollectionViewItem.h"

#include <memory>

namespace Ui {
class LabelTagCell;
}

// A tag that only shows what its layout holds: a label on a grey rounded background, in the
// look of the page selection's tags. GUI thread only.
class LabelTagCell : public CollectionViewItem {
    Q_OBJECT

public:
    explicit LabelTagCell(QObject* parent = nullptr);
    ~LabelTagCell() override;

private:
    std::unique_ptr<Ui::LabelTagCell> ui_;
};
