#include "progresslayout.h"

#include <algorithm>

namespace {
constexpr int DefaultThickness = 20;

// ti x side / sum in 64 bits: the longest stage times times a wide screen pass 2^31.
int share(int seconds, int side, qint64 sum) {
    return sum > 0 ? int(qint64(seconds) * side / sum) : 0;
}
} // namespace

bool IsVerticalEdge(BarEdge edge) {
    return edge == BarEdge::Left || edge == BarEdge::Right;
}

int BarThickness(int height, BarEdge edge, const QRect& screen) {
    const int across = IsVerticalEdge(edge) ? screen.width() : screen.height();
    const int t = height < 1 ? DefaultThickness : height;
    return std::max(1, std::min(t, across / 2));
}

BarLayout DockBars(const QRect& screen, BarEdge edge, int thickness, bool showTotal,
                   const std::array<int, StageCount>& stageSeconds) {
    const int sw = screen.width(), sh = screen.height();
    const int t = thickness;
    const int bands = showTotal ? 2 : 1;
    BarLayout l;
    switch (edge) {
    case BarEdge::Top:
        l.window = QRect(0, 0, sw, bands * t);
        break;
    case BarEdge::Bottom:
        l.window = QRect(0, sh - bands * t, sw, bands * t);
        break;
    case BarEdge::Left:
        l.window = QRect(0, 0, bands * t, sh);
        break;
    case BarEdge::Right:
        l.window = QRect(sw - bands * t, 0, bands * t, sh);
        break;
    }
    l.window.translate(screen.topLeft());
    const bool vertical = IsVerticalEdge(edge);
    l.direction = vertical ? FillDirection::mdVerticalReverse : FillDirection::mdHorizontal;
    if (!showTotal) {
        l.mainBar = QRect(QPoint(0, 0), l.window.size());
        return l;
    }

    qint64 sum = 0;
    for (int s : stageSeconds)
        sum += std::max(0, s);
    if (!vertical) {
        // The plan row above, stage 1 at the left; the main bar in the lower band.
        int left = 0;
        for (int i = 0; i < StageCount; ++i) {
            const int w = share(std::max(0, stageSeconds[i]), sw, sum);
            l.stageBars[i] = QRect(left, 0, w, t);
            left += w;
        }
        l.mainBar = QRect(0, t, sw, t);
    } else {
        // The plan row at the left, stage 8 from the top down to stage 1 at the bottom; the
        // main bar in the right band.
        int top = 0;
        for (int i = StageCount - 1; i >= 0; --i) {
            const int h = share(std::max(0, stageSeconds[i]), sh, sum);
            l.stageBars[i] = QRect(0, top, t, h);
            top += h;
        }
        l.mainBar = QRect(t, 0, t, sh);
    }
    return l;
}

QRect FollowingWindow(const QRect& docked, BarEdge edge, int percent) {
    const int p = std::clamp(percent, 0, 100);
    if (!IsVerticalEdge(edge))
        return QRect(docked.left(), docked.top(), int(qint64(docked.width()) * p / 100),
                     docked.height());
    const int h = int(qint64(docked.height()) * p / 100);
    return QRect(docked.left(), docked.top() + docked.height() - h, docked.width(), h);
}

std::optional<FillStyle> FillStyleOfIndex(int index) {
    switch (index) {
    case 0:
        return FillStyle::sfBitmap;
    case 1:
        return FillStyle::sfGradient;
    case 2:
        return FillStyle::sfBrushBitmap;
    default:
        return std::nullopt;
    }
}
