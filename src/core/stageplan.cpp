#include "stageplan.h"

#include "settingkeys.h"
#include "settingsfile.h"

#include <limits>

QString StageName(const SettingsFile& file, int stage) {
    return ReadText(file, Key::StageName, stage);
}

TimeText StageTime(const SettingsFile& file, int stage) {
    return ParseTimeText(ReadText(file, Key::StageTime, stage));
}

TimeText StageAlarm(const SettingsFile& file, int stage) {
    return ParseTimeText(ReadText(file, Key::StageAlarm, stage));
}

int ReadStageSeconds(const SettingsFile& file, const QString& stageNo) {
    const TimeText t = StageTime(file, stageNo.toInt());
    return t.present ? t.totalSeconds() : 0;
}

int PlanTotalSeconds(const SettingsFile& file) {
    // Eight stages of the longest time still fit, but the sum is kept safe all the same.
    qint64 total = 0;
    for (int n = 1; n <= StageCount; ++n)
        total += ReadStageSeconds(file, QString::number(n));
    return static_cast<int>(qMin<qint64>(total, std::numeric_limits<int>::max()));
}

QString StageMenuCaption(const SettingsFile& file, int stage) {
    return QString::number(stage) + QLatin1Char(' ') + StageName(file, stage);
}

bool StageMenuVisible(const QString& caption, int stage) {
    return stage == 1 || caption.trimmed().size() > 1;
}

namespace {
QString walkTo(const SettingsFile& file, int candidate) {
    if (candidate < 1 || candidate > StageCount || StageName(file, candidate).trimmed().isEmpty())
        return QStringLiteral("1");
    return QString::number(candidate);
}
} // namespace

QString NextStageNo(const SettingsFile& file, const QString& stageNo) {
    return walkTo(file, stageNo.toInt() + 1);
}

QString PreviousStageNo(const SettingsFile& file, const QString& stageNo) {
    return walkTo(file, stageNo.toInt() - 1);
}
