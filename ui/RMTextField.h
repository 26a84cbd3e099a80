#pragma once

#include <QLineEdit>

#include <functional>

// A one-line text field that reports edits through callbacks.
//
// didChangeBlock runs after every change the user makes to the text; text set by the
// program does not report, so an owner that shows a value in the field is not told about its
// own change. didEndBlock runs when editing ends: Return or Enter, or the field losing focus
// after an edit. Both are optional. GUI thread only.
class RMTextField : public QLineEdit {
    Q_OBJECT

public:
    using Block = std::function<void()>;

    explicit RMTextField(QWidget* parent = nullptr);

    void setDidChangeBlock(Block block) { didChangeBlock_ = std::move(block); }
    void setDidEndBlock(Block block) { didEndBlock_ = std::move(block); }

private:
    Block didChangeBlock_;
    Block didEndBlock_;
};
