#pragma once

#include "fillpixels.h"
#include "stageplan.h"

#include <QRect>
#include <array>
#include <optional>

// Where the progress-bar mode puts its window and its bars: docked along an edge of the
// whole screen, the plan row laid out by the stages' times. Plain integer maths, so that
// it can be checked for any screen.

// [Progress] Style 0 to 2 (bitmap, gradient, brush bitmap); other values have no style.
std::optional<FillStyle> FillStyleOfIndex(int index);

// [Progress] Align 0 to 3.
enum class BarEdge { Top, Bottom, Left, Right };
bool IsVerticalEdge(BarEdge edge);

struct BarLayout {
    QRect window;  // on the screen
    QRect mainBar; // ProgressFill, in the window
    // F1 ... F8 in the window. With the plan row only; each as long as its stage's share of
    // the plan, truncated, so that the row may end a few pixels short of the screen's edge.
    std::array<QRect, StageCount> stageBars{};
    FillDirection direction = FillDirection::mdHorizontal;
};

// The bar's thickness T from [Progress] Height: below 1 (no bar at all) the default 20, and
// at most half the screen across the bar, so that both bands of the plan row fit.
int BarThickness(int height, BarEdge edge, const QRect& screen);

// The docked window: along the top or bottom edge the screen's width and T high, along the
// left or right edge T wide and the screen's height; twice T with the plan row, whose band
// is the upper or the left one. stageSeconds[i] is the standard time of stage i + 1 (0 for
// none); stage 1 is at the left, or at the bottom, where the filling starts. A plan without
// any time gives every stage bar a length of 0.
BarLayout DockBars(const QRect& screen, BarEdge edge, int thickness, bool showTotal,
                   const std::array<int, StageCount>& stageSeconds);

// The window while its length follows the progress ([Progress] Full off): along the top
// or bottom edge percent of the docked width from the left; along the left or right edge
// percent of the docked height, standing on the bottom of the screen.
QRect FollowingWindow(const QRect& docked, BarEdge edge, int percent);
