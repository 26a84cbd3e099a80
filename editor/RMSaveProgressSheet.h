#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

// The sheet that follows a save page by page: a bar from 0 to 1 and "pages / total".
// Ending it twice does nothing.
//
// GUI thread only.
class RMSaveProgressSheet : public QDialog {
    Q_OBJECT

public:
    explicit RMSaveProgressSheet(QWidget* parent);

    void setProgress(double value, qint64 page, qint64 pageCount);
    double value() const;
    QString labelText() const;
    void end();
    // Escape does not close it: a save cannot be abandoned half-way.
    void reject() override {}

private:
    QProgressBar* bar_;
    QLabel* label_;
};
