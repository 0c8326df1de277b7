#include "ui/CommonControls.h"

#include "util/SystemLibrary.h"

#include <commctrl.h>

bool InitCommonControlClasses(DWORD classes) {
    static const TSystemLibrary comctl32("comctl32.dll");
    static const auto initCommonControlsEx = comctl32.Function<decltype(&InitCommonControlsEx)>("InitCommonControlsEx");
    INITCOMMONCONTROLSEX init{sizeof(init), classes};
    return initCommonControlsEx(&init) != FALSE;
}
