#include "ui/Pack/ImgButton.h"
#include "ui/Pack/ImgPanel.h"
#include "UiTestSupport.h"

#include <gtest/gtest.h>
#include <png.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kPanelColor = RGB(40, 40, 200);

TPngPicture Solid(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255) {
    std::vector<std::uint8_t> px;
    for (int i = 0; i < 24 * 24; ++i)
        px.insert(px.end(), {r, g, b, a});
    TPngPicture picture;
    picture.SetPixels(24, 24, std::move(px));
    return picture;
}

class ImgButton : public ::testing::Test {
protected:
    void SetUp() override {
        FPanel = std::make_unique<TImgPanel>(FForm.Handle(), 0, 0, 200, 100);
        FPanel->SetColor(kPanelColor);
        FButton = std::make_unique<TImgButton>(*FPanel, 50, 20);
        FButton->SetButtonLayout(iblImageCenter);
        FButton->SetButtonStyle(ibsNoFrame);
        FButton->SetImageNormal(Solid(255, 0, 0));
        PostMouse(FPanel->Handle(), WM_MOUSEMOVE, 190, 90); // the pointer starts away from the button
        ASSERT_FALSE(FButton->MouseOver());
    }
    TRgb At(int x, int y) {
        Capture(FShot, 200, 100, [this](HDC dc) { FPanel->PaintTo(dc); });
        return ToRgb(FShot.Pixel(50 + x, 20 + y));
    }
    void Mouse(UINT msg, int x, int y, WPARAM keys = 0) { PostMouse(FPanel->Handle(), msg, 50 + x, 20 + y, keys); }

    TTestHostForm FForm{200, 100};
    std::unique_ptr<TImgPanel> FPanel;
    std::unique_ptr<TImgButton> FButton;
    TBitmap FShot;
};

TEST_F(ImgButton, ClickComesOnceBeforeMouseUpAndOnlyForAReleaseInside) {
    std::vector<std::string> events;
    FButton->OnMouseDown = [&](TMouseButton, UINT, int, int) { events.push_back("down"); };
    FButton->OnClick = [&] { events.push_back("click"); };
    FButton->OnMouseUp = [&](TMouseButton, UINT, int, int) { events.push_back("up"); };

    Mouse(WM_MOUSEMOVE, 10, 10);
    Mouse(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    EXPECT_EQ(FButton->ButtonState(), TImgButtonState::Down);
    Mouse(WM_LBUTTONUP, 10, 10);
    EXPECT_EQ(events, (std::vector<std::string>{"down", "click", "up"}));
    EXPECT_EQ(FButton->ButtonState(), TImgButtonState::Up);

    events.clear();
    Mouse(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    Mouse(WM_MOUSEMOVE, 60, 60, MK_LBUTTON);
    EXPECT_FALSE(FButton->MouseOver()); // leaving is reported while the mouse is captured
    Mouse(WM_LBUTTONUP, 60, 60);
    EXPECT_EQ(events, (std::vector<std::string>{"down", "up"}));
    EXPECT_EQ(At(0, 0), (TRgb{255, 0, 0}));

    events.clear();
    Mouse(WM_MOUSEMOVE, 10, 10);
    Mouse(WM_RBUTTONDOWN, 10, 10, MK_RBUTTON);
    EXPECT_EQ(FButton->ButtonState(), TImgButtonState::Up);
    Mouse(WM_RBUTTONUP, 10, 10);
    EXPECT_EQ(events, (std::vector<std::string>{"down", "up"}));
}

TEST_F(ImgButton, PushedButtonFallsBackFromDownToOverToNormalShiftedByTwo) {
    struct TCase {
        bool HasDown, HasOver;
        TRgb Expected;
    } cases[] = {
        {true, true, {0, 0, 255}},
        {false, true, {0, 255, 0}},
        {false, false, {255, 0, 0}},
    };
    for (const auto& c : cases) {
        FButton->SetImageDown(c.HasDown ? Solid(0, 0, 255) : TPngPicture());
        FButton->SetImageOver(c.HasOver ? Solid(0, 255, 0) : TPngPicture());
        Mouse(WM_MOUSEMOVE, 10, 10);
        Mouse(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
        EXPECT_EQ(At(2, 2), c.Expected);
        EXPECT_EQ(At(1, 1), ToRgb(kPanelColor)); // uncovered by the shifted picture
        EXPECT_EQ(At(22, 22), c.Expected);
        EXPECT_EQ(At(23, 23), ToRgb(kPanelColor)); // cut at the button's bounds
        Mouse(WM_LBUTTONUP, 10, 10);
        EXPECT_EQ(At(0, 0), (c.HasOver ? TRgb{0, 255, 0} : TRgb{255, 0, 0}));
    }
}

TEST_F(ImgButton, DisabledButtonShowsAThirdOfTheAlphaAndIgnoresThePointer) {
    FButton->SetImageOver(Solid(0, 255, 0));
    FButton->SetEnabled(false);
    EXPECT_EQ(FButton->ButtonState(), TImgButtonState::Disabled);
    const TRgb faded{BlendChannel(255, 40, 85), BlendChannel(0, 40, 85), BlendChannel(0, 200, 85)}; // alpha 255 div 3
    EXPECT_EQ(At(5, 5), faded);
    int enters = 0;
    FButton->OnMouseEnter = [&enters] { ++enters; };
    Mouse(WM_MOUSEMOVE, 10, 10);
    EXPECT_EQ(enters, 0);
    EXPECT_FALSE(FButton->MouseOver());
    EXPECT_EQ(At(5, 5), faded);

    Mouse(WM_MOUSEMOVE, 100, 80);
    FButton->SetEnabled(true);
    EXPECT_EQ(FButton->ButtonState(), TImgButtonState::Up);
    Mouse(WM_MOUSEMOVE, 10, 10);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(At(5, 5), (TRgb{0, 255, 0}));
}

TEST_F(ImgButton, SettingTheNormalPictureRenewsTheFadedCopyAtOnce) {
    FButton->SetImageNormal(Solid(1, 2, 3, 200));
    ASSERT_EQ(FButton->DisabledImage().Width(), 24);
    auto& faded = const_cast<TPngPicture&>(FButton->DisabledImage()).Pixels();
    EXPECT_EQ(faded[3], 66);
    EXPECT_EQ(faded[0], 1);
    EXPECT_EQ(faded[faded.size() - 1], 66);
}

TEST(ImgButtonFading, PalettePicturesKeepTheirAlpha) {
    // A two-entry palette picture with alpha 90 and 255 entries, written by libpng.
    const std::uint8_t indices[2] = {0, 1};
    const std::uint8_t palette[8] = {10, 20, 30, 90, 40, 50, 60, 255};
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 2;
    image.height = 1;
    image.format = PNG_FORMAT_RGBA_COLORMAP;
    image.colormap_entries = 2;
    std::vector<std::uint8_t> file(4096);
    png_alloc_size_t size = file.size();
    ASSERT_TRUE(png_image_write_to_memory(&image, file.data(), &size, 0, indices, 0, palette));
    TPngPicture indexed;
    indexed.LoadFromMemory(file.data(), size);
    ASSERT_TRUE(indexed.IsPalette());
    TPngPicture faded;
    TImgButton::MakeFadedCopy(indexed, faded);
    EXPECT_EQ(faded.Pixels(), indexed.Pixels());

    TPngPicture rgba;
    rgba.SetPixels(2, 1, {10, 20, 30, 90, 40, 50, 60, 255});
    TImgButton::MakeFadedCopy(rgba, faded);
    EXPECT_EQ(faded.Pixels(), (std::vector<std::uint8_t>{10, 20, 30, 30, 40, 50, 60, 85}));
}

TEST_F(ImgButton, FlatFrameFollowsHoverAndPush) {
    FButton->SetImageNormal(TPngPicture());
    FButton->SetButtonStyle(ibsFlat);
    const TRgb shadow = ToRgb(GetSysColor(COLOR_BTNSHADOW));
    const TRgb highlight = ToRgb(GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(At(0, 0), ToRgb(kPanelColor));
    Mouse(WM_MOUSEMOVE, 10, 10);
    EXPECT_EQ(At(0, 0), highlight);
    EXPECT_EQ(At(22, 22), shadow);
    Mouse(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    EXPECT_EQ(At(0, 0), shadow);
    EXPECT_EQ(At(22, 22), highlight);
    Mouse(WM_LBUTTONUP, 10, 10);
}

} // namespace
