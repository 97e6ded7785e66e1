#include "enginetimer.h"
#include "wallclock.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// Timers need an event loop.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "enginetimer_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

class EngineTimerTest : public ::testing::Test {
protected:
    EngineTimerTest() { ensureApplication(); }

    ManualWallClock clock{QDateTime(QDate(2026, 1, 1), QTime(9, 0, 0))};
    QDateTime lastTick = clock.now();
    QObject owner;
    QList<bool> ticks;
    std::function<void(bool)> onTick = [this](bool newSecond) { ticks << newSecond; };
    EngineTimer engine{&owner,   QStringLiteral("Timer1"),
                       500,      clock,
                       lastTick, [this](bool newSecond) { onTick(newSecond); }};
};

TEST_F(EngineTimerTest, TellsEachTickWhetherANewSecondBegan) {
    EXPECT_EQ(engine.Timer()->objectName(), "Timer1");
    EXPECT_EQ(engine.Interval(), 500);
    EXPECT_TRUE(engine.Timer()->timerType() == Qt::PreciseTimer);
    engine.Tick(); // 9:00:00 again
    clock.advanceMs(500);
    engine.Tick();
    clock.advanceMs(500);
    engine.Tick(); // 9:00:01
    clock.advanceMs(2500);
    engine.Tick(); // late: one second, not three
    engine.Tick();
    EXPECT_EQ(ticks, QList<bool>({false, false, true, true, false}));
    EXPECT_EQ(lastTick, clock.now());
}

TEST_F(EngineTimerTest, ATickIsNeverRunInsideAnother) {
    int inner = 0;
    onTick = [&](bool newSecond) {
        ticks << newSecond;
        ++inner;
        engine.Tick(); // as if a message box's event loop delivered the next one
        EXPECT_TRUE(engine.InTick());
    };
    clock.advanceMs(1000);
    engine.Tick();
    EXPECT_EQ(inner, 1);
    EXPECT_FALSE(engine.InTick());
    clock.advanceMs(1000);
    engine.Tick();
    EXPECT_EQ(ticks, QList<bool>({true, true}));
}

// Qt does not deliver a timer's event again while its handler runs, but a timer switched off
// and on inside its tick (the progress mode's automatic advance stops and starts the run) is
// a new timer to Qt, and a message box opened after that would run the next tick inside.
TEST_F(EngineTimerTest, TicksOfTheRealTimerDuringANestedLoopAreDropped) {
    QTimer& timer = *engine.Timer();
    timer.setInterval(5);
    int delivered = 0;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++delivered; });
    int entered = 0;
    onTick = [&](bool) {
        if (++entered > 1) return;
        engine.Stop();
        engine.Start();
        // A modal box's loop: the timer goes on firing while it runs.
        QEventLoop loop;
        QDeadlineTimer deadline(20000);
        while (delivered < 6 && !deadline.hasExpired())
            loop.processEvents(QEventLoop::WaitForMoreEvents, 50);
    };
    engine.Start();
    QDeadlineTimer deadline(20000);
    while (entered == 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    engine.Stop();
    EXPECT_GE(delivered, 6);
    EXPECT_EQ(entered, 1);
}

TEST_F(EngineTimerTest, AFailingTickLeavesTheNextOneFree) {
    onTick = [&](bool) { throw std::runtime_error("Unable to write to js.ini"); };
    EXPECT_THROW(engine.Tick(), std::runtime_error);
    EXPECT_FALSE(engine.InTick());
    onTick = [this](bool newSecond) { ticks << newSecond; };
    clock.advanceMs(1000);
    engine.Tick();
    EXPECT_EQ(ticks, QList<bool>({true}));
}

TEST_F(EngineTimerTest, AStopInsideATickEndsTheRun) {
    onTick = [&](bool) { engine.Stop(); };
    engine.Start();
    EXPECT_TRUE(engine.IsActive());
    engine.Tick();
    EXPECT_FALSE(engine.IsActive());
}

} // namespace
