#include "ui/Canvas.h"
#include "ui/Pack/ImgPanel.h"
#include "ui/PngResource.h"
#include "ui/Slideshow.h"
#include "ui/WideLabel.h"
#include "UiTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>

namespace {

TPngPicture Resource(const char* name) {
    TPngPicture picture;
    LoadPngFromResource(picture, GetModuleHandleA(nullptr), name);
    return picture;
}

int Alpha(const TPngPicture& p, int x, int y) {
    return p.View().Pixels[(static_cast<std::size_t>(y) * p.Width() + x) * 4 + 3];
}

TEST(Pictures, SlidesAreFullSizeWithOnlyOpaqueOrClearPixels) {
    for (const char* name : {"cImg1", "CIMG2", "cimg3", "cImg4", "cImg5"}) { // names match without regard to case
        const TPngPicture slide = Resource(name);
        EXPECT_EQ(slide.Width(), 473) << name;
        EXPECT_EQ(slide.Height(), 329) << name;
        std::set<int> alphas;
        for (std::size_t i = 3; i < slide.View().Width * 329u * 4; i += 4)
            alphas.insert(slide.View().Pixels[i]);
        EXPECT_EQ(alphas, (std::set<int>{0, 255})) << name;
    }
}

TEST(Pictures, BackgroundHasTheBlueFrameWithItsAlphas) {
    const TPngPicture bg = Resource("IMGPANEL1_PICTURE");
    ASSERT_EQ(bg.Width(), 686);
    ASSERT_EQ(bg.Height(), 427);
    for (const POINT corner : {POINT{0, 0}, POINT{685, 0}, POINT{0, 426}, POINT{685, 426}})
        EXPECT_EQ(Alpha(bg, corner.x, corner.y), 87);
    const auto onEdge = [&](int x, int y) {
        const std::uint8_t* p = bg.View().Pixels + (static_cast<std::size_t>(y) * 686 + x) * 4;
        EXPECT_EQ((std::array<int, 3>{p[0], p[1], p[2]}), (std::array<int, 3>{20, 146, 233})) << x << "," << y;
        EXPECT_GE(p[3], 192);
        EXPECT_LE(p[3], 238);
    };
    for (int x = 1; x < 685; x += 7) {
        onEdge(x, 0);
        onEdge(x, 426);
    }
    for (int y = 1; y < 426; y += 7) {
        onEdge(0, y);
        onEdge(685, y);
    }
    EXPECT_EQ(Alpha(bg, 300, 200), 255);
}

TEST(Pictures, CloseButtonsAreRedDiscsWithAWhiteCrossAndClearCorners) {
    struct TCase {
        const char* Name;
        std::array<int, 3> Red;
    } cases[] = {{"BTNCLOSE_NORMAL", {229, 0, 1}}, {"BTNCLOSE_OVER", {248, 53, 54}}};
    for (const auto& c : cases) {
        const TPngPicture p = Resource(c.Name);
        ASSERT_EQ(p.Width(), 24);
        ASSERT_EQ(p.Height(), 24);
        for (const POINT corner : {POINT{0, 0}, POINT{23, 0}, POINT{0, 23}, POINT{23, 23}})
            EXPECT_EQ(Alpha(p, corner.x, corner.y), 0) << c.Name;
        const std::uint8_t* red = p.View().Pixels + (static_cast<std::size_t>(3) * 24 + 12) * 4;
        EXPECT_EQ((std::array<int, 4>{red[0], red[1], red[2], red[3]}),
                  (std::array<int, 4>{c.Red[0], c.Red[1], c.Red[2], 255}));
        const std::uint8_t* centre = p.View().Pixels + (static_cast<std::size_t>(12) * 24 + 12) * 4;
        EXPECT_EQ((std::array<int, 4>{centre[0], centre[1], centre[2], centre[3]}),
                  (std::array<int, 4>{255, 255, 255, 255}));
        int partial = 0;
        for (int i = 0; i < 24 * 24; ++i)
            partial += p.View().Pixels[i * 4 + 3] > 0 && p.View().Pixels[i * 4 + 3] < 255;
        EXPECT_GT(partial, 8) << c.Name; // the anti-aliased rim
    }
}

TEST(Pictures, MissingResourceRaisesItsFixedMessage) {
    TPngPicture picture;
    try {
        LoadPngFromResource(picture, GetModuleHandleA(nullptr), "cImg6");
        FAIL() << "no error";
    } catch (const EPngResourceNotFound& e) {
        EXPECT_EQ(e.Message(), "不能从指定的资源文件中读取PNG图像.");
    }
    EXPECT_THROW(TSlideshow::LoadResImage("nothing"), EPngResourceNotFound);
}

TEST(Bitmap, NewAndResizedBitmapsAreWhiteAndPngsLandOnWhite) {
    TBitmap bitmap(5, 4);
    EXPECT_EQ(bitmap.Pixel(4, 3), RGB(255, 255, 255));
    RECT all{0, 0, 5, 4};
    FillRect(bitmap.DC(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    bitmap.SetHeight(6);
    EXPECT_EQ(bitmap.Pixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(bitmap.Pixel(4, 5), RGB(255, 255, 255));

    TPngPicture png;
    png.SetPixels(2, 1, {10, 20, 30, 0, 10, 20, 30, 255});
    bitmap.AssignPng(png);
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Pixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(bitmap.Pixel(1, 0), RGB(10, 20, 30));
}

// A label on a white panel, captured.
class WideLabel : public ::testing::Test {
protected:
    void SetUp() override {
        FPanel = std::make_unique<TImgPanel>(FForm.Handle(), 0, 0, 300, 100);
        FPanel->SetColor(RGB(255, 255, 255));
        FLabel = std::make_unique<TWideLabel>(*FPanel, 20, 10, 200, 60);
        FLabel->SetFont(TFontSpec{L"微软雅黑", -19, FW_NORMAL, ARABIC_CHARSET, RGB(0, 0, 0)});
    }
    // The bounding box of non-white pixels of the whole panel.
    RECT InkBox(const std::wstring& text) {
        FLabel->SetCaption(text);
        Capture(FShot, 300, 100, [this](HDC dc) { FPanel->PaintTo(dc); });
        RECT box{300, 100, -1, -1};
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 300; ++x)
                if (FShot.Pixel(x, y) != RGB(255, 255, 255)) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        return box;
    }
    TTestHostForm FForm{300, 100};
    std::unique_ptr<TImgPanel> FPanel;
    std::unique_ptr<TWideLabel> FLabel;
    TBitmap FShot;
};

TEST_F(WideLabel, TextIsCentredFromTheTopOnOneLineAndCutAtTheBox) {
    const RECT ink = InkBox(L"安装 Ab");
    ASSERT_GT(ink.right, ink.left);
    EXPECT_LE(std::abs((ink.left + ink.right) / 2 - 120), 2); // the box's centre column
    EXPECT_LT(ink.top, 10 + 10);                              // from the top, not centred vertically
    EXPECT_LE(ink.bottom, 10 + 30);

    // No word wrap: a long text stays on one line and is cut at the box's edges.
    const RECT longInk = InkBox(L"一二三四五六七八九十 一二三四五六七八九十 一二三四五六七八九十");
    EXPECT_GE(longInk.left, 20); // nothing outside the box
    EXPECT_LE(longInk.right, 220);
    EXPECT_GT(longInk.right - longInk.left, 180); // the line runs across the whole box
    EXPECT_LE(longInk.bottom, 10 + 30);
}

TEST_F(WideLabel, AmpersandRuleMatchesTheSystemPrefixHandling) {
    // "&&" draws one "&": the same pixels as the text drawn with prefixes off.
    InkBox(L"A&&B");
    TBitmap labelShot;
    labelShot.Assign(FShot);
    InkBox(L"");
    TGdiObject font = CreateFontFromSpec(FLabel->Font());
    TSavedDC saved(FShot.DC());
    SelectObject(FShot.DC(), font.Get());
    SetBkMode(FShot.DC(), TRANSPARENT);
    RECT box{20, 10, 220, 70};
    DrawTextW(FShot.DC(), L"A&B", 3, &box, DT_CENTER | DT_TOP | DT_EXPANDTABS | DT_NOPREFIX);
    for (int y = 10; y < 70; ++y)
        for (int x = 20; x < 220; ++x)
            ASSERT_EQ(labelShot.Pixel(x, y), FShot.Pixel(x, y)) << x << "," << y;
    // "&A" underlines the A instead of drawing the "&": it reaches lower than plain "A".
    EXPECT_GT(InkBox(L"&A").bottom, InkBox(L"A").bottom);
}

} // namespace
