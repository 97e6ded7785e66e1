#pragma once

#include <QtGlobal>

#include <cstdint>
#include <span>

// The keys a shortcut value can name, by Windows virtual-key code. Shortcut values keep the
// Windows codes so that a js.ini moves between systems unchanged; everything else about a
// key (its name in the shortcut text, the Qt key that a key press reports, the X keysym a
// global hotkey grabs) is read from this one table.
struct VirtualKey {
    quint8 code = 0;
    // The name in a shortcut text ("F12", "PgUp"); never empty.
    const char* name = "";
    // Qt::Key values: the first is the key's own (and what a menu shows); the second is what
    // Qt reports for the key with Shift on a US layout ("!" for "1") or another form of the
    // same key (Key_Enter for Return). 0 where there is none.
    int qtKeys[2] = {0, 0};
    // True when Qt reports the key with Qt::KeypadModifier (the numeric pad).
    bool keypad = false;
    // X keysyms, the preferred first; 0 where there is none. Punctuation uses the US layout's
    // keysyms, which is what the codes stand for on Windows too.
    std::uint32_t keysyms[2] = {0, 0};
};

// Every key with a name, in rising order of code.
std::span<const VirtualKey> VirtualKeys();

// The key of a code, or null for a code without a name.
const VirtualKey* FindVirtualKey(int code);

// The virtual-key code of a key press as Qt reports it; 0 for a key the table does not
// know. With keypad set, the numeric pad's own codes are preferred (its digits, operators
// and decimal point); a pad key without one (Home with NumLock off) gives the main key's code.
int VirtualKeyFromQtKey(int qtKey, bool keypad);
