#pragma once

#include <QString>

// Font style set as stored in js.ini: "[" + the set flags' names joined by "," + "]".
enum FontStyleFlag : int { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

QString FontStyleToText(int styles);
// Each flag is set when its name occurs anywhere in the text (letter case significant).
int TextToFontStyle(const QString& text);
