#include "ui/Pack/ImgButtonLayout.h"

#include <gtest/gtest.h>

namespace {

// The close button as the setup window uses it: 23 x 23, 24 x 24 pictures, no
// caption, no down picture, centred, always enabled.
TEST(ImgButtonLayout, CloseButtonSituationsPickPictureAndPosition) {
    struct TCase {
        const char* Name;
        TImgButtonState State;
        bool MouseOver;
        TImgButtonPicture Picture;
        int X, Y;
    } cases[] = {
        {"pointer elsewhere", TImgButtonState::Up, false, TImgButtonPicture::Normal, 0, 0},
        {"pointer over", TImgButtonState::Up, true, TImgButtonPicture::Over, 0, 0},
        {"held, pointer over", TImgButtonState::Down, true, TImgButtonPicture::Over, 2, 2},
        {"held, dragged off", TImgButtonState::Down, false, TImgButtonPicture::Normal, 0, 0},
    };
    for (const auto& c : cases) {
        const TImgButtonSituation s{c.State, c.MouseOver, true, false, true, true};
        EXPECT_EQ(ChooseImgButtonPicture(s), c.Picture) << c.Name;
        const auto p = PlaceImgButton(iblImageCenter, 23, 23, 24, 24, 0, 0, false, IsPushed(s));
        EXPECT_EQ(p.PictureX, c.X) << c.Name;
        EXPECT_EQ(p.PictureY, c.Y) << c.Name;
    }
}

TEST(ImgButtonLayout, PictureChoiceFallsBackInOrder) {
    using P = TImgButtonPicture;
    using S = TImgButtonState;
    struct TCase {
        TImgButtonSituation Situation;
        P Expected;
    } cases[] = {
        {{S::Down, true, true, true, true, true}, P::Down},     // pushed with a down picture
        {{S::Down, true, true, false, false, true}, P::Normal}, // pushed, neither down nor over
        {{S::Up, true, false, false, true, true}, P::Normal},   // over but disabled flag off
        {{S::Disabled, true, false, false, true, true}, P::Disabled},
        {{S::Disabled, false, false, false, true, false}, P::Normal}, // no faded picture
        {{S::Down, false, true, true, true, true}, P::Normal},        // held but dragged off: not pushed
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseImgButtonPicture(c.Situation), c.Expected);
}

TEST(ImgButtonLayout, EveryLayoutPlacesPictureAndCaption) {
    // 80 x 60 button, 20 x 16 picture (20 high with a caption), 30 x 10 caption.
    struct TCase {
        TImgButtonLayout Layout;
        bool Pushed;
        TImgButtonPlacement Expected;
    } cases[] = {
        {iblImageAbove, false, {30, 15, 25, 35}}, {iblImageAbove, true, {32, 17, 27, 37}},
        {iblImageBelow, false, {30, 25, 25, 15}}, {iblImageLeft, false, {15, 20, 40, 25}},
        {iblImageLeft, true, {15, 22, 40, 27}}, // only downwards when pushed
        {iblImageRight, false, {50, 20, 15, 25}}, {iblImageRight, true, {50, 22, 15, 27}},
        {iblImageCenter, true, {32, 22, 27, 27}},
    };
    for (const auto& c : cases) {
        const auto p = PlaceImgButton(c.Layout, 80, 60, 20, 16, 30, 10, true, c.Pushed);
        EXPECT_EQ(p.PictureX, c.Expected.PictureX) << c.Layout << c.Pushed;
        EXPECT_EQ(p.PictureY, c.Expected.PictureY) << c.Layout << c.Pushed;
        EXPECT_EQ(p.CaptionX, c.Expected.CaptionX) << c.Layout << c.Pushed;
        EXPECT_EQ(p.CaptionY, c.Expected.CaptionY) << c.Layout << c.Pushed;
    }
    // Division truncates towards zero for pictures larger than the button.
    EXPECT_EQ(PlaceImgButton(iblImageCenter, 23, 23, 26, 26, 0, 0, false, false).PictureX, -1);
}

} // namespace
