#pragma once
// The setup controller's state and the close rule that depends on it.
#include <cstdint>

namespace ControllerState {

constexpr int32_t kCreated = 0;     // window created, download not started
constexpr int32_t kDownloading = 1; // set before the worker starts
constexpr int32_t kInstalling = 2;  // download finished, install sequence pending or running
constexpr int32_t kInstalled = 9;   // installation done, finish prompt showing
constexpr int32_t kDownloadFailed = -1;

} // namespace ControllerState

// The window may be closed only while nothing is in progress: before the
// download, after it failed and after the installation.
constexpr bool CloseAllowed(int32_t state) {
    return state == ControllerState::kCreated || state == ControllerState::kDownloadFailed ||
           state == ControllerState::kInstalled;
}
