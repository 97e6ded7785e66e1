#pragma once

#include "displaymode.h"
#include "enginetimer.h"

#include <QDateTime>
#include <QString>

class QLabel;
class QTimer;
struct RunState;

// Display mode 2: a small two-line window, the elapsed and the remaining time, that keeps
// the screen clear. While a stage runs it comes up every DisplayInterval seconds for
// DisplaySec seconds, stays up from RestoreSec seconds before the end, changes colour at the
// alarm moment and at the end, and then closes the program or counts the overtime. Owns the
// label l, the once-a-second engine Timer_message1 and the one-shot hide timer
// Timer_message2. Run states Ready, Running and Paused.
class PromptMode final : public DisplayMode {
    Q_OBJECT
public:
    explicit PromptMode(ModeHost& host);
    ~PromptMode() override;

    QLabel* l = nullptr;
    EngineTimer Timer_message1;       // the engine, 1000 ms
    QTimer* Timer_message2 = nullptr; // hides the window DisplaySec seconds after a showing

    int DisplaySec = 0;      // 0: never hidden by itself
    int DisplayInterval = 0; // below 1: no periodic showing
    bool PastEnd = false;    // the running stage has reached its end
    // When the running hide timer is due, on the mode's wall clock; null while it is off.
    // A test that drives the clock by hand fires the timer at this moment.
    QDateTime HideDue;

    bool HidesWhileRunning() const override { return true; }
    bool UsesSavedPosition() const override { return true; }
    void SetUp() override;
    void Reapply() override;
    void SetupStage() override;
    void Start() override; // StartPrompt
    void Pause() override;
    void Resume() override;
    void Stop() override; // StopPrompt
    EngineTimer* Engine() override { return &Timer_message1; }
    PreviewSurfaces Surfaces() const override;
    void ShutDown() override;

    void SetupPromptMode();
    void Timer_message1Timer(bool newSecond);
    void Timer_message2Timer();

    // From RestoreSec seconds before the end of a stage with a time on, the window stays up.
    bool StaysUp() const;

    // The two lines as the label shows them, joined by a line feed.
    QString Text() const;

private:
    void setText(const QString& crlfText);
    void showReadyText();
    void startHideTimer();
    void stopHideTimer();

    RunState& S;
};
