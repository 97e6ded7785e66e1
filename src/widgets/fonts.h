#pragma once

#include <QStringList>

// Settings files written on Chinese Windows name Windows faces ("宋体", "楷体_GB2312",
// "MS Sans Serif"). Maps them, and a few of their aliases, to the installed faces of the
// same kind. Call once at start-up, before any of these fonts is used.
void RegisterFontSubstitutions();

// The Windows face names that RegisterFontSubstitutions() maps.
QStringList SubstitutedFontNames();

class QFont;
// Whether the face that font resolves to has a bold weight of its own. Without one the text
// renderer emboldens the glyphs itself, as the face would otherwise draw bold as regular.
bool FaceHasBoldWeight(const QFont& font);
