#pragma once

#include <QString>

// The padding routine every time text goes through: trims blanks, then puts the fill text
// in front (width - length) times when the text is shorter than width. Never cuts.
QString PadLeft(const QString& text, const QString& fill, int width);

// The most minutes the clock shows (about 69 days): a time text with more reads as this.
constexpr int MaxClockMinutes = 99999;

// A time text "mm:ss" as read from the settings file.
struct TimeText {
    bool present = false; // false for an empty text or a lone ":"
    int minutes = 0;
    int seconds = 0;
    // Saturates instead of overflowing for fields set by hand.
    int totalSeconds() const;
};

// Reading rule: trim; empty or ":" is absent; minutes are the text before the first ":",
// seconds the at most two characters after it. A part that is not a decimal integer, or
// is negative, reads as 0; minutes above MaxClockMinutes read as MaxClockMinutes. A text
// without any ":" is a number of minutes. Seconds are not limited to 59 (01:75 is 135 s).
TimeText ParseTimeText(const QString& text);

// Clock form: minutes unpadded, the separator, seconds padded to two digits (5:07).
QString ClockText(int minutes, const QString& separator, int seconds);

// Label form: minutes padded with a blank to two characters, ":", two-digit seconds (" 5:07").
QString LabelTimeText(int minutes, int seconds);
