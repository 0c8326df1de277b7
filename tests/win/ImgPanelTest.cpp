#include "ui/Pack/ImgPanel.h"
#include "UiTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

namespace {

constexpr COLORREF kParentColor = RGB(10, 200, 30);
constexpr COLORREF kChildColor = RGB(200, 20, 90);

// A picture of w x h whose pixels come from a function of (x, y) giving R, G, B, A.
template <typename F> TPngPicture MakePicture(int w, int h, F pixel) {
    std::vector<std::uint8_t> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::array<std::uint8_t, 4> p = pixel(x, y);
            px.insert(px.end(), p.begin(), p.end());
        }
    TPngPicture picture;
    picture.SetPixels(w, h, std::move(px));
    return picture;
}

// A parent panel filling the host form and a child panel at (50, 40), 100 x 80.
class ImgPanel : public ::testing::Test {
protected:
    void SetUp() override {
        FParent = std::make_unique<TImgPanel>(FForm.Handle(), 0, 0, 300, 200);
        FParent->SetColor(kParentColor);
        FChild = std::make_unique<TImgPanel>(FParent->Handle(), 50, 40, 100, 80);
        FChild->SetColor(kChildColor);
        PumpMessages();
    }
    TBitmap& Shot() {
        Capture(FShot, 100, 80, [this](HDC dc) { FChild->PaintTo(dc); });
        return FShot;
    }
    TRgb At(int x, int y) { return ToRgb(Shot().Pixel(x, y)); }

    TTestHostForm FForm{300, 200};
    std::unique_ptr<TImgPanel> FParent;
    std::unique_ptr<TImgPanel> FChild;
    TBitmap FShot;
};

TEST_F(ImgPanel, WithoutPictureShowsColorOrTheParentBeneath) {
    EXPECT_EQ(At(0, 0), ToRgb(kChildColor));
    EXPECT_EQ(At(99, 79), ToRgb(kChildColor));
    // Transparent: the parent's own painting at the child's place, here its picture.
    FParent->SetPicture(MakePicture(300, 200, [](int x, int y) {
        return std::array<std::uint8_t, 4>{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7, 255};
    }));
    FChild->SetTransparent(true);
    EXPECT_EQ(At(0, 0), (TRgb{50, 40, 7}));
    EXPECT_EQ(At(99, 79), (TRgb{149, 119, 7}));
}

TEST_F(ImgPanel, UnstretchedPictureLeavesTheRestWhiteAndAlphaZeroShowsWhiteOrParent) {
    // 10 x 10 opaque red with a transparent pixel at (3, 3) and a half-transparent one at (4, 4).
    FChild->SetPicture(MakePicture(10, 10, [](int x, int y) {
        const std::uint8_t a = x == 3 && y == 3 ? 0 : x == 4 && y == 4 ? 128 : 255;
        return std::array<std::uint8_t, 4>{255, 0, 0, a};
    }));
    EXPECT_EQ(At(0, 0), (TRgb{255, 0, 0}));
    EXPECT_EQ(At(3, 3), (TRgb{255, 255, 255}));
    EXPECT_EQ(At(4, 4), (TRgb{255, BlendChannel(0, 255, 128), BlendChannel(0, 255, 128)}));
    EXPECT_EQ(At(10, 10), (TRgb{255, 255, 255})); // uncovered: white, not Color
    EXPECT_EQ(At(99, 79), (TRgb{255, 255, 255}));

    FChild->SetTransparent(true);
    EXPECT_TRUE(FChild->Picture().Transparent());
    EXPECT_EQ(At(3, 3), ToRgb(kParentColor));
    EXPECT_EQ(At(50, 50), ToRgb(kParentColor));
    EXPECT_EQ(At(4, 4), (TRgb{BlendChannel(255, 10, 128), BlendChannel(0, 200, 128), BlendChannel(0, 30, 128)}));
}

TEST_F(ImgPanel, StretchTakesEffectAtTheNextRepaintOnly) {
    // 2 x 2: red, green / blue, white.
    FChild->SetPicture(MakePicture(2, 2, [](int x, int y) {
        static const std::uint8_t colours[4][4] = {
            {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
        const auto& c = colours[y * 2 + x];
        return std::array<std::uint8_t, 4>{c[0], c[1], c[2], c[3]};
    }));
    UpdateWindow(FChild->Handle());
    FChild->SetStretch(true);
    RECT update{};
    EXPECT_FALSE(GetUpdateRect(FChild->Handle(), &update, FALSE)); // no repaint requested
    EXPECT_EQ(At(49, 39), (TRgb{255, 0, 0}));
    EXPECT_EQ(At(50, 39), (TRgb{0, 255, 0}));
    EXPECT_EQ(At(49, 40), (TRgb{0, 0, 255}));
    EXPECT_EQ(At(99, 79), (TRgb{255, 255, 255}));
}

TEST_F(ImgPanel, AutoSizeFollowsThePictureUnlessAligned) {
    const TPngPicture picture = MakePicture(33, 21, [](int, int) { return std::array<std::uint8_t, 4>{1, 2, 3, 255}; });
    struct TCase {
        TAlign Align;
        int Width, Height;
    } cases[] = {
        {TAlign::alNone, 33, 21}, {TAlign::alClient, 100, 80}, {TAlign::alTop, 100, 21}, {TAlign::alLeft, 33, 80}};
    for (const auto& c : cases) {
        TImgPanel panel(FParent->Handle(), 50, 40, 100, 80);
        panel.SetAlign(c.Align);
        panel.SetAutoSize(true);
        panel.SetPicture(picture);
        EXPECT_EQ(panel.Width(), c.Width);
        EXPECT_EQ(panel.Height(), c.Height);
        RECT r{};
        GetClientRect(panel.Handle(), &r);
        EXPECT_EQ(r.right, c.Width);
    }
    // Switching AutoSize on with a picture already there sizes at once.
    TImgPanel late(FParent->Handle(), 0, 0, 100, 80);
    late.SetPicture(picture);
    EXPECT_EQ(late.Width(), 100);
    late.SetAutoSize(true);
    EXPECT_EQ(late.Width(), 33);
}

TEST_F(ImgPanel, CaptionRulesAndTitleBar) {
    TBitmap plain;
    plain.Assign(Shot());
    const auto sameAsPlain = [&] {
        TBitmap& shot = Shot();
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 100; ++x)
                if (shot.Pixel(x, y) != plain.Pixel(x, y))
                    return false;
        return true;
    };
    FChild->SetCaption(" \t  ");
    EXPECT_TRUE(sameAsPlain());
    FChild->SetTitleBar(true);
    EXPECT_TRUE(FChild->TitleBar());
    EXPECT_TRUE(sameAsPlain());

    FChild->SetCaption("Hi");
    FChild->SetCaptionPosition(10, -1); // one coordinate unset: placed by Alignment
    EXPECT_FALSE(sameAsPlain());
    const RECT client{0, 0, 100, 80};
    EXPECT_TRUE(EqualRect(&FChild->CaptionRect(), &client));
    FChild->SetCaptionPosition(10, 12);
    Shot();
    const RECT& r = FChild->CaptionRect();
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 12);
    EXPECT_GT(r.right, 10);
    EXPECT_GT(r.bottom, 12);
}

TEST_F(ImgPanel, BackgroundEraseIsIgnored) {
    TBitmap target(100, 80);
    RECT all{0, 0, 100, 80};
    FillRect(target.DC(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_NE(SendMessageA(FChild->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.DC()), 0), 0);
    EXPECT_EQ(ToRgb(target.Pixel(50, 40)), (TRgb{0, 0, 0}));
}

} // namespace
