#include "timetext.h"

#include "settingsfile.h"

QString PadLeft(const QString& text, const QString& fill, int width) {
    const QString t = text.trimmed();
    if (width != 0 && t.size() < width) return fill.repeated(width - t.size()) + t;
    return t;
}

namespace {

// A decimal integer part of a time text; anything else reads as 0.
int timePart(const QString& text) {
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('$')) || t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        return 0;
    return ParseSettingsInteger(t, 0);
}

} // namespace

TimeText ParseTimeText(const QString& text) {
    TimeText tt;
    const QString t = text.trimmed();
    if (t.isEmpty() || t == QLatin1String(":")) return tt;
    tt.present = true;
    const qsizetype colon = t.indexOf(QLatin1Char(':'));
    if (colon < 0) {
        tt.minutes = timePart(t);
        return tt;
    }
    tt.minutes = timePart(t.left(colon));
    tt.seconds = timePart(t.mid(colon + 1, 2));
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
