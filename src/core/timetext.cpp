#include "timetext.h"

#include <limits>

QString PadLeft(const QString& text, const QString& fill, int width) {
    const QString t = text.trimmed();
    if (width != 0 && t.size() < width) return fill.repeated(width - t.size()) + t;
    return t;
}

namespace {

// A decimal integer part of a time text, at most limit; anything else, and a negative
// number (which would count below 0:00 for ever), reads as 0.
int timePart(const QString& text, int limit) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    if (i == t.size()) return 0;
    int value = 0;
    for (; i < t.size(); ++i) {
        const char16_t u = t[i].unicode();
        if (u < '0' || u > '9') return 0;
        if (value < limit) value = qMin(limit, value * 10 + (u - '0'));
    }
    return negative ? 0 : value;
}

} // namespace

int TimeText::totalSeconds() const {
    constexpr qint64 lowest = std::numeric_limits<int>::min();
    constexpr qint64 highest = std::numeric_limits<int>::max();
    return static_cast<int>(qBound(lowest, static_cast<qint64>(minutes) * 60 + seconds, highest));
}

TimeText ParseTimeText(const QString& text) {
    TimeText tt;
    const QString t = text.trimmed();
    if (t.isEmpty() || t == QLatin1String(":")) return tt;
    tt.present = true;
    const qsizetype colon = t.indexOf(QLatin1Char(':'));
    if (colon < 0) {
        tt.minutes = timePart(t, MaxClockMinutes);
        return tt;
    }
    tt.minutes = timePart(t.left(colon), MaxClockMinutes);
    tt.seconds = timePart(t.mid(colon + 1, 2), 99);
    return tt;
}

QString ClockText(int minutes, const QString& separator, int seconds) {
    return QString::number(minutes) + separator +
           PadLeft(QString::number(seconds), QStringLiteral("0"), 2);
}

QString LabelTimeText(int minutes, int seconds) {
    return PadLeft(QString::number(minutes), QStringLiteral(" "), 2) + QLatin1Char(':') +
           PadLeft(QString::number(seconds), QStringLiteral("0"), 2);
}
