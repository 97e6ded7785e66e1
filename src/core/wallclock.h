#pragma once

#include <QDateTime>

// The local wall clock, injectable so that tests can drive the engines second by second.
class WallClock {
public:
    virtual ~WallClock() = default;
    virtual QDateTime now() const = 0;
};

class SystemWallClock final : public WallClock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// A clock that stands still until it is moved.
class ManualWallClock final : public WallClock {
public:
    explicit ManualWallClock(QDateTime start = QDateTime(QDate(2026, 1, 1), QTime(9, 0, 0)))
        : m_now(std::move(start)) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& t) { m_now = t; }
    void advanceMs(qint64 ms) { m_now = m_now.addMSecs(ms); }

private:
    QDateTime m_now;
};

// The second detector shared by every engine: a tick counts a second when the time of
// day (hours, minutes, seconds) differs from that of the last counted second. A late
// tick therefore counts one second, never several, and the count never runs ahead of
// the wall clock. On a new second lastTick becomes now.
bool IsNewSecond(const WallClock& clock, QDateTime& lastTick);
