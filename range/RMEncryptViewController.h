#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class RMEncryptViewController;
}

// The Encrypt page of the settings window: what saving does to a locked document
// (EncryptSettings), keep its password or, unlocked with its owner password, drop it. The
// choice applies at once.
//
// GUI thread only.
class RMEncryptViewController : public QWidget {
    Q_OBJECT

public:
    explicit RMEncryptViewController(QWidget* parent = nullptr);
    ~RMEncryptViewController() override;

    Ui::RMEncryptViewController& ui();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::RMEncryptViewController> ui_;
};
