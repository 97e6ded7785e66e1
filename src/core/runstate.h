#pragma once

#include "settingsfile.h"
#include "timetext.h"

#include <QDateTime>
#include <QString>
#include <memory>

// The main window's run-time state, shared by the engine, the run-control commands and the
// display modes. Besides these fields the captions of the menu items N_start and N_pause
// and the window caption carry run state.
struct RunState {
    QString StageNo = QStringLiteral("1"); // "1" to "8"
    int DisplayMode = 0;                   // 0 clock, 1 progress bars, 2 prompt window, 3 GIF
    int StdMin = 0, StdSec = 0;
    int AlarmMin = 0, AlarmSec = 0;
    int CurMin = 0, CurSec = 0; // the normal mode's clock counter
    int SumMin = 0, SumSec = 0; // result of the stop command in normal mode
    int TotalSec = 0;           // standard time of a started stage in modes 1 to 3
    int ElapsedSec = 0;
    QDateTime LastTick = QDateTime(QDate(1899, 12, 30), QTime(0, 0, 0));
    bool CountUp = false;
    bool Overtime = false;
    bool AutoStop = false;
    bool AutoNext = false;
    bool BlinkSeparator = false;
    int RestoreSec = 0;
    qint32 AlarmColor = 0, OverColor = 0;
    qint32 FlashColor1 = 0, FlashColor2 = 0;
    int FlashCount = 0;
    QString MinText, SepText, SecText;
    QString ElapseLabel, RemainLabel, OverLabel, StandardLabel, AlarmLabel, PercentLabel;
    QString WorkDir;
    std::unique_ptr<::SettingsFile> SettingsFile;
    int DisplaySec = 0, DisplayInterval = 0;
    bool AutoClose = false;
    bool PastEnd = false;
    bool ProgressFull = false, Recycle = false, ShowTotal = false;
    unsigned BarAlign = 0;
    int GifCount = 0, GifInterval = 0;
    bool HotkeyChanged = false;
    QString HotkeyMessage;

    // The clock's pieces: minutes unpadded, seconds as two digits.
    void SetClockTexts(int minutes, int seconds) {
        MinText = QString::number(minutes);
        SecText = PadLeft(QString::number(seconds), QStringLiteral("0"), 2);
    }
};
