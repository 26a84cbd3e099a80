#include "editor/CropInspector.h"

#include "ui/FormStyle.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSignalBlocker>

#include <algorithm>

namespace {

const QString kModeKey = QStringLiteral("cropInspector/mode");
const QString kUnitKey = QStringLiteral("cropInspector/unit");

using Unit = CropLength::Unit;

int decimalsFor(Unit unit) {
    return unit == Unit::Inches ? 3 : 2;
}

double stepFor(Unit unit) {
    return unit == Unit::Inches ? 0.1 : 1.0;
}

// value, kept between low and high; high wins where they cross.
double limited(double value, double low, double high) {
    return std::min(std::max(value, low), high);
}

} // namespace

CropInspector::CropInspector(QWidget* parent)
    : QWidget(parent), mode_(new QComboBox(this)), unit_(new QComboBox(this)) {
    setStyleSheet(FormStyle::styleSheet());
    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(6);
    layout->setVerticalSpacing(6);

    mode_->setObjectName(QStringLiteral("inspectorMode"));
    mode_->addItem(tr("Margins"), int(Mode::Margins));
    mode_->addItem(tr("Position and Size"), int(Mode::PositionAndSize));
    unit_->setObjectName(QStringLiteral("inspectorUnit"));
    unit_->addItem(tr("pt"), int(Unit::Points));
    unit_->addItem(tr("mm"), int(Unit::Millimetres));
    unit_->addItem(tr("in"), int(Unit::Inches));
    unit_->addItem(tr("%"), int(Unit::Percent));
    unit_->setToolTip(tr("Per cent are of the displayed page's width for left, right, X and "
                         "width, and of its height for the others"));
    // Each on a row of its own: the panel is too narrow for "Position and Size" beside the
    // unit.
    layout->addWidget(mode_, 0, 0, 1, 3);
    auto* unitLabel = new QLabel(tr("Unit"), this);
    unitLabel->setBuddy(unit_);
    layout->addWidget(unitLabel, 1, 0);
    layout->addWidget(unit_, 1, 1, 1, 2);

    for (int i = 0; i < 4; ++i) {
        auto* field = new QDoubleSpinBox(this);
        field->setObjectName(QStringLiteral("inspectorField%1").arg(i));
        // Typing reports nothing until the value is committed.
        field->setKeyboardTracking(false);
        auto* label = new QLabel(this);
        label->setBuddy(field);
        labels_[i] = label;
        fields_[i] = field;
        // One number a row: the panel is narrow, and the numbers need their decimals.
        layout->addWidget(label, 2 + i, 0);
        layout->addWidget(field, 2 + i, 1, 1, 2);
        // Only the user's own typing marks a field, never a value set here.
        if (auto* edit = field->findChild<QLineEdit*>())
            connect(edit, &QLineEdit::textEdited, this, [this, i] { typing_[i] = true; });
        field->installEventFilter(this);
        connect(field, &QDoubleSpinBox::valueChanged, this,
                [this, i](double value) { commit(i, value); });
        // Left or confirmed without a change: back to the crop's own number.
        connect(field, &QDoubleSpinBox::editingFinished, this, [this, i] {
            typing_[i] = false;
            showValues();
        });
    }

    const QSettings settings;
    const int mode = mode_->findData(settings.value(kModeKey, int(Mode::Margins)).toInt());
    mode_->setCurrentIndex(std::max(mode, 0));
    const int unit = unit_->findData(settings.value(kUnitKey, int(Unit::Points)).toInt());
    unit_->setCurrentIndex(std::max(unit, 0));
    configureFields();
    showValues();
    const auto changed = [this] {
        configureFields();
        showValues();
        remember();
    };
    connect(mode_, &QComboBox::currentIndexChanged, this, changed);
    connect(unit_, &QComboBox::currentIndexChanged, this, changed);
}

bool CropInspector::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
            // Left unclaimed, the key goes on to the window's shortcuts.
            event->ignore();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

CropInspector::Mode CropInspector::mode() const {
    return Mode(mode_->currentData().toInt());
}

void CropInspector::setMode(Mode mode) {
    mode_->setCurrentIndex(mode_->findData(int(mode)));
}

CropLength::Unit CropInspector::unit() const {
    return Unit(unit_->currentData().toInt());
}

void CropInspector::setUnit(Unit unit) {
    unit_->setCurrentIndex(unit_->findData(int(unit)));
}

void CropInspector::showCrop(const QSizeF& displayedPage, const QRectF& displayCrop) {
    const QSizeF page = displayedPage.expandedTo({0, 0});
    // Edges held to the page, so that what is shown and what a commit starts from agree. A
    // crop already on the page is kept as it came, to the last bit.
    const QRectF crop = displayCrop.normalized();
    const double left = limited(crop.left(), 0, page.width());
    const double bottom = limited(crop.top(), 0, page.height());
    const double right = limited(crop.right(), left, page.width());
    const double top = limited(crop.bottom(), bottom, page.height());
    const bool onPage = left == crop.left() && bottom == crop.top() && right == crop.right() &&
                        top == crop.bottom();
    crop_ = onPage ? crop : QRectF(QPointF(left, bottom), QPointF(right, top));
    if (page != page_) {
        page_ = page;
        configureFields();
    }
    showValues();
}

double CropInspector::sideOf(int field) const {
    return field % 2 == 0 ? page_.width() : page_.height();
}

double CropInspector::pointsOf(int field) const {
    // In display space QRectF's top() is the crop's bottom edge and bottom() its top edge.
    if (mode() == Mode::Margins) {
        switch (field) {
        case 0:
            return crop_.left();
        case 1:
            return page_.height() - crop_.bottom();
        case 2:
            return page_.width() - crop_.right();
        default:
            return crop_.top();
        }
    }
    switch (field) {
    case 0:
        return crop_.left();
    case 1:
        return crop_.top();
    case 2:
        return crop_.width();
    default:
        return crop_.height();
    }
}

void CropInspector::configureFields() {
    static const char* const marginNames[] = {QT_TR_NOOP("Left"), QT_TR_NOOP("Top"),
                                              QT_TR_NOOP("Right"), QT_TR_NOOP("Bottom")};
    static const char* const positionNames[] = {QT_TR_NOOP("X"), QT_TR_NOOP("Y"),
                                                QT_TR_NOOP("Width"), QT_TR_NOOP("Height")};
    const bool margins = mode() == Mode::Margins;
    const QString origin = tr("From the displayed page's lower-left corner, y upward: for an "
                              "unrotated page whose box starts at 0, the numbers of the saved box");
    for (int i = 0; i < 4; ++i) {
        labels_[i]->setText(tr(margins ? marginNames[i] : positionNames[i]));
        if (margins)
            fields_[i]->setToolTip(tr("Distance from the displayed page's edge"));
        else
            fields_[i]->setToolTip(i < 2 ? origin : tr("The crop's size as displayed"));
        const QSignalBlocker blocker(fields_[i]);
        fields_[i]->setDecimals(decimalsFor(unit()));
        fields_[i]->setSingleStep(stepFor(unit()));
        fields_[i]->setRange(0, CropLength::fromPoints(sideOf(i), unit(), sideOf(i)).value);
    }
}

void CropInspector::showValues() {
    for (int i = 0; i < 4; ++i) {
        if (typing_[i])
            continue;
        const QSignalBlocker blocker(fields_[i]);
        fields_[i]->setValue(CropLength::fromPoints(pointsOf(i), unit(), sideOf(i)).value);
    }
}

void CropInspector::commit(int field, double value) {
    typing_[field] = false;
    if (page_.isEmpty()) {
        showValues();
        return;
    }
    const double p = CropLength{value, unit()}.inPoints(sideOf(field));
    const double width = page_.width(), height = page_.height();
    // Edges by their place on the page: bottom is the least y.
    double left = crop_.left(), right = crop_.right();
    double bottom = crop_.top(), top = crop_.bottom();
    if (mode() == Mode::Margins) {
        switch (field) {
        case 0:
            left = limited(p, 0, right);
            break;
        case 1:
            top = limited(height - p, bottom, height);
            break;
        case 2:
            right = limited(width - p, left, width);
            break;
        default:
            bottom = limited(p, 0, top);
            break;
        }
        crop_ = QRectF(left, bottom, right - left, top - bottom);
    } else {
        QRectF crop = crop_;
        switch (field) {
        // A position keeps the number typed; the size gives way where the crop would leave
        // the page.
        case 0:
            crop = QRectF(limited(p, 0, width), crop.y(), 0, crop.height());
            crop.setWidth(std::min(crop_.width(), width - crop.x()));
            break;
        case 1:
            crop = QRectF(crop.x(), limited(p, 0, height), crop.width(), 0);
            crop.setHeight(std::min(crop_.height(), height - crop.y()));
            break;
        case 2:
            crop.setWidth(limited(p, 0, width - left));
            break;
        default:
            crop.setHeight(limited(p, 0, height - bottom));
            break;
        }
        crop_ = crop;
    }
    showValues();
    emit cropEdited(crop_);
}

void CropInspector::remember() const {
    QSettings settings;
    settings.setValue(kModeKey, mode_->currentData());
    settings.setValue(kUnitKey, unit_->currentData());
}
