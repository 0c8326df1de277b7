// A stand-in for a DLL planted beside a program under a system DLL's name. Its
// marker export tells it apart from the system folder's module of that name.
#include <windows.h>

extern "C" __declspec(dllexport) int TavrinPlantedMarker() {
    return 7;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
