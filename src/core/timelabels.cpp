#include "timelabels.h"

#include "timetext.h"

namespace {
const QString LineBreak = QStringLiteral("\r\n");

QString percentText(const QString& label, int percent) {
    return QStringLiteral("  ") + label +
           PadLeft(QString::number(percent), QStringLiteral(" "), 2) + QStringLiteral("% ");
}
} // namespace

QString SecondsLabelText(qint64 seconds) {
    const bool negative = seconds < 0;
    // The magnitude of the most negative value does not fit; it is far beyond any clock.
    const quint64 magnitude = negative ? quint64(0) - quint64(seconds) : quint64(seconds);
    const QString minutes =
        (negative ? QStringLiteral("-") : QString()) + QString::number(magnitude / 60);
    return PadLeft(minutes, QStringLiteral(" "), 2) + QLatin1Char(':') +
           PadLeft(QString::number(magnitude % 60), QStringLiteral("0"), 2);
}

QString PromptReadyText(const CaptionLabels& labels, int stdMin, int stdSec) {
    return labels.elapse + QStringLiteral(" 0:00") + LineBreak + labels.remain +
           LabelTimeText(stdMin, stdSec);
}

QString PromptText(const CaptionLabels& labels, qint64 elapsedSec, qint64 totalSec) {
    const qint64 left = totalSec - elapsedSec;
    const QString first = labels.elapse + SecondsLabelText(elapsedSec);
    if (left > 0) return first + LineBreak + labels.remain + SecondsLabelText(left);
    return first + LineBreak + labels.over + SecondsLabelText(-left);
}

QString GifHintText(const CaptionLabels& labels, int stdMin, int stdSec, int alarmMin, int alarmSec,
                    qint64 elapsedSec, qint64 totalSec) {
    return labels.standard + LabelTimeText(stdMin, stdSec) + LineBreak + labels.alarm +
           LabelTimeText(alarmMin, alarmSec) + LineBreak + labels.elapse +
           SecondsLabelText(elapsedSec) + LineBreak + labels.remain +
           SecondsLabelText(totalSec - elapsedSec);
}

QString ProgressHintText(const CaptionLabels& labels, const QString& stageName, int stdMin,
                         int stdSec, int alarmMin, int alarmSec, qint64 elapsedSec, qint64 totalSec,
                         int percent) {
    return stageName + LineBreak + labels.standard + LabelTimeText(stdMin, stdSec) + LineBreak +
           labels.alarm + LabelTimeText(alarmMin, alarmSec) + LineBreak + labels.elapse +
           SecondsLabelText(elapsedSec) + percentText(labels.percent, percent) + LineBreak +
           labels.remain + SecondsLabelText(totalSec - elapsedSec) +
           percentText(labels.percent, 100 - percent);
}
