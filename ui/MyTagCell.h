#pragma once

#include "platform/CollectionViewItem.h"

#include <QSizeF>
#include <QString>

#include <memory>

class MyTagDelegate;
class QAbstractButton;
class QLabel;
class RMColorView;

namespace Ui {
class MyTagCell;
}

// One part of a page selection shown as a tag ("Odd Pages", "1 - 20"): its text on a grey
// rounded background, with a small delete button, a ×, at the right end.
//
// Geometry, for an item W x H: the background fills the item; the text starts 10 from its left
// edge and is centred vertically; the delete button is 8 x 8, centred vertically, its right
// edge 14 from the background's right edge. The text takes what is left between them.
//
// GUI thread only.
class MyTagCell : public CollectionViewItem {
    Q_OBJECT

public:
    explicit MyTagCell(QObject* parent = nullptr);
    ~MyTagCell() override;

    // The item size that shows the whole text of a tag titled title: its text's width plus
    // the margins, the gap and the delete button (42 in all), rounded down, 26 high.
    static QSizeF sizeForTitle(const QString& title);

    QString titleStr() const { return titleStr_; }
    // A title that holds a "+" is shown without its first two characters ("+ Odd Pages" shows
    // "Odd Pages", "+" shows nothing); any other title as it is.
    void setTitleStr(const QString& title);

    // Not owned: the delegate clears itself (setTagDelegate(nullptr)) before it goes away, or
    // outlives the item.
    MyTagDelegate* tagDelegate() const { return tagDelegate_; }
    void setTagDelegate(MyTagDelegate* delegate) { tagDelegate_ = delegate; }

    // The delete button's action: hands the full title to the delegate, if there is one.
    void deleteClickHandler();

    QLabel* label() const;
    QAbstractButton* deleteBtn() const;
    RMColorView* bgView() const;

private:
    std::unique_ptr<Ui::MyTagCell> ui_;
    QString titleStr_;
    MyTagDelegate* tagDelegate_ = nullptr;
};
