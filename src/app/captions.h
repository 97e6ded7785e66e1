#pragma once

#include <QString>

// Captions that carry run state: the commands set them and read them back.
namespace Caption {
inline const QString Start = QStringLiteral("开始");
inline const QString StartHide = QStringLiteral("开始/隐藏");
inline const QString Reset = QStringLiteral("清零");
inline const QString Stop = QStringLiteral("停止");
inline const QString StopShow = QStringLiteral("停止/显示");
inline const QString Pause = QStringLiteral("暂停");
inline const QString Continue = QStringLiteral("继续");
inline const QString TimeUsed = QStringLiteral("实际用时:");
inline const QString Overtime = QStringLiteral("超 时:");
inline const QString Notice = QStringLiteral("提示");
} // namespace Caption
