#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class RMOutputSetViewController;
}

// The Output page of the settings window: how cropped documents are written
// (OutputSettings): whether the saved file opens afterwards, the name the save panel proposes,
// whether saved files keep the original boxes and whether they lose what lies outside each
// page's crop. A choice applies at once.
//
// GUI thread only.
class RMOutputSetViewController : public QWidget {
    Q_OBJECT

public:
    explicit RMOutputSetViewController(QWidget* parent = nullptr);
    ~RMOutputSetViewController() override;

    Ui::RMOutputSetViewController& ui();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::RMOutputSetViewController> ui_;
};
