#include "app/DovexSetupFrm.h"

#include <gtest/gtest.h>

namespace {

TEST(SetupWindow, IsABorderless601By427PopupCentredOnTheDesktop) {
    TDovexSetupFrm form;
    form.Show();
    const HWND hwnd = form.Handle();
    ASSERT_NE(hwnd, nullptr);

    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 601);
    EXPECT_EQ(client.bottom, 427);

    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

    RECT window{};
    GetWindowRect(hwnd, &window);
    EXPECT_EQ(window.right - window.left, 601);
    EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXVIRTUALSCREEN) - 601) / 2);
    EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYVIRTUALSCREEN) - 427) / 2);
}

TEST(SetupWindow, ClosingTheMainFormEndsTheMessageLoop) {
    TDovexSetupFrm form;
    form.SetMainForm(true);
    form.Show();
    PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
    MSG msg{};
    int loops = 0;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0 && ++loops < 100000)
        DispatchMessageA(&msg);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(form.Handle(), nullptr);
}

} // namespace
