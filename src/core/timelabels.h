#pragma once

#include <QString>
#include <QtGlobal>

// The time texts of the prompt window's two lines and of the hints under the mouse (the
// progress bars, the GIF pictures). Every time is in the label form: minutes padded with a
// blank to two characters, ":", seconds as two digits (" 1:05", "12:30"). Lines are joined
// by "\r\n".

// The caption texts from [System] that head the lines.
struct CaptionLabels {
    QString elapse;   // ElapseLabel, "Elapse:"
    QString remain;   // RemainLabel, "Remain:"
    QString over;     // OverLabel, "OverTime:"
    QString standard; // StandardLabel, "Standard Time:"
    QString alarm;    // AlarmLabel, "Alarm Time:"
    QString percent;  // PercentLabel, "Percent:"
};

// A number of seconds in the label form: 65 gives " 1:05", 754 gives "12:34". A negative
// number has its minus before the minutes: -65 gives "-1:05".
QString SecondsLabelText(qint64 seconds);

// The prompt window before a run: elapse + " 0:00", then remain + the standard time.
QString PromptReadyText(const CaptionLabels& labels, int stdMin, int stdSec);

// The prompt window while running: elapse + the elapsed time, then remain + what is left
// of total, or, from the end on, over + the overtime (" 0:00" at the end itself).
QString PromptText(const CaptionLabels& labels, qint64 elapsedSec, qint64 totalSec);

// The GIF mode's hint: standard time, alarm time, elapsed time, remaining time.
QString GifHintText(const CaptionLabels& labels, int stdMin, int stdSec, int alarmMin, int alarmSec,
                    qint64 elapsedSec, qint64 totalSec);

// The progress bar's hint: the stage name, the standard and the alarm time, then the
// elapsed and the remaining time, each followed by two blanks and its percentage (percent
// done, and 100 - percent) padded with a blank to two characters and followed by "% ".
QString ProgressHintText(const CaptionLabels& labels, const QString& stageName, int stdMin,
                         int stdSec, int alarmMin, int alarmSec, qint64 elapsedSec, qint64 totalSec,
                         int percent);
