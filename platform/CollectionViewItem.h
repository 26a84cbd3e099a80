#pragma once

#include "platform/IndexPath.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

// The controller of one item a collection view shows. Items are made for a reuse identifier
// and handed out again for other rows once theirs scrolls away, so a subclass sets its content
// afresh for every row it is given and resets row-specific state in prepareForReuse().
//
// The item owns its widget, view(). While the item is in use, the widget is a child of the
// collection view's viewport (and is deleted with it); the item deletes it in any case when the
// item is deleted. The collection view is the item's QObject parent once it hands it out.
//
// GUI thread only.
class CollectionViewItem : public QObject {
    Q_OBJECT

public:
    explicit CollectionViewItem(QObject* parent = nullptr);
    ~CollectionViewItem() override;

    QWidget* view() const { return view_; }
    bool isSelected() const { return selected_; }
    // Subclasses override to show the selected look, and call this base version.
    virtual void setSelected(bool selected);
    // The row the item currently shows.
    IndexPath indexPath() const { return indexPath_; }

protected:
    // Takes ownership of view; meant to be called once, by the subclass's constructor. A view
    // set before is deleted.
    void setView(QWidget* view);
    // Called when the item is taken from the reuse queue for a new row, before the data source
    // configures it. The base version does nothing.
    virtual void prepareForReuse();

private:
    friend class CollectionView;

    QPointer<QWidget> view_; // becomes null if the viewport deleted the widget first
    bool selected_ = false;
    IndexPath indexPath_;
    QString reuseIdentifier_; // empty for items the data source made itself
};
