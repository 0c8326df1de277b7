#pragma once
// The slide area's slideshow: five slides from the program's resources, shown
// still for five seconds each and then pushed out to the left by the next one,
// 60 pixels per 5 ms animation tick. The stepping lives in TSlideshowState; this
// class owns the slide bitmaps and the two window timers and draws the frames.
#include "ui/Bitmap.h"
#include "ui/SlideshowState.h"
#include "ui/WindowTimer.h"

#include <memory>
#include <vector>

class TWideImage;

class TSlideshow {
public:
    static constexpr UINT_PTR kMoveImgTimerId = 0x5101;
    static constexpr UINT_PTR kStartMoveTimerId = 0x5102;
    static constexpr int kSlideCount = 5;

    // timerWindow receives the WM_TIMER messages and hands them to HandleTimer.
    TSlideshow(HWND timerWindow, TWideImage& display);

    // A new bitmap of the named RT_RCDATA PNG drawn onto white.
    static std::unique_ptr<TBitmap> LoadResImage(const char* name);

    // Loads "cImg1".."cImg5", shows the first and starts the pause timer. A slide
    // that cannot be loaded raises its error and leaves the timers off.
    void SetUp();
    // Releases the slides and stops both timers (window destruction).
    void Release();

    // True when the identifier is one of the slideshow's timers.
    bool HandleTimer(UINT_PTR id);
    void startMoveTTimer();
    void moveImgTTimer();

    const TSlideshowState& State() const { return FState; }
    const TWindowTimer& moveImgT() const { return FMoveImgT; }
    const TWindowTimer& startMoveT() const { return FStartMoveT; }
    const TBitmap* Slide(int index) const;
    std::size_t SlideCount() const { return FImages.size(); }

private:
    TWideImage& FDisplay;
    std::vector<std::unique_ptr<TBitmap>> FImages;
    TSlideshowState FState;
    TWindowTimer FMoveImgT;
    TWindowTimer FStartMoveT;
};
