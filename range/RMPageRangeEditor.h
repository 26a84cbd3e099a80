#pragma once

#include "platform/CollectionViewDataSource.h"
#include "platform/CollectionViewDelegate.h"
#include "range/RMPageRangeControls.h"
#include "ui/MyTagDelegate.h"

#include <QObject>
#include <QSizeF>
#include <QStringList>

// Composes a page selection: an ordered list of entries, page types ("+ Odd Pages") and
// ranges ("3 - 7"), shown as removable tags in rows. Five toggles add and remove the type
// entries; two number fields and the add button (or Return in a field) add a range.
//
// The list never holds an entry twice and keeps the order entries were added in; a type
// entry is in it exactly when its toggle is selected. The sheet's form keeps ranges inside
// the document (1 <= start <= end <= page count, the fields showing the values used) and
// enables Done exactly when the list is not empty; the settings tab's form takes the numbers
// as typed and leaves Done alone.
//
// GUI thread only.
class RMPageRangeEditor : public QObject,
                          public CollectionViewDataSource,
                          public CollectionViewDelegate,
                          public MyTagDelegate {
    Q_OBJECT

public:
    enum class Form { Sheet, Tab };

    // Loads the editor on controls: an empty list, the tag list, the toggles' titles and, in
    // the sheet, both range fields at 1.
    RMPageRangeEditor(const RMPageRangeControls& controls, Form form, QObject* parent = nullptr);
    ~RMPageRangeEditor() override;

    const RMPageRangeControls& controls() const { return controls_; }
    const QStringList& rangeTypeArray() const { return rangeTypeArray_; }
    // Replaces the list; the owner brings toggles and tags in line (syncWithList()).
    void setRangeTypeArray(const QStringList& list) { rangeTypeArray_ = list; }
    // The sheet's page count, which ranges are kept inside.
    void setPageAmount(qint64 pageAmount) { pageAmount_ = pageAmount; }

    // Adds entry, or, for a type entry (isNormalRange false) that is listed, removes it; a
    // listed range stays as it is. button is the entry's toggle, or the add button.
    void addOrRemoveWithRangeTypeStr(const QString& entry, SWSTAnswerButton* button,
                                     bool isNormalRange);
    // The range of the two fields.
    void addPageClickHandler();
    // A tag's delete button.
    void tagDeleteWithTitle(const QString& title) override;
    // Reloads the tags and selects exactly the toggles of the listed type entries.
    void syncWithList();
    // Sheet: Done is enabled exactly when the list is not empty.
    void refreshOkBtn();

    // The look of the windows and views that show an editor: dark, with light labels and
    // fields.
    static const char* styleSheet();

    // A tag's size for entry: its shown text's width at 12 pixels plus 42, rounded down, by 26.
    static QSizeF calculateCellSize(const QString& entry);

    int numberOfItemsInSection(CollectionView* view, int section) override;
    CollectionViewItem* itemForRepresentedObjectAtIndexPath(CollectionView* view,
                                                            const IndexPath& indexPath) override;
    QSizeF sizeForItemAtIndexPath(CollectionView* view, CollectionViewFlowLayout* layout,
                                  const IndexPath& indexPath) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The toggle of a type entry, or null for a range.
    SWSTAnswerButton* toggleOf(const QString& entry) const;

    RMPageRangeControls controls_;
    Form form_;
    QStringList rangeTypeArray_;
    qint64 pageAmount_ = 0;
};
