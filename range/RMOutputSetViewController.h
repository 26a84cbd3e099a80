#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class RMOutputSetViewController;
}

// The Output page of the settings window: how cropped documents are written.
//
// GUI thread only.
class RMOutputSetViewController : public QWidget {
    Q_OBJECT

public:
    explicit RMOutputSetViewController(QWidget* parent = nullptr);
    ~RMOutputSetViewController() override;

private:
    std::unique_ptr<Ui::RMOutputSetViewController> ui_;
};
