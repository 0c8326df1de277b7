// The component serves the thread's pending messages while it works, and
// leaves a quit message for the caller's own loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "archive/UnZip.h"
#include "ArchiveTestSupport.h"

namespace {

constexpr UINT kProbe = WM_APP + 7;

// Removes the pending messages up to and including a quit message.
std::vector<UINT> DrainQueue() {
    std::vector<UINT> messages;
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        messages.push_back(msg.message);
        if (msg.message == WM_QUIT)
            break;
    }
    return messages;
}

TEST(ArchiveMessages, PendingMessagesAreServedAndQuitIsKept) {
    for (const bool serve : {true, false}) {
        TUnZip unzip;
        unzip.SetZipName(ArchiveFixture("stored100000.zip"));
        unzip.SetDoProcessMessages(serve);
        MSG msg{};
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); // make sure the thread has a queue
        ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), kProbe, 0, 0));
        PostQuitMessage(3);
        EXPECT_TRUE(unzip.TestArchive());
        const std::vector<UINT> expected = serve ? std::vector<UINT>{WM_QUIT} : std::vector<UINT>{kProbe, WM_QUIT};
        EXPECT_EQ(DrainQueue(), expected) << serve;
    }
}

} // namespace
