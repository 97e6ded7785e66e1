#pragma once

#include "timelabels.h"

#include <QDateTime>
#include <QString>

// The main window's run-time state: what the window, its run commands, the display modes
// and the settings dialog share. A field that only one display mode uses lives in that
// mode's class (the clock's counter and texts in NormalMode, for example). Besides these
// fields the captions of the menu items N_start and N_pause and the window caption carry
// run state (RunMenu reads them back).
struct RunState {
    QString StageNo = QStringLiteral("1"); // "1" to "8"
    int DisplayMode = 0;        // [SYSTEM] StartMode at start-up: 0 clock, 1 bars, 2 prompt, 3 GIF
    int StdMin = 0, StdSec = 0; // the current stage's standard time
    int AlarmMin = 0, AlarmSec = 0; // and its alarm time
    // The engines of modes 1 to 3: the standard time of the started stage, and the seconds
    // counted since its start.
    int TotalSec = 0;
    int ElapsedSec = 0;
    // The wall-clock time of the last counted second (the second detector's memory).
    QDateTime LastTick = QDateTime(QDate(1899, 12, 30), QTime(0, 0, 0));
    bool CountUp = false;  // [Normal] jsMode; the settings dialog shows it
    bool AutoNext = false; // [System] AutoNext, read at start-up
    // A hidden window comes back this many seconds before the end (modes 0 and 2).
    int RestoreSec = 0;
    // The background from the alarm moment and from the over moment on (modes 0 and 2).
    qint32 AlarmColor = 0, OverColor = 0;
    bool AutoClose = false; // end the program at the end of the stage (modes 2 and 3)
    QString ElapseLabel, RemainLabel, OverLabel, StandardLabel, AlarmLabel, PercentLabel;
    QString WorkDir;            // the current directory at start-up, where js.ini is
    bool HotkeyChanged = false; // set by the settings dialog's hotkey editors, never cleared
    QString HotkeyMessage;      // the failure lines of the last registration that failed

    CaptionLabels Labels() const {
        return {ElapseLabel, RemainLabel, OverLabel, StandardLabel, AlarmLabel, PercentLabel};
    }
};
