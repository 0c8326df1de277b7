#include "ui/SetupWindowView.h"
#include "ui/Canvas.h"
#include "ui/PngResource.h"
#include "UiTestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace {

TPngPicture Resource(const char* name) {
    TPngPicture picture;
    LoadPngFromResource(picture, GetModuleHandleA(nullptr), name);
    return picture;
}

// The background as the panel shows it: stretched to 601 x 427 over white.
std::unique_ptr<TBitmap> ExpectedBackground() {
    auto bitmap = std::make_unique<TBitmap>(601, 427);
    DrawRgba(Resource("IMGPANEL1_PICTURE").View(), bitmap->Surface(), 0, 0, 601, 427);
    return bitmap;
}

class SetupWindowView : public ::testing::Test {
protected:
    void SetUp() override {
        FView = std::make_unique<TSetupWindowView>(FForm);
        FForm.MessageHook = [this](UINT msg, WPARAM w, LPARAM l, LRESULT& r) {
            return FView->HandleMessage(msg, w, l, r);
        };
        FView->pb1().RemoveStaticEdge();
        PostMouse(Panel(), WM_MOUSEMOVE, 300, 200); // the pointer starts away from the close button
    }
    void TearDown() override {
        FForm.MessageHook = nullptr;
        FView.reset();
    }
    TBitmap& Shot() {
        Capture(FShot, 601, 427, [this](HDC dc) { FView->PaintTo(dc); });
        return FShot;
    }
    HWND Panel() { return FView->ImgPanel1().Handle(); }

    TTestHostForm FForm;
    std::unique_ptr<TSetupWindowView> FView;
    TBitmap FShot;
};

TEST_F(SetupWindowView, CreatesTheControlsInOrderWithTheirBounds) {
    TImgPanel& panel = FView->ImgPanel1();
    RECT r{};
    GetWindowRect(panel.Handle(), &r);
    MapWindowPoints(nullptr, FForm.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ((std::array<LONG, 4>{r.left, r.top, r.right, r.bottom}), (std::array<LONG, 4>{0, 0, 601, 427}));
    EXPECT_TRUE(panel.Stretch());
    EXPECT_FALSE(panel.AutoSize() || panel.Transparent() || panel.TitleBar());

    struct TExpected {
        const TGraphicControl* Control;
        RECT Bounds;
    } expected[] = {
        {&FView->lblInstall(), {12, 364, 589, 389}},
        {&FView->displayImg(), {58, 5, 531, 334}},
        {&FView->WideLabel1(), {12, 336, 589, 361}},
        {&FView->btnClose(), {577, 0, 600, 23}},
    };
    ASSERT_EQ(panel.Controls().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(panel.Controls()[i], expected[i].Control) << i; // creation order is painting order
        const RECT& b = expected[i].Control->BoundsRect();
        EXPECT_TRUE(EqualRect(&b, &expected[i].Bounds)) << i << ": " << b.left << "," << b.top;
    }

    const HWND bar = FView->pb1().Handle();
    GetWindowRect(bar, &r);
    MapWindowPoints(nullptr, panel.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ((std::array<LONG, 4>{r.left, r.top, r.right, r.bottom}), (std::array<LONG, 4>{11, 398, 588, 413}));
    EXPECT_EQ(GetParent(bar), panel.Handle());
    EXPECT_TRUE(GetWindowLongA(bar, GWL_STYLE) & PBS_SMOOTH);
    EXPECT_FALSE(GetWindowLongA(bar, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    EXPECT_FALSE(IsWindowVisible(FView->stat1()));

    EXPECT_EQ(FView->WideLabel1().Caption(), L"首次运行需要几分钟时间，请稍候......");
    EXPECT_EQ(FView->lblInstall().Font().Color, 80895u);
    EXPECT_EQ(FView->WideLabel1().Font().Color, 0u);
    for (const TWideLabel* label : {&FView->lblInstall(), &FView->WideLabel1()}) {
        EXPECT_EQ(label->Font().Height, -19);
        EXPECT_EQ(label->Font().Charset, 178);
        EXPECT_STREQ(label->Font().Face, L"微软雅黑");
        EXPECT_FALSE(label->Ellipsis());
    }
    EXPECT_EQ(FView->btnClose().ButtonLayout(), iblImageCenter);
    EXPECT_EQ(FView->btnClose().ButtonStyle(), ibsNoFrame);
    EXPECT_TRUE(FView->btnClose().ImageDown().Empty());
}

TEST_F(SetupWindowView, BackgroundIsStretchedWithoutTheRightFrameColumn) {
    const auto expected = ExpectedBackground();
    TBitmap& shot = Shot();
    // Points of the background outside every control, the frame edges included.
    const POINT points[] = {{0, 0},     {0, 200}, {300, 0},   {300, 426}, {600, 200}, {600, 30},
                            {599, 200}, {5, 420}, {300, 335}, {40, 100},  {560, 200}, {300, 418}};
    for (const POINT& p : points)
        EXPECT_EQ(ToRgb(shot.Pixel(p.x, p.y)), ToRgb(expected->Pixel(p.x, p.y))) << p.x << "," << p.y;
    // The frame (blue 233 over white at alpha 192..238) shows left and bottom but not right.
    const TRgb left = ToRgb(shot.Pixel(0, 200));
    const TRgb right = ToRgb(shot.Pixel(600, 200));
    EXPECT_LT(left.R, 80);
    EXPECT_GT(right.R, 150);
    EXPECT_LT(ToRgb(shot.Pixel(300, 426)).R, 80);
}

TEST_F(SetupWindowView, SlideAreaShowsTheFirstSlideOnWhite) {
    FView->StartSlideshow();
    EXPECT_TRUE(FView->Slideshow().startMoveT().Enabled());
    EXPECT_FALSE(FView->Slideshow().moveImgT().Enabled());
    EXPECT_EQ(FView->Slideshow().State().CurIndex(), -999);

    TPngPicture slide = Resource("cImg1");
    TBitmap& shot = Shot();
    int transparentSeen = 0;
    for (int y = 0; y < 329; y += 3)
        for (int x = 0; x < 473; x += 3) {
            const std::uint8_t* s = slide.View().Pixels + (static_cast<std::size_t>(y) * 473 + x) * 4;
            const TRgb expected = s[3] == 0 ? TRgb{255, 255, 255} : TRgb{s[0], s[1], s[2]};
            transparentSeen += s[3] == 0;
            ASSERT_EQ(ToRgb(shot.Pixel(58 + x, 5 + y)), expected) << x << "," << y;
        }
    EXPECT_GT(transparentSeen, 0);
}

// Checks the display area against columns taken from two slides.
void ExpectFrame(TBitmap& shot, const TBitmap& leaving, const TBitmap& coming, int offset) {
    for (int y = 0; y < 329; y += 7)
        for (int x = 0; x < 473; ++x) {
            const COLORREF expected =
                x < 473 - offset ? leaving.Pixel(x + offset, y) : coming.Pixel(x - (473 - offset), y);
            ASSERT_EQ(ToRgb(shot.Pixel(58 + x, 5 + y)), ToRgb(expected))
                << "offset " << offset << " at " << x << "," << y;
        }
}

TEST_F(SetupWindowView, TheWindowOnScreenShowsWhatTheViewPaints) {
    FView->StartSlideshow();
    FView->lblInstall().SetCaption(L"正在为您搜集服务资源");
    FView->pb1().SetPosition(50);
    RedrawWindow(FForm.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
    TBitmap screen(601, 427);
    {
        TWindowDC dc(FForm.Handle());
        BitBlt(screen.DC(), 0, 0, 601, 427, dc.Get(), 0, 0, SRCCOPY);
    }
    TBitmap& painted = Shot();
    int differing = 0;
    for (int y = 0; y < 427; ++y)
        for (int x = 0; x < 601; ++x)
            differing += screen.Pixel(x, y) != painted.Pixel(x, y);
    EXPECT_EQ(differing, 0);
    // And the progress bar's first half is drawn in the highlight colour.
    EXPECT_EQ(ToRgb(screen.Pixel(100, 405)), ToRgb(GetSysColor(COLOR_HIGHLIGHT)));
}

TEST_F(SetupWindowView, TransitionFramesPushTheSlideLeftAndEndOnTheNextSlide) {
    FView->StartSlideshow();
    TSlideshow& show = FView->Slideshow();
    show.startMoveTTimer();
    EXPECT_FALSE(show.startMoveT().Enabled());
    EXPECT_TRUE(show.moveImgT().Enabled());

    show.moveImgTTimer();
    ExpectFrame(Shot(), *show.Slide(0), *show.Slide(1), 60);
    for (int frame = 2; frame <= 8; ++frame)
        show.moveImgTTimer();
    EXPECT_EQ(SlideOffset, 473);
    ExpectFrame(Shot(), *show.Slide(0), *show.Slide(1), 473); // the coming slide exactly as stored

    show.moveImgTTimer(); // the ninth tick draws nothing and starts the pause
    ExpectFrame(Shot(), *show.Slide(0), *show.Slide(1), 473);
    EXPECT_TRUE(show.startMoveT().Enabled());
    EXPECT_FALSE(show.moveImgT().Enabled());
    EXPECT_EQ(show.State().CurIndex(), 1);
    // Drawing into the display never changed the slides.
    TBitmap fresh;
    fresh.AssignPng(Resource("cImg2"));
    EXPECT_EQ(ToRgb(show.Slide(1)->Pixel(10, 10)), ToRgb(fresh.Pixel(10, 10)));
}

TEST_F(SetupWindowView, TimersRunTheFirstTransitionAndABlockedThreadDoesNotCatchUp) {
    FView->StartSlideshow();
    TSlideshow& show = FView->Slideshow();
    // The pause timer starts the first transition (the wait is a bound, not a measurement).
    for (int i = 0; i < 200 && !show.moveImgT().Enabled() && show.State().CurIndex() == -999; ++i)
        PumpMessagesFor(50);
    ASSERT_NE(show.State().CurIndex(), -999);

    // A fresh transition, then the thread blocks for many tick intervals.
    while (show.moveImgT().Enabled())
        PumpMessagesFor(5);
    show.startMoveTTimer();
    Sleep(300);
    MSG msg{};
    for (int i = 0; i < 100 && !PeekMessageA(&msg, FForm.Handle(), WM_TIMER, WM_TIMER, PM_REMOVE); ++i)
        Sleep(5);
    if (msg.wParam != TSlideshow::kMoveImgTimerId)
        GTEST_SKIP() << "no animation tick arrived";
    DispatchMessageA(&msg);
    EXPECT_EQ(SlideOffset, 60); // one step, however long the thread was blocked
    while (show.moveImgT().Enabled())
        PumpMessagesFor(5);
    EXPECT_EQ(show.State().CurIndex(), 2);
    ExpectFrame(Shot(), *show.Slide(1), *show.Slide(2), 473);
}

TEST_F(SetupWindowView, CloseButtonShowsNormalOverAndPushedPictures) {
    const TPngPicture normal = Resource("BTNCLOSE_NORMAL");
    const TPngPicture over = Resource("BTNCLOSE_OVER");
    const auto background = ExpectedBackground();
    // The expected 23 x 23 button area: the picture over the background, cut to the button.
    const auto expectButton = [&](const TPngPicture& picture, int dx, const char* what) {
        TBitmap expected(601, 427);
        BitBlt(expected.DC(), 0, 0, 601, 427, background->DC(), 0, 0, SRCCOPY);
        DrawRgba(picture.View(), expected.Surface(), 577 + dx, dx, 24, 24, TPixelRect{577, 0, 600, 23});
        TBitmap& shot = Shot();
        for (int y = 0; y < 24; ++y)
            for (int x = 576; x < 601; ++x)
                ASSERT_EQ(ToRgb(shot.Pixel(x, y)), ToRgb(expected.Pixel(x, y))) << what << " at " << x << "," << y;
    };
    int clicks = 0;
    FView->OnCloseClick = [&clicks] { ++clicks; };

    expectButton(normal, 0, "normal");
    PostMouse(Panel(), WM_MOUSEMOVE, 588, 11);
    expectButton(over, 0, "hovered");
    PostMouse(Panel(), WM_LBUTTONDOWN, 588, 11, MK_LBUTTON);
    expectButton(over, 2, "held");
    PostMouse(Panel(), WM_MOUSEMOVE, 500, 200, MK_LBUTTON);
    expectButton(normal, 0, "dragged off");
    PostMouse(Panel(), WM_LBUTTONUP, 500, 200);
    EXPECT_EQ(clicks, 0);

    PostMouse(Panel(), WM_MOUSEMOVE, 588, 11);
    PostMouse(Panel(), WM_LBUTTONDOWN, 588, 11, MK_LBUTTON);
    PostMouse(Panel(), WM_LBUTTONUP, 588, 11);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(FForm.SysCommands.empty());
}

TEST_F(SetupWindowView, OnlyALeftPressOnTheBackgroundMovesTheWindow) {
    struct TCase {
        const char* Where;
        UINT Message;
        int X, Y;
        bool Moves;
    } cases[] = {
        {"between slide area and hint line", WM_LBUTTONDOWN, 300, 335, true},
        {"bottom band below the bar", WM_LBUTTONDOWN, 300, 420, true},
        {"right edge beside the close button", WM_LBUTTONDOWN, 600, 10, true},
        {"right press", WM_RBUTTONDOWN, 300, 335, false},
        {"middle press", WM_MBUTTONDOWN, 300, 420, false},
        {"empty part of the status line", WM_LBUTTONDOWN, 15, 370, false},
        {"hint line", WM_LBUTTONDOWN, 300, 340, false},
        {"slide area", WM_LBUTTONDOWN, 100, 100, false},
    };
    for (const auto& c : cases) {
        FForm.SysCommands.clear();
        PostMouse(Panel(), c.Message, c.X, c.Y, c.Message == WM_LBUTTONDOWN ? MK_LBUTTON : 0);
        const std::vector<WPARAM> expected = c.Moves ? std::vector<WPARAM>{0xF012} : std::vector<WPARAM>{};
        EXPECT_EQ(FForm.SysCommands, expected) << c.Where;
        PostMouse(Panel(), c.Message == WM_LBUTTONDOWN ? WM_LBUTTONUP : c.Message + 1, c.X, c.Y);
        EXPECT_NE(GetCapture(), Panel()) << c.Where;
    }
}

TEST_F(SetupWindowView, StatusTextRepaintsTheLineAtOnce) {
    const auto orangePixels = [this] {
        TBitmap& shot = Shot();
        int count = 0;
        for (int y = 364; y < 389; ++y)
            for (int x = 12; x < 589; ++x) {
                const TRgb c = ToRgb(shot.Pixel(x, y));
                count += c.R > 200 && c.G < 140 && c.B < 120;
            }
        return count;
    };
    FView->lblInstall().SetCaption(L"");
    EXPECT_EQ(orangePixels(), 0);
    FView->lblInstall().SetCaption(L"正在为您搜集服务资源");
    EXPECT_EQ(FView->lblInstall().Caption(), L"正在为您搜集服务资源");
    EXPECT_GT(orangePixels(), 100);
}

TEST_F(SetupWindowView, ProgressBarKeepsItsPositionWithinTheRange) {
    TProgressBar& bar = FView->pb1();
    bar.SetPosition(5000);
    EXPECT_EQ(bar.Position(), 100);
    EXPECT_EQ(SendMessageA(bar.Handle(), PBM_GETPOS, 0, 0), 100);
    bar.SetMax(10000);
    EXPECT_EQ(bar.Position(), 100);
    EXPECT_EQ(SendMessageA(bar.Handle(), PBM_GETRANGE, FALSE, 0), 10000);
    bar.SetPosition(-5);
    EXPECT_EQ(bar.Position(), 0);
    bar.SetPosition(70);
    bar.SetMax(50);
    EXPECT_EQ(bar.Position(), 50);
    EXPECT_THROW(bar.SetRange(10, 9), EInvalidProgressRange);
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 50);
    EXPECT_EQ(bar.Position(), 50);
}

TEST_F(SetupWindowView, ReleasingTheSlidesStopsTheSlideshow) {
    FView->StartSlideshow();
    FView->Slideshow().startMoveTTimer();
    FView->ReleaseSlides();
    EXPECT_EQ(FView->Slideshow().SlideCount(), 0u);
    EXPECT_FALSE(FView->Slideshow().moveImgT().Enabled());
    EXPECT_FALSE(FView->Slideshow().startMoveT().Enabled());
    const int before = SlideOffset;
    FView->Slideshow().moveImgTTimer();
    EXPECT_EQ(SlideOffset, before);
}

} // namespace
