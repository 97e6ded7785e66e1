#include "wallclock.h"

bool IsNewSecond(const WallClock& clock, QDateTime& lastTick) {
    const QDateTime now = clock.now();
    const QTime a = now.time();
    const QTime b = lastTick.time();
    if (a.hour() == b.hour() && a.minute() == b.minute() && a.second() == b.second()) return false;
    lastTick = now;
    return true;
}
