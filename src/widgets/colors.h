#pragma once

#include <QColor>

// The colour of a js.ini colour value: plain colours directly, system colours from the
// desktop palette, "no colour" as the fallback.
QColor ColorFromValue(qint32 value, const QColor& fallback = QColor());

// The js.ini value of a plain colour.
qint32 ValueFromColor(const QColor& color);
