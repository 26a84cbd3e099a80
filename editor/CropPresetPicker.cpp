#include "editor/CropPresetPicker.h"

#include "editor/CropPresetDialog.h"
#include "ui/FormStyle.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QSettings>

namespace {

const QString kOwnKey = QStringLiteral("cropPresets/own");

// Item data besides a preset's index into builtIns_ followed by own_.
constexpr int kFree = -1;
constexpr int kAddOwn = -2;

// Where presets holds one of the same shape as preset, whatever its name; -1 where none.
qsizetype indexOfShape(const QList<CropPreset>& presets, const CropPreset& preset) {
    for (qsizetype i = 0; i < presets.size(); ++i) {
        if (presets[i].kind() == preset.kind() && presets[i].dimensions() == preset.dimensions())
            return i;
    }
    return -1;
}

} // namespace

CropPresetPicker::CropPresetPicker(QWidget* parent)
    : QWidget(parent), combo_(new QComboBox(this)), builtIns_(CropPreset::builtIns()) {
    setStyleSheet(FormStyle::styleSheet());
    auto* layout = new QHBoxLayout(this);
    layout->setSpacing(6);
    auto* label = new QLabel(tr("Size"), this);
    label->setBuddy(combo_);
    combo_->setObjectName(QStringLiteral("presetPicker"));
    combo_->setToolTip(tr("Gives the crop a paper size, centred on the page's content, or "
                          "keeps it at an aspect ratio while it is dragged"));
    layout->addWidget(label);
    layout->addWidget(combo_, 1);
    // Kept by their names, which read back as the same presets; anything else is passed over.
    for (const QString& name : QSettings().value(kOwnKey).toStringList()) {
        if (const auto preset = CropPreset::parse(name))
            own_.append(*preset);
    }
    fill();
    connect(combo_, &QComboBox::activated, this, &CropPresetPicker::activated);
}

void CropPresetPicker::showFree() {
    combo_->setCurrentIndex(0);
    shown_ = 0;
}

void CropPresetPicker::fill() {
    combo_->clear();
    combo_->addItem(tr("Free"), kFree);
    combo_->insertSeparator(combo_->count());
    int index = 0;
    for (const CropPreset& preset : builtIns_) {
        // Sizes first, then the ratios after a separator.
        if (preset.kind() == CropPreset::Kind::Aspect && index > 0 &&
            builtIns_[index - 1].kind() == CropPreset::Kind::Size)
            combo_->insertSeparator(combo_->count());
        combo_->addItem(preset.name(), index++);
    }
    if (!own_.isEmpty())
        combo_->insertSeparator(combo_->count());
    for (const CropPreset& preset : own_)
        combo_->addItem(preset.name(), index++);
    combo_->insertSeparator(combo_->count());
    combo_->addItem(tr("Add Your Own…"), kAddOwn);
}

void CropPresetPicker::activated(int index) {
    const int item = combo_->itemData(index).toInt();
    if (item == kAddOwn) {
        askForOwn();
        return;
    }
    shown_ = index;
    if (item == kFree)
        emit freeChosen();
    else if (item < builtIns_.size())
        emit presetChosen(builtIns_[item]);
    else
        emit presetChosen(own_[item - builtIns_.size()]);
}

void CropPresetPicker::askForOwn() {
    combo_->setCurrentIndex(shown_);
    // Opened, not run: the window goes on drawing, and the answer comes as a signal.
    auto* dialog = new CropPresetDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        if (const auto preset = dialog->preset())
            addOwn(*preset);
    });
    dialog->open();
}

void CropPresetPicker::addOwn(const CropPreset& preset) {
    // A size the list already holds, built in or not, is chosen there rather than added.
    qsizetype at = indexOfShape(builtIns_, preset);
    if (at < 0) {
        at = indexOfShape(own_, preset);
        if (at < 0) {
            own_.append(preset);
            at = own_.size() - 1;
            QStringList names;
            for (const CropPreset& own : own_)
                names.append(own.name());
            QSettings().setValue(kOwnKey, names);
            fill();
        }
        at += builtIns_.size();
    }
    shown_ = combo_->findData(int(at));
    combo_->setCurrentIndex(shown_);
    emit presetChosen(at < builtIns_.size() ? builtIns_[at] : own_[at - builtIns_.size()]);
}
