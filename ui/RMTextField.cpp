#include "ui/RMTextField.h"

RMTextField::RMTextField(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (didChangeBlock_)
            didChangeBlock_();
    });
    connect(this, &QLineEdit::editingFinished, this, [this] {
        if (didEndBlock_)
            didEndBlock_();
    });
}
