#pragma once

// Told by a crop marker when a drag of it has ended.
class SCSelectionDelegate {
public:
    virtual ~SCSelectionDelegate() = default;
    virtual void resizeDidEnd() = 0;
};
