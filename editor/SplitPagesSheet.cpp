#include "editor/SplitPagesSheet.h"

#include "crop/PagePart.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

SplitPagesSheet::SplitPagesSheet(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Split Pages"));
    // The page stays within reach: its lines are dragged there while the sheet is open.
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(
        tr("Each part becomes a page of its own. Drag a line on the page to move it."), this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    auto* form = new QFormLayout;
    kind_ = new QComboBox(this);
    kind_->addItems({tr("Across (side by side)"), tr("Down (one above the other)"), tr("Grid")});
    form->addRow(tr("Split"), kind_);
    columnsLabel_ = new QLabel(this);
    columns_ = new QSpinBox(this);
    columns_->setRange(1, PagePart::kMostParts);
    form->addRow(columnsLabel_, columns_);
    rowsLabel_ = new QLabel(tr("Rows"), this);
    rows_ = new QSpinBox(this);
    rows_->setRange(1, PagePart::kMostParts);
    form->addRow(rowsLabel_, rows_);
    order_ = new QComboBox(this);
    order_->addItems({tr("Left to right"), tr("Right to left")});
    form->addRow(tr("Order"), order_);
    gap_ = new QDoubleSpinBox(this);
    gap_->setRange(0, 200);
    gap_->setDecimals(1);
    gap_->setSuffix(tr(" pt"));
    gap_->setToolTip(tr("Left out across each line between parts, such as a book's spine"));
    form->addRow(tr("Gap to drop between parts"), gap_);
    layout->addLayout(form);
    evenParts_ = new QPushButton(tr("Even Parts"), this);
    evenParts_->setToolTip(tr("Put the lines back where they make equal parts"));
    layout->addWidget(evenParts_, 0, Qt::AlignLeft);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    splitButton_ = buttons->addButton(tr("Split"), QDialogButtonBox::AcceptRole);
    splitButton_->setDefault(true);
    layout->addWidget(buttons);

    columns_->setValue(split_.columns);
    rows_->setValue(split_.rows);
    connect(kind_, &QComboBox::currentIndexChanged, this, [this](int kind) {
        // Across and down keep the number of parts they had.
        const int parts = std::max(columns_->value(), rows_->value());
        const QSignalBlocker columnsQuiet(columns_), rowsQuiet(rows_);
        columns_->setValue(kind == Down ? 1 : parts);
        rows_->setValue(kind == Across ? 1 : kind == Down ? parts : rows_->value());
        readControls();
    });
    for (QSpinBox* box : {columns_, rows_})
        connect(box, &QSpinBox::valueChanged, this, &SplitPagesSheet::readControls);
    connect(order_, &QComboBox::currentIndexChanged, this, &SplitPagesSheet::readControls);
    connect(gap_, &QDoubleSpinBox::valueChanged, this, &SplitPagesSheet::readControls);
    connect(evenParts_, &QPushButton::clicked, this, [this] { setLines({}); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    showState();
}

void SplitPagesSheet::setLines(const std::vector<CropLength>& lines) {
    split_.lines = lines;
    showState();
    emit splitChanged();
}

void SplitPagesSheet::readControls() {
    const bool sameParts = split_.columns == columns_->value() && split_.rows == rows_->value();
    split_.columns = columns_->value();
    split_.rows = rows_->value();
    if (!sameParts)
        split_.lines.clear();
    split_.rightToLeft = order_->currentIndex() == 1;
    split_.gap = CropLength{gap_->value(), CropLength::Unit::Points};
    showState();
    emit splitChanged();
}

void SplitPagesSheet::showState() {
    const int kind = kind_->currentIndex();
    columnsLabel_->setText(kind == Grid ? tr("Columns") : tr("Parts"));
    // Across and down have one number of parts, which the first field holds for both.
    columns_->setVisible(kind != Down);
    columnsLabel_->setVisible(kind != Down);
    rows_->setVisible(kind != Across);
    rowsLabel_->setVisible(kind != Across);
    if (kind == Down)
        rowsLabel_->setText(tr("Parts"));
    else
        rowsLabel_->setText(tr("Rows"));
    order_->setEnabled(split_.columns > 1);
    evenParts_->setEnabled(!split_.lines.empty());
    const int parts = split_.partCount();
    splitButton_->setEnabled(parts >= 2 && parts <= PagePart::kMostParts);
    splitButton_->setToolTip(
        parts > PagePart::kMostParts
            ? tr("A page is split into %1 parts at most").arg(PagePart::kMostParts)
            : QString());
}
