// Loads the libraries named on its command line and stays until its parent
// ends, answering pings so a test can tell that it still runs.
//   ModuleHolder.exe PARENT-PID EVENT-PREFIX LIBRARY...
// Events (created by the parent): PREFIX-ready is set once every library is
// loaded; each set of PREFIX-ping is answered by setting PREFIX-pong.
#include <windows.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 4)
        return 2;
    const DWORD parentId = static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10));
    const std::string prefix = argv[2];
    for (int i = 3; i < argc; ++i)
        if (!LoadLibraryA(argv[i]))
            return 3;

    const HANDLE parent = OpenProcess(SYNCHRONIZE, FALSE, parentId);
    const HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, (prefix + "-ready").c_str());
    const HANDLE ping = OpenEventA(SYNCHRONIZE, FALSE, (prefix + "-ping").c_str());
    const HANDLE pong = OpenEventA(EVENT_MODIFY_STATE, FALSE, (prefix + "-pong").c_str());
    if (!parent || !ready || !ping || !pong)
        return 4;
    SetEvent(ready);

    const HANDLE waits[] = {parent, ping};
    while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1)
        SetEvent(pong);
    return 5; // the parent has gone
}
