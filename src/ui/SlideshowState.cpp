#include "ui/SlideshowState.h"

int SlideOffset = 0;

void TSlideshowState::SetUp(int slideCount) {
    FCurIndex = kNotStarted;
    FStep = kStep;
    FSlideCount = slideCount;
}

bool TSlideshowState::StartMoveTick() {
    if (FSlideCount < 2)
        return false;
    if (FCurIndex == kNotStarted) {
        FCurIndex = 0;
        FNextIndex = 1;
    }
    SlideOffset = 0;
    return true;
}

TMoveTickResult TSlideshowState::MoveTick(int displayWidth) {
    if (FSlideCount < 2)
        return TMoveTickResult::Ignored;
    if (SlideOffset >= displayWidth) {
        // The last frame showed the coming slide whole: it becomes the current one.
        FCurIndex = FNextIndex;
        FNextIndex = FNextIndex + 1;
        if (FNextIndex > FSlideCount - 1)
            FNextIndex = 0;
        return TMoveTickResult::TransitionEnded;
    }
    SlideOffset += FStep;
    if (SlideOffset > displayWidth)
        SlideOffset = displayWidth;
    FFrame = TSlideFrame{SlideOffset, FCurIndex, FNextIndex};
    return TMoveTickResult::Frame;
}
