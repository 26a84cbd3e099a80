#pragma once

#include <QString>

// Told when the user asks to remove a tag with its delete button.
//
// Listening is optional: a delegate that does not override tagDeleteWithTitle() leaves the
// button without effect.
class MyTagDelegate {
public:
    // title: the tag's full title as it was set ("+ Odd Pages"), not the text it shows.
    virtual void tagDeleteWithTitle(const QString& /*title*/) {}

protected:
    virtual ~MyTagDelegate() = default;
};
