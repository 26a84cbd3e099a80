#include "range/RMPageRangeEditor.h"

#include "crop/PageSelection.h"
#include "platform/CollectionView.h"
#include "range/JYEqualCellSpaceFlowLayout.h"
#include "ui/MyTagCell.h"
#include "ui/SWSTAnswerButton.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

namespace {

const QString kTagIdentifier = QStringLiteral("MyTagCell");

const char* const kStyle = R"(
    RMPageRangeWindowController, RMPageRangeViewController { background: #2b2b2b; }
    #suggestLabel, #rangeLabel, #fromLabel { color: #afafaf; font-size: 12px; }
    CollectionView, CollectionView > QWidget { background: #1f1f1f; border: none; }
    RMTextField {
        background: #191919; color: #e6e6e6; border: 1px solid #434343; border-radius: 3px;
        padding: 1px 3px; selection-background-color: #6477f7;
    }
)";

} // namespace

RMPageRangeEditor::RMPageRangeEditor(const RMPageRangeControls& controls, Form form,
                                     QObject* parent)
    : QObject(parent), controls_(controls), form_(form) {
    if (form_ == Form::Sheet) {
        controls_.startPageField->setText(QStringLiteral("1"));
        controls_.endPageField->setText(QStringLiteral("1"));
    }
    CollectionView* tags = controls_.labelCollectionView;
    // Tags in rows from the left, 5 apart; the rows start 15 in from either side.
    auto* layout = new JYEqualCellSpaceFlowLayout(JYEqualCellSpaceFlowLayout::Left, 5);
    layout->sectionInset = QMarginsF(15, 5, 15, 31);
    tags->setCollectionViewLayout(layout);
    tags->registerItem(kTagIdentifier, [] { return new MyTagCell; });
    tags->setDelegate(this);
    tags->setDataSource(this);

    const std::pair<SWSTAnswerButton*, QString> toggles[] = {
        {controls_.oddBtn, PageSelection::kOddPages},
        {controls_.evenBtn, PageSelection::kEvenPages},
        {controls_.portraitBtn, PageSelection::kPortraitPages},
        {controls_.landscapeBtn, PageSelection::kLandscapePages},
        {controls_.allBtn, PageSelection::kAllPages},
    };
    for (const auto& [button, entry] : toggles) {
        button->setConfigKey(QStringLiteral("Range_Not_Custom_Btn"));
        button->setTitle(entry);
        connect(button, &SWSTAnswerButton::clicked, this,
                [this, button, entry] { addOrRemoveWithRangeTypeStr(entry, button, false); });
    }
    controls_.addBtn->setConfigKey(QStringLiteral("Range_Add_Btn"));
    controls_.okBtn->setConfigKey(QStringLiteral("Range_Done_Btn"));
    controls_.cancelBtn->setConfigKey(QStringLiteral("Range_Cancel_Btn"));
    connect(controls_.addBtn, &SWSTAnswerButton::clicked, this,
            &RMPageRangeEditor::addPageClickHandler);
    for (QLineEdit* field : {controls_.startPageField, controls_.endPageField})
        field->installEventFilter(this);
}

bool RMPageRangeEditor::eventFilter(QObject* watched, QEvent* event) {
    // Return in a range field adds the range, as "+" does; left to the field, it would go on
    // to the window and press "Done" with the selection as it was.
    if (event->type() == QEvent::KeyPress &&
        (watched == controls_.startPageField || watched == controls_.endPageField)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            addPageClickHandler();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

RMPageRangeEditor::~RMPageRangeEditor() {
    controls_.labelCollectionView->setDataSource(nullptr);
    controls_.labelCollectionView->setDelegate(nullptr);
}

void RMPageRangeEditor::addOrRemoveWithRangeTypeStr(const QString& entry, SWSTAnswerButton* button,
                                                    bool isNormalRange) {
    const qsizetype index = rangeTypeArray_.indexOf(entry);
    if (index < 0) {
        rangeTypeArray_.append(entry);
        controls_.labelCollectionView->reloadData();
        if (!isNormalRange)
            button->setSelected(true);
    } else if (!isNormalRange) {
        rangeTypeArray_.removeAt(index);
        controls_.labelCollectionView->deleteItemsAtIndexPaths({IndexPath{0, int(index)}});
        button->setSelected(false);
    }
    refreshOkBtn();
}

void RMPageRangeEditor::addPageClickHandler() {
    qint64 start = PageSelection::leadingInt(controls_.startPageField->text());
    qint64 end = PageSelection::leadingInt(controls_.endPageField->text());
    if (form_ == Form::Sheet) {
        // The start is capped by the end before the end is raised to 1: a reversed range
        // becomes its end page.
        end = std::min(end, pageAmount_);
        start = std::min(start, end);
        end = std::max<qint64>(end, 1);
        start = std::max<qint64>(start, 1);
        controls_.startPageField->setText(QString::number(start));
        controls_.endPageField->setText(QString::number(end));
    }
    addOrRemoveWithRangeTypeStr(PageSelection::rangeEntry(start, end), controls_.addBtn, true);
}

void RMPageRangeEditor::tagDeleteWithTitle(const QString& title) {
    const qsizetype index = rangeTypeArray_.indexOf(title);
    if (index < 0)
        return;
    rangeTypeArray_.removeAt(index);
    controls_.labelCollectionView->deleteItemsAtIndexPaths({IndexPath{0, int(index)}});
    if (SWSTAnswerButton* toggle = toggleOf(title))
        toggle->setSelected(false);
    refreshOkBtn();
}

void RMPageRangeEditor::syncWithList() {
    controls_.labelCollectionView->reloadData();
    for (SWSTAnswerButton* toggle : controls_.toggles())
        toggle->setSelected(false);
    for (const QString& entry : rangeTypeArray_) {
        if (SWSTAnswerButton* toggle = toggleOf(entry))
            toggle->setSelected(true);
    }
}

void RMPageRangeEditor::refreshOkBtn() {
    if (form_ == Form::Sheet)
        controls_.okBtn->setEnabled(!rangeTypeArray_.isEmpty());
}

SWSTAnswerButton* RMPageRangeEditor::toggleOf(const QString& entry) const {
    if (entry == PageSelection::kOddPages)
        return controls_.oddBtn;
    if (entry == PageSelection::kEvenPages)
        return controls_.evenBtn;
    if (entry == PageSelection::kPortraitPages)
        return controls_.portraitBtn;
    if (entry == PageSelection::kLandscapePages)
        return controls_.landscapeBtn;
    if (entry == PageSelection::kAllPages)
        return controls_.allBtn;
    return nullptr;
}

const char* RMPageRangeEditor::styleSheet() {
    return kStyle;
}

QSizeF RMPageRangeEditor::calculateCellSize(const QString& entry) {
    return MyTagCell::sizeForTitle(entry);
}

int RMPageRangeEditor::numberOfItemsInSection(CollectionView*, int) {
    return int(rangeTypeArray_.size());
}

CollectionViewItem*
RMPageRangeEditor::itemForRepresentedObjectAtIndexPath(CollectionView* view,
                                                       const IndexPath& indexPath) {
    auto* tag = static_cast<MyTagCell*>(view->makeItemWithIdentifier(kTagIdentifier, indexPath));
    tag->setTagDelegate(this);
    tag->setTitleStr(rangeTypeArray_.value(indexPath.item));
    return tag;
}

QSizeF RMPageRangeEditor::sizeForItemAtIndexPath(CollectionView*, CollectionViewFlowLayout*,
                                                 const IndexPath& indexPath) {
    return calculateCellSize(rangeTypeArray_.value(indexPath.item));
}
