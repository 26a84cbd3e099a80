#include "editor/CropPresetDialog.h"

#include "ui/FormStyle.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CropPresetDialog::CropPresetDialog(QWidget* parent)
    : QDialog(parent), text_(new QLineEdit(this)), reading_(new QLabel(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setWindowTitle(tr("Add Your Own Size"));
    setStyleSheet(FormStyle::styleSheet() +
                  QStringLiteral("CropPresetDialog { background: #262626; }"));
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(tr("A size, width × height in pt, mm or in, or a ratio, w:h"), this);
    prompt->setBuddy(text_);
    text_->setObjectName(QStringLiteral("presetText"));
    text_->setPlaceholderText(tr("e.g. 210 × 297 mm or 3:2"));
    text_->setMinimumWidth(240);
    reading_->setObjectName(QStringLiteral("presetReading"));
    layout->addWidget(prompt);
    layout->addWidget(text_);
    layout->addWidget(reading_);
    layout->addWidget(buttons_);
    connect(text_, &QLineEdit::textChanged, this, &CropPresetDialog::textChanged);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    textChanged();
}

std::optional<CropPreset> CropPresetDialog::preset() const {
    return CropPreset::parse(text_->text());
}

void CropPresetDialog::textChanged() {
    const auto read = preset();
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(read.has_value());
    if (!read) {
        reading_->setText(text_->text().trimmed().isEmpty() ? QString()
                                                            : tr("Not a size or a ratio"));
        return;
    }
    const QSizeF d = read->dimensions();
    reading_->setText(
        read->kind() == CropPreset::Kind::Aspect
            ? tr("A ratio of %1").arg(read->name())
            : tr("A size of %1 × %2 pt").arg(d.width(), 0, 'f', 2).arg(d.height(), 0, 'f', 2));
}
