#include "enginetimer.h"

#include "wallclock.h"

EngineTimer::EngineTimer(QObject* parent, const QString& name, int intervalMs,
                         const WallClock& clock, QDateTime& lastTick, Handler onTick)
    : m_timer(new QTimer(parent)), m_clock(clock), m_lastTick(lastTick),
      m_onTick(std::move(onTick)) {
    m_timer->setObjectName(name);
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(intervalMs);
    QObject::connect(m_timer, &QTimer::timeout, m_timer, [this] { Tick(); });
}

// The timer goes with the engine even when its parent lives on, so that no tick reaches an
// engine that is gone.
EngineTimer::~EngineTimer() {
    delete m_timer.data();
}

void EngineTimer::Start() {
    m_timer->start();
}

void EngineTimer::Stop() {
    m_timer->stop();
}

bool EngineTimer::IsActive() const {
    return m_timer->isActive();
}

int EngineTimer::Interval() const {
    return m_timer->interval();
}

void EngineTimer::Tick() {
    if (m_inTick) return;
    m_inTick = true;
    // Also when the handler throws (a refused settings write reaches the general error
    // handler), the next tick must run.
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_inTick};
    m_onTick(IsNewSecond(m_clock, m_lastTick));
}
