#include "virtualkeys.h"

#include <QtCore/qnamespace.h>

#include <array>

namespace {

struct Named {
    quint8 code;
    const char* name;
    int qt0, qt1;
    bool keypad;
    std::uint32_t sym0, sym1;
};

// The keys that are not in one of the runs of letters, digits and function keys below.
constexpr Named NamedKeys[] = {
    {0x08, "BkSp", Qt::Key_Backspace, 0, false, 0xff08, 0},
    {0x09, "Tab", Qt::Key_Tab, Qt::Key_Backtab, false, 0xff09, 0},
    {0x0C, "Clear", Qt::Key_Clear, 0, false, 0xff0b, 0xff9d},              // Clear, KP_Begin
    {0x0D, "Enter", Qt::Key_Return, Qt::Key_Enter, false, 0xff0d, 0xff8d}, // Return, KP_Enter
    {0x13, "Pause", Qt::Key_Pause, 0, false, 0xff13, 0},
    {0x14, "Caps Lock", Qt::Key_CapsLock, 0, false, 0xffe5, 0},
    {0x1B, "Esc", Qt::Key_Escape, 0, false, 0xff1b, 0},
    {0x20, "Space", Qt::Key_Space, 0, false, 0x0020, 0},
    {0x21, "PgUp", Qt::Key_PageUp, 0, false, 0xff55, 0},   // Prior
    {0x22, "PgDn", Qt::Key_PageDown, 0, false, 0xff56, 0}, // Next
    {0x23, "End", Qt::Key_End, 0, false, 0xff57, 0},
    {0x24, "Home", Qt::Key_Home, 0, false, 0xff50, 0},
    {0x25, "Left", Qt::Key_Left, 0, false, 0xff51, 0},
    {0x26, "Up", Qt::Key_Up, 0, false, 0xff52, 0},
    {0x27, "Right", Qt::Key_Right, 0, false, 0xff53, 0},
    {0x28, "Down", Qt::Key_Down, 0, false, 0xff54, 0},
    {0x29, "Select", Qt::Key_Select, 0, false, 0xff60, 0},
    {0x2A, "Print", Qt::Key_Printer, 0, false, 0, 0}, // the printer key, not Print Screen
    {0x2B, "Execute", Qt::Key_Execute, 0, false, 0xff62, 0},
    {0x2C, "Prnt Scrn", Qt::Key_Print, 0, false, 0xff61, 0}, // X's Print is Print Screen
    {0x2D, "Ins", Qt::Key_Insert, 0, false, 0xff63, 0},
    {0x2E, "Del", Qt::Key_Delete, 0, false, 0xffff, 0},
    {0x2F, "Help", Qt::Key_Help, 0, false, 0xff6a, 0},
    {0x5B, "Left Windows", Qt::Key_Meta, 0, false, 0xffeb, 0},  // Super_L
    {0x5C, "Right Windows", Qt::Key_Meta, 0, false, 0xffec, 0}, // Super_R
    {0x5D, "Application", Qt::Key_Menu, 0, false, 0xff67, 0},
    {0x6A, "Num *", Qt::Key_Asterisk, 0, true, 0xffaa, 0},
    {0x6B, "Num +", Qt::Key_Plus, 0, true, 0xffab, 0},
    {0x6C, "Separator", Qt::Key_Comma, 0, true, 0xffac, 0},
    {0x6D, "Num -", Qt::Key_Minus, 0, true, 0xffad, 0},
    // The pad's decimal point; with NumLock off the same key is its Del.
    {0x6E, "Num Del", Qt::Key_Period, Qt::Key_Delete, true, 0xffae, 0xff9f},
    {0x6F, "Num /", Qt::Key_Slash, 0, true, 0xffaf, 0},
    {0x90, "Num Lock", Qt::Key_NumLock, 0, false, 0xff7f, 0},
    {0x91, "Scroll Lock", Qt::Key_ScrollLock, 0, false, 0xff14, 0},
    {0xAD, "Mute", Qt::Key_VolumeMute, 0, false, 0x1008ff12, 0},
    {0xAE, "Volume Down", Qt::Key_VolumeDown, 0, false, 0x1008ff11, 0},
    {0xAF, "Volume Up", Qt::Key_VolumeUp, 0, false, 0x1008ff13, 0},
    {0xB0, "Next Track", Qt::Key_MediaNext, 0, false, 0x1008ff17, 0},
    {0xB1, "Previous Track", Qt::Key_MediaPrevious, 0, false, 0x1008ff16, 0},
    {0xB2, "Stop Media", Qt::Key_MediaStop, 0, false, 0x1008ff15, 0},
    {0xB3, "Play/Pause", Qt::Key_MediaPlay, Qt::Key_MediaTogglePlayPause, false, 0x1008ff14, 0},
    {0xBA, ";", Qt::Key_Semicolon, Qt::Key_Colon, false, 0x003b, 0},
    {0xBB, "=", Qt::Key_Equal, Qt::Key_Plus, false, 0x003d, 0},
    {0xBC, ",", Qt::Key_Comma, Qt::Key_Less, false, 0x002c, 0},
    {0xBD, "-", Qt::Key_Minus, Qt::Key_Underscore, false, 0x002d, 0},
    {0xBE, ".", Qt::Key_Period, Qt::Key_Greater, false, 0x002e, 0},
    {0xBF, "/", Qt::Key_Slash, Qt::Key_Question, false, 0x002f, 0},
    {0xC0, "`", Qt::Key_QuoteLeft, Qt::Key_AsciiTilde, false, 0x0060, 0},
    {0xDB, "[", Qt::Key_BracketLeft, Qt::Key_BraceLeft, false, 0x005b, 0},
    {0xDC, "\\", Qt::Key_Backslash, Qt::Key_Bar, false, 0x005c, 0},
    {0xDD, "]", Qt::Key_BracketRight, Qt::Key_BraceRight, false, 0x005d, 0},
    {0xDE, "'", Qt::Key_Apostrophe, Qt::Key_QuoteDbl, false, 0x0027, 0},
    // The extra key of European keyboards. Qt's Key_Less is left to Shift+",".
    {0xE2, "<", 0, 0, false, 0x003c, 0},
};

constexpr const char* DigitNames[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
// What Shift gives on the digits of a US layout, from 0 to 9.
constexpr int ShiftedDigits[] = {Qt::Key_ParenRight,  Qt::Key_Exclam,    Qt::Key_At,
                                 Qt::Key_NumberSign,  Qt::Key_Dollar,    Qt::Key_Percent,
                                 Qt::Key_AsciiCircum, Qt::Key_Ampersand, Qt::Key_Asterisk,
                                 Qt::Key_ParenLeft};
constexpr const char* LetterNames[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I",
                                       "J", "K", "L", "M", "N", "O", "P", "Q", "R",
                                       "S", "T", "U", "V", "W", "X", "Y", "Z"};
constexpr const char* FunctionNames[] = {"F1",  "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",
                                         "F9",  "F10", "F11", "F12", "F13", "F14", "F15", "F16",
                                         "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24"};

constexpr std::size_t KeyCount = std::size(NamedKeys) + 10 + 26 + 10 + 24;

constexpr VirtualKey make(quint8 code, const char* name, int qt0, int qt1, bool keypad,
                          std::uint32_t sym0, std::uint32_t sym1) {
    VirtualKey k;
    k.code = code;
    k.name = name;
    k.qtKeys[0] = qt0;
    k.qtKeys[1] = qt1;
    k.keypad = keypad;
    k.keysyms[0] = sym0;
    k.keysyms[1] = sym1;
    return k;
}

constexpr std::array<VirtualKey, KeyCount> buildTable() {
    std::array<VirtualKey, KeyCount> t{};
    std::size_t n = 0;
    for (const Named& k : NamedKeys)
        t[n++] = make(k.code, k.name, k.qt0, k.qt1, k.keypad, k.sym0, k.sym1);
    for (int d = 0; d < 10; ++d) {
        t[n++] = make(quint8('0' + d), DigitNames[d], Qt::Key_0 + d, ShiftedDigits[d], false,
                      std::uint32_t('0' + d), 0);
        // The pad's digits share the main digits' names, so their text reads back as those.
        t[n++] = make(quint8(0x60 + d), DigitNames[d], Qt::Key_0 + d, 0, true,
                      std::uint32_t(0xffb0 + d), 0); // KP_0..KP_9
    }
    for (int l = 0; l < 26; ++l) // lower case is the keysym of the unshifted key
        t[n++] = make(quint8('A' + l), LetterNames[l], Qt::Key_A + l, 0, false,
                      std::uint32_t('a' + l), std::uint32_t('A' + l));
    for (int f = 0; f < 24; ++f)
        t[n++] = make(quint8(0x70 + f), FunctionNames[f], Qt::Key_F1 + f, 0, false,
                      std::uint32_t(0xffbe + f), 0);
    // Insertion sort by code: the table is small and this runs at compile time.
    for (std::size_t i = 1; i < n; ++i)
        for (std::size_t j = i; j > 0 && t[j - 1].code > t[j].code; --j) {
            const VirtualKey tmp = t[j];
            t[j] = t[j - 1];
            t[j - 1] = tmp;
        }
    return t;
}

constexpr std::array<VirtualKey, KeyCount> Table = buildTable();

constexpr bool codesAreUnique() {
    for (std::size_t i = 1; i < Table.size(); ++i)
        if (Table[i - 1].code >= Table[i].code) return false;
    return true;
}
static_assert(codesAreUnique(), "each virtual-key code appears once");

} // namespace

std::span<const VirtualKey> VirtualKeys() {
    return Table;
}

const VirtualKey* FindVirtualKey(int code) {
    for (const VirtualKey& k : Table)
        if (k.code == code) return &k;
    return nullptr;
}

int VirtualKeyFromQtKey(int qtKey, bool keypad) {
    if (qtKey == 0) return 0;
    // A key's own Qt key wins over another key's shifted form (Key_Plus is the pad's "+"
    // before it is Shift+"="), so the first column is searched before the second.
    const auto search = [qtKey](bool padKeys) {
        for (int column = 0; column < 2; ++column)
            for (const VirtualKey& k : Table)
                if (k.keypad == padKeys && k.qtKeys[column] == qtKey) return int(k.code);
        return 0;
    };
    if (keypad) {
        if (const int code = search(true)) return code;
    }
    return search(false);
}
