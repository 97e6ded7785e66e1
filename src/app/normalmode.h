#pragma once

#include "displaymode.h"
#include "enginetimer.h"

#include <QString>

class AntiAliasedLabel;
class QTimer;
struct RunState;

// Display mode 0: the running time as a large clock text in a window that encloses it.
// Owns the clock label, the 500 ms engine Timer1, the overtime flashing and the clock's
// counter; its run states are Ready, Running, Paused and Result.
class NormalMode final : public DisplayMode {
    Q_OBJECT
public:
    explicit NormalMode(ModeHost& host);
    ~NormalMode() override;

    AntiAliasedLabel* AALabel = nullptr;
    EngineTimer Timer1;            // the engine, 500 ms
    QTimer* Timer_Flash = nullptr; // overtime flashing steps

    // The counter: elapsed time in count-up; remaining time, then overtime, in count-down.
    int CurMin = 0, CurSec = 0;
    bool Overtime = false; // count-down has passed 0:00 and counts the overtime upwards
    bool AutoStop = false;
    bool BlinkSeparator = false;
    qint32 FlashColor1 = 0, FlashColor2 = 0;
    int FlashCount = 0;
    // The clock text is MinText + SepText + SecText.
    QString MinText, SepText = QStringLiteral(":"), SecText;

    bool HidesWhileRunning() const override { return true; }
    bool UsesSavedPosition() const override { return true; }
    void SetUp() override;
    void Reapply() override;
    void SetupStage() override;
    void Start() override; // StartNormal
    void Pause() override;
    void Resume() override;
    void Stop() override; // StopNormal
    EngineTimer* Engine() override { return &Timer1; }
    RunTime CountedTime() const override;
    bool DragsWith(const QWidget* component, Qt::MouseButton button) const override;
    PreviewSurfaces Surfaces() const override;
    void ShutDown() override;

    void SetupNormalMode();
    void ResetClockTexts();
    void RefreshClock();
    void StartOverFlash();
    void Timer_FlashTimer();
    void Timer1Timer(bool newSecond);

private:
    void setClockTexts(qint64 minutes, qint64 seconds);
    void setResult(qint64 minutes, qint64 seconds);
    void countUp();
    void countDown();
    void alarmMoment();
    void overMoment();

    RunState& S;
    bool m_pictureErrorShown = false;
};
