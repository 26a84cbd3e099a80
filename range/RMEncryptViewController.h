#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class RMEncryptViewController;
}

// The Encrypt page of the settings window: what saving does to a locked document.
//
// GUI thread only.
class RMEncryptViewController : public QWidget {
    Q_OBJECT

public:
    explicit RMEncryptViewController(QWidget* parent = nullptr);
    ~RMEncryptViewController() override;

private:
    std::unique_ptr<Ui::RMEncryptViewController> ui_;
};
