#include "shortcuttext.h"

#include "virtualkeys.h"

namespace {

bool takePrefix(QString& text, QLatin1String prefix) {
    if (!text.startsWith(prefix, Qt::CaseInsensitive)) return false;
    text.remove(0, prefix.size());
    return true;
}

} // namespace

QString KeyCodeName(int code) {
    const VirtualKey* key = FindVirtualKey(code);
    return key ? QString::fromLatin1(key->name) : QString();
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
    // The table is in rising order of code, so a digit reads as the main keyboard's.
    for (const VirtualKey& key : VirtualKeys())
        if (text.compare(QLatin1String(key.name), Qt::CaseInsensitive) == 0)
            return static_cast<quint16>(key.code | modifiers);
    return 0;
}
