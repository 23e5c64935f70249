#pragma once

#include "IUi.h"

// The facade as a widget sees it when only its signals matter: the slots do
// nothing, and a test emits UpdateLocale itself.
class SilentUi : public Ui::IUi {
public:
    void Activate() override { }
    void SetState(Ui::State) override { }
    void UpdateUsbs() override { }
    void ConfirmQuit() override { }
};
