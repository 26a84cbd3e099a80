#include "editor/ContentFitControls.h"

#include "ui/FormStyle.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QToolButton>
#include <QWidgetAction>

namespace {

const QString kPaddingKey = QStringLiteral("fitToContent/padding");
const QString kUnitKey = QStringLiteral("fitToContent/unit");
const QString kSameSizeKey = QStringLiteral("fitToContent/sameSize");

} // namespace

ContentFitControls* ContentFitControls::inMenuOf(QToolButton& button) {
    auto* menu = new QMenu(&button);
    menu->setStyleSheet(QStringLiteral("QMenu { background: #2f2f2f; border: 1px solid #444; }"));
    auto* holder = new QWidgetAction(menu);
    auto* controls = new ContentFitControls;
    controls->setContentsMargins(12, 10, 12, 10);
    holder->setDefaultWidget(controls);
    menu->addAction(holder);
    button.setMenu(menu);
    return controls;
}

ContentFitControls::ContentFitControls(QWidget* parent)
    : QWidget(parent), padding_(new QDoubleSpinBox(this)), unit_(new QComboBox(this)),
      sameSize_(new QCheckBox(tr("Same size for all"), this)) {
    setStyleSheet(FormStyle::styleSheet());
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(8);
    auto* paddingRow = new QHBoxLayout;
    paddingRow->setSpacing(6);
    auto* label = new QLabel(tr("Padding"), this);
    label->setBuddy(padding_);
    padding_->setObjectName(QStringLiteral("fitPadding"));
    padding_->setRange(0, 500);
    padding_->setDecimals(1);
    padding_->setToolTip(tr("Room left around the content on every side"));
    unit_->setObjectName(QStringLiteral("fitPaddingUnit"));
    unit_->addItem(tr("pt"), int(CropLength::Unit::Points));
    unit_->addItem(tr("mm"), int(CropLength::Unit::Millimetres));
    unit_->addItem(tr("%"), int(CropLength::Unit::Percent));
    sameSize_->setObjectName(QStringLiteral("fitSameSize"));
    sameSize_->setToolTip(tr("Give every selected page one crop that holds all their content"));
    paddingRow->addWidget(label);
    paddingRow->addWidget(padding_);
    paddingRow->addWidget(unit_);
    layout->addLayout(paddingRow);
    layout->addWidget(sameSize_);

    const QSettings settings;
    setPadding({settings.value(kPaddingKey, 0.0).toDouble(),
                CropLength::Unit(settings.value(kUnitKey, int(CropLength::Unit::Points)).toInt())});
    sameSize_->setChecked(settings.value(kSameSizeKey, false).toBool());
    setBatchMode(false);
    connect(padding_, &QDoubleSpinBox::valueChanged, this, &ContentFitControls::remember);
    connect(unit_, &QComboBox::currentIndexChanged, this, &ContentFitControls::remember);
    connect(sameSize_, &QCheckBox::toggled, this, &ContentFitControls::remember);
}

CropLength ContentFitControls::padding() const {
    return {padding_->value(), CropLength::Unit(unit_->currentData().toInt())};
}

void ContentFitControls::setPadding(const CropLength& padding) {
    const int unit = unit_->findData(int(padding.unit));
    unit_->setCurrentIndex(unit < 0 ? 0 : unit);
    padding_->setValue(padding.value);
}

bool ContentFitControls::sameSize() const {
    return sameSize_->isEnabled() && sameSize_->isChecked();
}

void ContentFitControls::setSameSize(bool sameSize) {
    sameSize_->setChecked(sameSize);
}

void ContentFitControls::setBatchMode(bool batch) {
    sameSize_->setEnabled(batch);
}

void ContentFitControls::remember() const {
    QSettings settings;
    settings.setValue(kPaddingKey, padding_->value());
    settings.setValue(kUnitKey, unit_->currentData());
    settings.setValue(kSameSizeKey, sameSize_->isChecked());
}
