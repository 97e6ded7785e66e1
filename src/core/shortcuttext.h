#pragma once

#include <QString>
#include <QtGlobal>

// A shortcut value: the Windows virtual-key code in the low byte plus these modifier bits.
// The stored codes are Windows codes so that a js.ini moves between systems unchanged.
namespace Shortcut {
constexpr quint16 Shift = 0x2000;
constexpr quint16 Ctrl = 0x4000;
constexpr quint16 Alt = 0x8000;
constexpr quint16 KeyMask = 0x00FF;
} // namespace Shortcut

// The name of a virtual-key code ("F12", "A", "PgUp"); empty for a key without a name.
QString KeyCodeName(int keyCode);

// "Shift+", "Ctrl+", "Alt+" in this order, then the key's name; empty for 0.
QString ShortCutToText(quint16 shortcut);

// Prefixes in any order and letter case, "^" for "Ctrl+"; the key name is matched against
// the names of the key codes in rising order. No match (also "Ctrl+" alone) gives 0.
quint16 TextToShortCut(const QString& text);
