#include "shortcuttext.h"

namespace {

// Names of the keys that have neither a letter, a digit nor a function-key number.
struct NamedKey {
    int code;
    const char* name;
};
constexpr NamedKey Names[] = {
    {0x08, "BkSp"},
    {0x09, "Tab"},
    {0x0C, "Clear"},
    {0x0D, "Enter"},
    {0x13, "Pause"},
    {0x14, "Caps Lock"},
    {0x1B, "Esc"},
    {0x20, "Space"},
    {0x21, "PgUp"},
    {0x22, "PgDn"},
    {0x23, "End"},
    {0x24, "Home"},
    {0x25, "Left"},
    {0x26, "Up"},
    {0x27, "Right"},
    {0x28, "Down"},
    {0x2C, "Prnt Scrn"},
    {0x2D, "Ins"},
    {0x2E, "Del"},
    {0x5B, "Left Windows"},
    {0x5C, "Right Windows"},
    {0x5D, "Application"},
    {0x6A, "Num *"},
    {0x6B, "Num +"},
    {0x6D, "Num -"},
    {0x6E, "Num Del"},
    {0x6F, "Num /"},
    {0x90, "Num Lock"},
    {0x91, "Scroll Lock"},
    {0xBA, ";"},
    {0xBB, "="},
    {0xBC, ","},
    {0xBD, "-"},
    {0xBE, "."},
    {0xBF, "/"},
    {0xC0, "`"},
    {0xDB, "["},
    {0xDC, "\\"},
    {0xDD, "]"},
    {0xDE, "'"},
};

bool takePrefix(QString& text, QLatin1String prefix) {
    if (!text.startsWith(prefix, Qt::CaseInsensitive)) return false;
    text.remove(0, prefix.size());
    return true;
}

} // namespace

QString KeyCodeName(int code) {
    if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) return QString(QChar(code));
    if (code >= 0x60 && code <= 0x69) // the numeric pad's digits read as the main digits
        return QString(QChar('0' + code - 0x60));
    if (code >= 0x70 && code <= 0x87) return QLatin1Char('F') + QString::number(code - 0x70 + 1);
    for (const NamedKey& k : Names)
        if (k.code == code) return QString::fromLatin1(k.name);
    return {};
}

QString ShortCutToText(quint16 shortcut) {
    const QString name = KeyCodeName(shortcut & Shortcut::KeyMask);
    if (name.isEmpty()) return {};
    QString t;
    if (shortcut & Shortcut::Shift) t += QLatin1String("Shift+");
    if (shortcut & Shortcut::Ctrl) t += QLatin1String("Ctrl+");
    if (shortcut & Shortcut::Alt) t += QLatin1String("Alt+");
    return t + name;
}

quint16 TextToShortCut(const QString& input) {
    QString text = input;
    quint16 modifiers = 0;
    for (bool more = true; more;) {
        more = false;
        if (takePrefix(text, QLatin1String("Ctrl+")) || takePrefix(text, QLatin1String("^"))) {
            modifiers |= Shortcut::Ctrl;
            more = true;
        } else if (takePrefix(text, QLatin1String("Shift+"))) {
            modifiers |= Shortcut::Shift;
            more = true;
        } else if (takePrefix(text, QLatin1String("Alt+"))) {
            modifiers |= Shortcut::Alt;
            more = true;
        }
    }
    if (text.isEmpty()) return 0;
    for (int code = 8; code <= 255; ++code) {
        const QString name = KeyCodeName(code);
        if (!name.isEmpty() && name.compare(text, Qt::CaseInsensitive) == 0)
            return static_cast<quint16>(code | modifiers);
    }
    return 0;
}
