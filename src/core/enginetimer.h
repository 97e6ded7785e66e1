#pragma once

#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>

class WallClock;

// The engine timer of a display mode: a precise periodic timer on the UI thread whose tick
// tells the mode whether a new wall-clock second has begun (IsNewSecond, which moves
// lastTick on). A tick is never re-entered: a message box opened inside a tick runs an
// event loop of its own, and a tick that the timer delivers meanwhile is dropped instead of
// running inside the first one, so boxes never stack. The first tick after the box has
// closed counts the second as any late tick does: once.
class EngineTimer {
public:
    using Handler = std::function<void(bool newSecond)>;

    // The timer belongs to parent and carries the name (Timer1, Timer_progress, ...).
    // lastTick is the run state's LastTick; it and the clock outlive the timer.
    EngineTimer(QObject* parent, const QString& name, int intervalMs, const WallClock& clock,
                QDateTime& lastTick, Handler onTick);
    ~EngineTimer();
    EngineTimer(const EngineTimer&) = delete;
    EngineTimer& operator=(const EngineTimer&) = delete;

    void Start();
    void Stop();
    bool IsActive() const;
    int Interval() const;

    // One tick as the timer delivers it; tests call it directly. Does nothing while a tick
    // is running.
    void Tick();
    bool InTick() const { return m_inTick; }

    QTimer* Timer() const { return m_timer; }

private:
    QPointer<QTimer> m_timer;
    const WallClock& m_clock;
    QDateTime& m_lastTick;
    Handler m_onTick;
    bool m_inTick = false;
};
