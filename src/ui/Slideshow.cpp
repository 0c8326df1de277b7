#include "ui/Slideshow.h"

#include "ui/PngPicture.h"
#include "ui/PngResource.h"
#include "ui/WideImage.h"

#include <cstdio>

TSlideshow::TSlideshow(HWND timerWindow, TWideImage& display)
    : FDisplay(display), FMoveImgT(timerWindow, kMoveImgTimerId, 5), FStartMoveT(timerWindow, kStartMoveTimerId, 5000) {
}

std::unique_ptr<TBitmap> TSlideshow::LoadResImage(const char* name) {
    TPngPicture png; // released on every path, also when loading fails
    LoadPngFromResource(png, GetModuleHandleA(nullptr), name);
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->AssignPng(png);
    return bitmap;
}

void TSlideshow::SetUp() {
    FState.SetUp(kSlideCount);
    FImages.clear();
    FImages.resize(kSlideCount);
    for (int i = 1; i <= kSlideCount; ++i) {
        char name[16];
        std::snprintf(name, sizeof(name), "cImg%d", i);
        FImages[i - 1] = LoadResImage(name);
    }
    FDisplay.Picture().Assign(*FImages[0]);
    FDisplay.PictureChanged();
    FStartMoveT.SetEnabled(true);
}

void TSlideshow::Release() {
    FMoveImgT.SetEnabled(false);
    FStartMoveT.SetEnabled(false);
    FImages.clear();
    FState.SetUp(0);
}

const TBitmap* TSlideshow::Slide(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= FImages.size())
        return nullptr;
    return FImages[index].get();
}

bool TSlideshow::HandleTimer(UINT_PTR id) {
    // A tick that was already queued when its timer was switched off is dropped.
    if (id == kStartMoveTimerId) {
        if (FStartMoveT.Enabled())
            startMoveTTimer();
        return true;
    }
    if (id == kMoveImgTimerId) {
        if (FMoveImgT.Enabled())
            moveImgTTimer();
        return true;
    }
    return false;
}

void TSlideshow::startMoveTTimer() {
    if (!FState.StartMoveTick())
        return;
    FStartMoveT.SetEnabled(false);
    FMoveImgT.SetEnabled(true);
}

void TSlideshow::moveImgTTimer() {
    const int w = FDisplay.Width();
    const int h = FDisplay.Height();
    switch (FState.MoveTick(w)) {
    case TMoveTickResult::Ignored:
        return;
    case TMoveTickResult::TransitionEnded:
        FMoveImgT.SetEnabled(false);
        FStartMoveT.SetEnabled(true);
        return;
    case TMoveTickResult::Frame:
        break;
    }
    const TSlideFrame& frame = FState.Frame();
    const TBitmap* leaving = Slide(frame.LeavingIndex);
    const TBitmap* coming = Slide(frame.ComingIndex);
    if (!leaving || !coming)
        return; // a slide failed to load: nothing to draw
    const int s = frame.Offset;
    const HDC display = FDisplay.Picture().DC();
    // The leaving slide's columns s..w-1 land on the display's columns 0..w-s-1.
    BitBlt(display, -s, 0, w, h, leaving->DC(), 0, 0, SRCCOPY);
    // The coming slide's first s columns fill the display's last s columns.
    BitBlt(display, w - s, 0, s, h, coming->DC(), 0, 0, SRCCOPY);
    FDisplay.PictureChanged();
}
