#include "ui/MyTagCell.h"

#include "ui/MyTagDelegate.h"

#include "ui_MyTagCell.h"

#include <QFontMetricsF>

#include <cmath>
#include <limits>

namespace {

// The margins, gap and button size are those of the layout in MyTagCell.ui.
constexpr double kTextLeft = 10;
constexpr double kTextToButton = 10;
constexpr double kButtonSide = 8;
constexpr double kButtonRight = 14;
constexpr double kTagHeight = 26;
constexpr qreal kCornerRadius = 13;
constexpr int kFontPixelSize = 12;
const QColor kBackColor(214, 214, 214);
const QColor kTextColor(44, 44, 44);

// Pixels, so the text fits the tag's fixed height whatever the screen's resolution.
QFont tagFont() {
    QFont font;
    font.setPixelSize(kFontPixelSize);
    return font;
}

QString shownText(const QString& title) {
    // A "+" marks a title that carries a two-character prefix ("+ ") the tag does not show;
    // mid() past the end gives an empty text.
    return title.contains(QLatin1Char('+')) ? title.mid(2) : title;
}

} // namespace

MyTagCell::MyTagCell(QObject* parent)
    : CollectionViewItem(parent), ui_(std::make_unique<Ui::MyTagCell>()) {
    auto* view = new QWidget;
    ui_->setupUi(view);
    ui_->bgView->setViewCorner(kCornerRadius);
    ui_->bgView->setBackColor(kBackColor);
    // The text is only shown: presses on it go through to the collection view, as presses on
    // the background do.
    ui_->label->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui_->label->setTextInteractionFlags(Qt::NoTextInteraction);
    ui_->label->setFont(tagFont());
    QPalette palette = ui_->label->palette();
    palette.setColor(QPalette::WindowText, kTextColor);
    ui_->label->setPalette(palette);
    connect(ui_->deleteBtn, &QAbstractButton::clicked, this, &MyTagCell::deleteClickHandler);
    setView(view);
}

MyTagCell::~MyTagCell() = default;

QSizeF MyTagCell::sizeForTitle(const QString& title) {
    // Measured on one unbounded line, then taken in single precision and rounded down, so
    // equal texts always give equal whole widths.
    const QRectF bounds = QFontMetricsF(tagFont()).boundingRect(
        QRectF(0, 0, std::numeric_limits<float>::max(), kTagHeight), Qt::AlignLeft | Qt::AlignTop,
        shownText(title));
    const float width =
        float(bounds.width() + kTextLeft + kTextToButton + kButtonSide + kButtonRight);
    return QSizeF(std::floor(width), kTagHeight);
}

void MyTagCell::setTitleStr(const QString& title) {
    titleStr_ = title;
    ui_->label->setText(shownText(title));
}

void MyTagCell::deleteClickHandler() {
    if (tagDelegate_)
        tagDelegate_->tagDeleteWithTitle(titleStr_);
}

QLabel* MyTagCell::label() const {
    return ui_->label;
}

QAbstractButton* MyTagCell::deleteBtn() const {
    return ui_->deleteBtn;
}

RMColorView* MyTagCell::bgView() const {
    return ui_->bgView;
}
