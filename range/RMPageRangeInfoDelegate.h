#pragma once

#include <QStringList>

// Told of the user's answer in a page range editor.
class RMPageRangeInfoDelegate {
public:
    // Done: selection is the editor's list as it is now, a copy the editor never changes.
    virtual void applyPageRangeSettingWithPageArray(const QStringList& selection) = 0;
    // Cancel.
    virtual void cancelPageRangeSetting() = 0;

protected:
    virtual ~RMPageRangeInfoDelegate() = default;
};
