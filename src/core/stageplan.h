#pragma once

#include "timetext.h"

#include <QString>

class SettingsFile;

// The stage plan lives in [Group] of js.ini, stages 1 to 8. Only the current stage is held
// in memory; every other value is read from the file when it is needed.
constexpr int StageCount = 8;

QString StageName(const SettingsFile& file, int stage);
TimeText StageTime(const SettingsFile& file, int stage);
TimeText StageAlarm(const SettingsFile& file, int stage);

// The stage's standard time in seconds; 0 when it has none. At most MaxClockMinutes
// minutes and 99 seconds, so the sum of all eight fits an int.
int ReadStageSeconds(const SettingsFile& file, const QString& stageNo);

// The sum of the standard times of all eight stages, named or not.
int PlanTotalSeconds(const SettingsFile& file);

// Caption of a stage submenu item: the digit, a blank and the stage's name.
QString StageMenuCaption(const SettingsFile& file, int stage);
// Items 2 to 8 are shown only for a named stage; item 1 always.
bool StageMenuVisible(const QString& caption, int stage);

// The stage walk: the next or previous stage if it exists and is named, else stage 1.
QString NextStageNo(const SettingsFile& file, const QString& stageNo);
QString PreviousStageNo(const SettingsFile& file, const QString& stageNo);
