#pragma once

#include <array>

class CollectionView;
class QLineEdit;
class SWSTAnswerButton;

// The controls of a page range editor, owned by the window or view that shows them.
struct RMPageRangeControls {
    CollectionView* labelCollectionView = nullptr;
    SWSTAnswerButton* oddBtn = nullptr;
    SWSTAnswerButton* evenBtn = nullptr;
    SWSTAnswerButton* portraitBtn = nullptr;
    SWSTAnswerButton* landscapeBtn = nullptr;
    SWSTAnswerButton* allBtn = nullptr;
    QLineEdit* startPageField = nullptr;
    QLineEdit* endPageField = nullptr;
    SWSTAnswerButton* addBtn = nullptr;
    SWSTAnswerButton* okBtn = nullptr;
    SWSTAnswerButton* cancelBtn = nullptr;

    // The controls of a form that names them all the same way.
    template <class Form> static RMPageRangeControls of(Form& ui) {
        return {ui.labelCollectionView,
                ui.oddBtn,
                ui.evenBtn,
                ui.portraitBtn,
                ui.landscapeBtn,
                ui.allBtn,
                ui.startPageField,
                ui.endPageField,
                ui.addBtn,
                ui.okBtn,
                ui.cancelBtn};
    }

    // The five type toggles, top to bottom.
    std::array<SWSTAnswerButton*, 5> toggles() const {
        return {oddBtn, evenBtn, portraitBtn, landscapeBtn, allBtn};
    }
};
