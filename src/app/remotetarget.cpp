#include "remotetarget.h"

#include <QStringList>
#include <algorithm>

QString PhaseName(RunPhase phase) {
    switch (phase) {
    case RunPhase::Ready:
        return QStringLiteral("ready");
    case RunPhase::Running:
        return QStringLiteral("running");
    case RunPhase::Paused:
        return QStringLiteral("paused");
    case RunPhase::Result:
        return QStringLiteral("result");
    }
    return {};
}

QString ClockText(int seconds) {
    seconds = std::max(0, seconds);
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString StatusLine(const RemoteStatus& s) {
    QStringList parts{PhaseName(s.phase), QString::number(s.stage)};
    if (!s.stageName.isEmpty()) parts << s.stageName;
    // The clock as the window shows it: after a stop the time used or the overtime.
    if (s.overtime)
        parts << ClockText(-s.remainingSec) << QStringLiteral("overtime");
    else if (s.phase == RunPhase::Result)
        parts << ClockText(s.elapsedSec) << QStringLiteral("used");
    else if (s.countsUp)
        parts << ClockText(s.elapsedSec) << QStringLiteral("elapsed");
    else
        parts << ClockText(s.remainingSec) << QStringLiteral("remaining");
    return parts.join(QLatin1Char(' '));
}
