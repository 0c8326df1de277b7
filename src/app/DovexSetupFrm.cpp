#include "DovexSetupFrm.h"

TDovexSetupFrm::TDovexSetupFrm() {
    CreateBorderlessWindow("TDovexSetupFrm", kClientWidth, kClientHeight);
}

void TDovexSetupFrm::FormShow() {
    CentreOnDesktop();
}

LRESULT TDovexSetupFrm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SHOWWINDOW && wParam)
        FormShow();
    return TForm::WndProc(msg, wParam, lParam);
}
