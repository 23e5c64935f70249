#pragma once

#include "IUi.h"

// A facade that ignores what it is told; the widgets under test only use its
// signals.
class SilentUi : public Ui::IUi {
public:
    void Activate() override { }
    void SetState(Ui::State) override { }
    void UpdateUsbs() override { }
    void ConfirmQuit() override { }
};
