#pragma once

#include <QObject>
#include <QString>

// The run commands that can be given from outside the window (the command line, D-Bus).
enum class RemoteCommand { Start, Pause, Stop, Next, Previous };

enum class RunPhase { Ready, Running, Paused, Result };

// What a remote caller can read of the run.
struct RemoteStatus {
    int displayMode = 0;
    int stage = 1;
    QString stageName;
    RunPhase phase = RunPhase::Ready;
    bool countsUp = false;
    bool overtime = false; // the standard time is used up
    int elapsedSec = 0;
    int remainingSec = 0; // negative by the overtime once the standard time is used up

    bool operator==(const RemoteStatus&) const = default;
};

struct CommandOutcome {
    enum Result { Done, Disabled, Busy, Closed };
    Result result = Done;
    QString item; // the caption of the menu item the command went to
};

// The window as remote control sees it: every command goes through the menu item the
// popup menu and the hotkeys use, so a disabled item refuses it.
class RemoteTarget : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual CommandOutcome run(RemoteCommand command) = 0;
    virtual RemoteStatus status() const = 0;

signals:
    // The phase, the stage or the stage's name has changed (not every counted second).
    void stateChanged();
};

// "ready", "running", "paused", "result".
QString PhaseName(RunPhase phase);

// One line for a terminal: phase, stage number, stage name (left out when empty), the
// clock and what it shows, e.g. "running 2 开场致辞 03:12 remaining".
QString StatusLine(const RemoteStatus& status);

// Minutes and seconds as "mm:ss" ("125:07" past 99 minutes); negative counts as 0.
QString ClockText(int seconds);
