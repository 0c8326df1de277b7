#pragma once
// The image button's decisions that need no window: which picture a state shows
// and where the picture and the caption go for each layout.

enum TImgButtonLayout { iblImageAbove = 0, iblImageBelow = 1, iblImageLeft = 2, iblImageRight = 3, iblImageCenter = 4 };
enum TImgButtonStyle { ibsDefault = 0, ibsFlat = 1, ibsNoFrame = 2 };
enum class TImgButtonState : unsigned char { Up = 0, Down = 1, Disabled = 2 };

// Pixels by which picture and caption move right and down: [not pushed, pushed].
inline constexpr int PressedOffset[2] = {0, 2};

enum class TImgButtonPicture { Down, Over, Disabled, Normal };

struct TImgButtonSituation {
    TImgButtonState State = TImgButtonState::Up;
    bool MouseOver = false;
    bool Enabled = true;
    bool HasDown = false; // the down picture is not empty
    bool HasOver = false;
    bool HasDisabled = false;
};

constexpr bool IsPushed(const TImgButtonSituation& s) {
    return s.State == TImgButtonState::Down && s.MouseOver;
}

// First match wins: down when pushed, over when hovered and enabled, the faded
// picture when disabled, else the normal picture.
constexpr TImgButtonPicture ChooseImgButtonPicture(const TImgButtonSituation& s) {
    if (IsPushed(s) && s.HasDown)
        return TImgButtonPicture::Down;
    if (s.MouseOver && s.HasOver && s.Enabled)
        return TImgButtonPicture::Over;
    if (s.State == TImgButtonState::Disabled && s.HasDisabled)
        return TImgButtonPicture::Disabled;
    return TImgButtonPicture::Normal;
}

struct TImgButtonPlacement {
    int PictureX = 0;
    int PictureY = 0;
    int CaptionX = 0;
    int CaptionY = 0;
};

// W, H: button size; IW, IH: picture size; TW, TH: caption extent (0 without a
// caption). With a caption the picture's height counts 4 pixels more. Division
// truncates towards zero, as C++ integer division does.
constexpr TImgButtonPlacement PlaceImgButton(TImgButtonLayout layout, int w, int h, int iw, int ih, int tw, int th,
                                             bool hasCaption, bool pushed) {
    if (hasCaption)
        ih += 4;
    const int o = PressedOffset[pushed ? 1 : 0];
    TImgButtonPlacement p{(w - iw) / 2 + o, (h - ih) / 2, (w - tw) / 2 + o, (h - th) / 2};
    switch (layout) {
    case iblImageAbove:
        p.PictureY = (h - ih - th) / 2;
        p.CaptionY = p.PictureY + ih;
        break;
    case iblImageBelow:
        p.CaptionY = (h - ih - th) / 2;
        p.PictureY = p.CaptionY + th;
        break;
    case iblImageLeft:
        p.PictureX = (w - iw - tw) / 2;
        p.CaptionX = p.PictureX + iw + 5;
        break;
    case iblImageRight:
        p.CaptionX = (w - iw - tw) / 2;
        p.PictureX = p.CaptionX + tw + 5;
        break;
    case iblImageCenter:
        break;
    }
    p.PictureY += o;
    p.CaptionY += o;
    return p;
}
