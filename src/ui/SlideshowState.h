#pragma once
// The slideshow's stepping, free of any window: which slide leaves, which comes,
// and how far the current transition has advanced. Two timers drive it: the
// pause timer calls StartMoveTick, the animation timer calls MoveTick, and the
// caller switches the timers and draws the frame as each result says.
//
// States: not set up (FCurIndex -999, no slides) -> pausing (pause timer on)
// -> sliding (animation timer on) -> pausing ... Each animation tick advances one
// step; ticks are never caught up, so a blocked thread resumes where it stood.

// Pixels that the current transition has advanced. One variable for the whole
// program, as the slideshow's design keeps it outside the window object.
extern int SlideOffset;

struct TSlideFrame {
    int Offset = 0; // the coming slide's first Offset columns show at the right edge
    int LeavingIndex = 0;
    int ComingIndex = 0;
};

enum class TMoveTickResult {
    Ignored,         // fewer than two slides: nothing changes
    Frame,           // draw the frame returned by Frame()
    TransitionEnded, // disable the animation timer, enable the pause timer; nothing drawn
};

class TSlideshowState {
public:
    static constexpr int kNotStarted = -999;
    static constexpr int kStep = 60;

    // The set-up steps: no transition yet, a step of 60 pixels, the slide count.
    void SetUp(int slideCount);

    // The pause timer fired. True when a transition starts: disable the pause
    // timer, enable the animation timer.
    bool StartMoveTick();

    // The animation timer fired; displayWidth is the display's current width.
    TMoveTickResult MoveTick(int displayWidth);

    const TSlideFrame& Frame() const { return FFrame; }
    int CurIndex() const { return FCurIndex; }
    int NextIndex() const { return FNextIndex; }
    int Step() const { return FStep; }
    int SlideCount() const { return FSlideCount; }

private:
    int FSlideCount = 0;
    int FCurIndex = 0;
    int FNextIndex = 0;
    int FStep = 0;
    TSlideFrame FFrame;
};
