#include "editor/RMSaveProgressSheet.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace {

// The bar counts in steps this fine.
constexpr int kSteps = 10000;

} // namespace

RMSaveProgressSheet::RMSaveProgressSheet(QWidget* parent)
    : QDialog(parent), bar_(new QProgressBar(this)), label_(new QLabel(this)) {
    setWindowModality(Qt::WindowModal);
    setWindowTitle(tr("Saving"));
    setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint);
    bar_->setRange(0, kSteps);
    bar_->setTextVisible(false);
    bar_->setMinimumWidth(320);
    label_->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->addWidget(new QLabel(tr("Saving the document…"), this));
    layout->addWidget(bar_);
    layout->addWidget(label_);
}

void RMSaveProgressSheet::setProgress(double value, qint64 page, qint64 pageCount) {
    bar_->setValue(static_cast<int>(value * kSteps));
    label_->setText(QStringLiteral("%1 / %2").arg(page).arg(pageCount));
}

double RMSaveProgressSheet::value() const {
    return double(bar_->value()) / kSteps;
}

QString RMSaveProgressSheet::labelText() const {
    return label_->text();
}

void RMSaveProgressSheet::end() {
    if (isVisible())
        accept();
}
