#pragma once

#include <QDialog>

class QLabel;
class RMTextField;
class SWSTAnswerButton;

// The sheet that asks for the password of a protected document. "Done" hands the typed
// password to the owner (tryPassword); "Cancel" rejects the sheet.
//
// GUI thread only.
class RMDecryptSheet : public QDialog {
    Q_OBJECT

public:
    RMDecryptSheet(const QString& documentName, QWidget* parent);

    RMTextField* passwordField() const { return passwordField_; }
    QLabel* wrongPasswordLabel() const { return wrongLabel_; }
    QLabel* infoLabel() const { return infoLabel_; }
    SWSTAnswerButton* doneButton() const { return doneButton_; }
    SWSTAnswerButton* cancelButton() const { return cancelButton_; }

    // After a wrong password: the message shows and the field empties for another try.
    void showWrongPassword();

signals:
    void tryPassword(const QString& password);

private:
    QLabel* infoLabel_;
    RMTextField* passwordField_;
    QLabel* wrongLabel_;
    SWSTAnswerButton* doneButton_;
    SWSTAnswerButton* cancelButton_;
};
