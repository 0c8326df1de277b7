#pragma once
// The setup window, which is also the setup controller.
#include "ui/Form.h"

class TDovexSetupFrm : public TForm {
public:
    static constexpr int kClientWidth = 601;
    static constexpr int kClientHeight = 427;

    TDovexSetupFrm();

    void FormShow();

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};
