#include "ui/FormStyle.h"

QString FormStyle::styleSheet() {
    return QStringLiteral(R"(
        QLabel, QCheckBox { color: #d0d0d0; font-size: 12px; }
        QLabel:disabled, QCheckBox:disabled { color: #686868; }
        QDoubleSpinBox, QComboBox, QLineEdit {
            background: #191919; color: #e6e6e6; border: 1px solid #434343; border-radius: 3px;
            font-size: 12px; padding: 1px 4px;
        }
        QDoubleSpinBox:disabled, QComboBox:disabled, QLineEdit:disabled { color: #686868; }
        QComboBox QAbstractItemView {
            background: #2a2a2a; color: #e6e6e6; border: 1px solid #434343;
            selection-background-color: #6477f7; selection-color: #ffffff; outline: 0;
        }
    )");
}
