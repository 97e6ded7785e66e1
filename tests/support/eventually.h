#pragma once

#include <QTest>
#include <functional>

// Runs the event loop until the condition holds or the time is up; true when it held. For
// what takes real time (the window's animations, the X server, a child process). QTest's
// own QTRY_ macros report to QTest, which gtest never hears of, so tests assert on this.
inline bool Eventually(const std::function<bool()>& condition, int timeoutMs = 5000) {
    return QTest::qWaitFor(condition, timeoutMs);
}
