#include "ui/SlideshowState.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kWidth = 473;

TEST(SlideshowState, SetUpWaitsForThePauseTimerWithoutATransition) {
    TSlideshowState show;
    show.SetUp(5);
    EXPECT_EQ(show.CurIndex(), -999);
    EXPECT_EQ(show.NextIndex(), 0);
    EXPECT_EQ(show.Step(), 60);
}

TEST(SlideshowState, OneTransitionDrawsEightFramesAndTheNinthTickEndsIt) {
    TSlideshowState show;
    show.SetUp(5);
    SlideOffset = 999; // whatever an earlier window left: every transition starts from 0
    ASSERT_TRUE(show.StartMoveTick());
    EXPECT_EQ(SlideOffset, 0);
    std::vector<int> offsets;
    for (int tick = 0; tick < 8; ++tick) {
        ASSERT_EQ(show.MoveTick(kWidth), TMoveTickResult::Frame);
        EXPECT_EQ(show.Frame().LeavingIndex, 0);
        EXPECT_EQ(show.Frame().ComingIndex, 1);
        offsets.push_back(show.Frame().Offset);
    }
    EXPECT_EQ(offsets, (std::vector<int>{60, 120, 180, 240, 300, 360, 420, 473}));
    EXPECT_EQ(SlideOffset, 473);
    EXPECT_EQ(show.MoveTick(kWidth), TMoveTickResult::TransitionEnded);
    EXPECT_EQ(show.CurIndex(), 1);
    EXPECT_EQ(show.NextIndex(), 2);
}

TEST(SlideshowState, SlidesFollowInALoopBackToTheFirst) {
    TSlideshowState show;
    show.SetUp(5);
    std::vector<std::pair<int, int>> transitions;
    for (int t = 0; t < 6; ++t) {
        ASSERT_TRUE(show.StartMoveTick());
        TMoveTickResult result;
        int frames = 0;
        while ((result = show.MoveTick(kWidth)) == TMoveTickResult::Frame) {
            ++frames;
            if (frames == 1)
                transitions.emplace_back(show.Frame().LeavingIndex, show.Frame().ComingIndex);
        }
        EXPECT_EQ(result, TMoveTickResult::TransitionEnded);
        EXPECT_EQ(frames, 8);
    }
    EXPECT_EQ(transitions, (std::vector<std::pair<int, int>>{{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 0}, {0, 1}}));
}

TEST(SlideshowState, FewerThanTwoSlidesChangeNothing) {
    for (int count : {0, 1}) {
        TSlideshowState show;
        show.SetUp(count);
        SlideOffset = 123;
        EXPECT_FALSE(show.StartMoveTick());
        EXPECT_EQ(show.MoveTick(kWidth), TMoveTickResult::Ignored);
        EXPECT_EQ(SlideOffset, 123);
        EXPECT_EQ(show.CurIndex(), -999);
    }
}

TEST(SlideshowState, ANarrowerDisplayEndsAtItsOwnWidth) {
    TSlideshowState show;
    show.SetUp(2);
    show.StartMoveTick();
    ASSERT_EQ(show.MoveTick(100), TMoveTickResult::Frame);
    ASSERT_EQ(show.MoveTick(100), TMoveTickResult::Frame);
    EXPECT_EQ(show.Frame().Offset, 100);
    EXPECT_EQ(show.MoveTick(100), TMoveTickResult::TransitionEnded);
    EXPECT_EQ(show.CurIndex(), 1);
    EXPECT_EQ(show.NextIndex(), 0);
}

} // namespace
