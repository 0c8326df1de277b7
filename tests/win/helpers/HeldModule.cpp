// A library with nothing in it: test programs copy it to a folder of their
// choice and have a helper process load it from there.
#include <windows.h>

extern "C" __declspec(dllexport) int HeldModuleMarker() {
    return 42;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
