#include "hotkeyslots.h"

#include "globalhotkeys.h"
#include "settingkeys.h"
#include "settingsfile.h"
#include "shortcuttext.h"

#include <QAction>
#include <QEvent>
#include <QKeySequence>

namespace {

const SettingKey* const SlotKeys[HotkeySlots::SlotCount] = {
    &Key::HotkeyStart, &Key::HotkeyPause, &Key::HotkeyStop, &Key::HotkeyPri, &Key::HotkeyNext};

const char* const FailureLines[HotkeySlots::SlotCount] = {
    "注册热键〖开始〗失败！", "注册热键〖暂停〗失败！", "注册热键〖停止〗失败！",
    "注册热键〖上一阶段〗失败！", "注册热键〖下一阶段〗失败！"};

int QtKeyForVirtualKey(int vk) {
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return vk; // Qt's codes for digits and letters are their ASCII codes too
    if (vk >= 0x60 && vk <= 0x69)
        return Qt::Key_0 + (vk - 0x60); // the stored text of a pad digit is the plain digit
    if (vk >= 0x70 && vk <= 0x87) return Qt::Key_F1 + (vk - 0x70);
    switch (vk) {
    case 0x08:
        return Qt::Key_Backspace;
    case 0x09:
        return Qt::Key_Tab;
    case 0x0C:
        return Qt::Key_Clear;
    case 0x0D:
        return Qt::Key_Return;
    case 0x13:
        return Qt::Key_Pause;
    case 0x14:
        return Qt::Key_CapsLock;
    case 0x1B:
        return Qt::Key_Escape;
    case 0x20:
        return Qt::Key_Space;
    case 0x21:
        return Qt::Key_PageUp;
    case 0x22:
        return Qt::Key_PageDown;
    case 0x23:
        return Qt::Key_End;
    case 0x24:
        return Qt::Key_Home;
    case 0x25:
        return Qt::Key_Left;
    case 0x26:
        return Qt::Key_Up;
    case 0x27:
        return Qt::Key_Right;
    case 0x28:
        return Qt::Key_Down;
    case 0x2C:
        return Qt::Key_Print;
    case 0x2D:
        return Qt::Key_Insert;
    case 0x2E:
        return Qt::Key_Delete;
    case 0x5B:
    case 0x5C:
        return Qt::Key_Meta;
    case 0x5D:
        return Qt::Key_Menu;
    case 0x6A:
        return Qt::Key_Asterisk;
    case 0x6B:
        return Qt::Key_Plus;
    case 0x6D:
        return Qt::Key_Minus;
    case 0x6E:
        return Qt::Key_Period;
    case 0x6F:
        return Qt::Key_Slash;
    case 0x90:
        return Qt::Key_NumLock;
    case 0x91:
        return Qt::Key_ScrollLock;
    case 0xBA:
        return Qt::Key_Semicolon;
    case 0xBB:
        return Qt::Key_Equal;
    case 0xBC:
        return Qt::Key_Comma;
    case 0xBD:
        return Qt::Key_Minus;
    case 0xBE:
        return Qt::Key_Period;
    case 0xBF:
        return Qt::Key_Slash;
    case 0xC0:
        return Qt::Key_QuoteLeft;
    case 0xDB:
        return Qt::Key_BracketLeft;
    case 0xDC:
        return Qt::Key_Backslash;
    case 0xDD:
        return Qt::Key_BracketRight;
    case 0xDE:
        return Qt::Key_Apostrophe;
    default:
        return 0;
    }
}

} // namespace

QKeySequence ShortcutToKeySequence(quint16 shortcut) {
    const int key = QtKeyForVirtualKey(shortcut & Shortcut::KeyMask);
    if (key == 0) return {};
    Qt::KeyboardModifiers mods;
    if (shortcut & Shortcut::Shift) mods |= Qt::ShiftModifier;
    if (shortcut & Shortcut::Ctrl) mods |= Qt::ControlModifier;
    if (shortcut & Shortcut::Alt) mods |= Qt::AltModifier;
    return QKeySequence(QKeyCombination(mods, Qt::Key(key)));
}

HotkeySlots::HotkeySlots(GlobalHotkeys& backend, std::array<QAction*, SlotCount> items,
                         QObject* parent)
    : QObject(parent), m_backend(backend), m_items(items) {
    for (QAction* item : m_items) {
        // The shortcut only labels the item: the key reaches the program through the global
        // hotkey alone. As a window shortcut it would click the item a second time, or go on
        // clicking it after its hotkey was lost, so shortcut events are swallowed.
        if (item) {
            item->setShortcutContext(Qt::WidgetShortcut);
            item->installEventFilter(this);
        }
    }
    connect(&m_backend, &GlobalHotkeys::activated, this, &HotkeySlots::onActivated);
}

QString HotkeySlots::RegisterHotkeys(const SettingsFile& file) {
    std::array<quint16, SlotCount> values{};
    for (int slot = 0; slot < SlotCount; ++slot)
        values[slot] = TextToShortCut(ReadText(file, *SlotKeys[slot]));

    QString failures;
    for (int slot = 0; slot < SlotCount; ++slot) {
        QAction* item = m_items[slot];
        if ((values[slot] & Shortcut::KeyMask) == 0) {
            if (item) item->setShortcut(QKeySequence());
            continue;
        }
        if (m_backend.registerHotkey(FirstId + slot, values[slot])) {
            if (item) item->setShortcut(ShortcutToKeySequence(values[slot]));
            continue;
        }
        if (slot != Start) failures += QLatin1String("\r\n");
        failures += QString::fromUtf8(FailureLines[slot]);
    }
    return failures;
}

void HotkeySlots::UnregisterHotkeys() {
    for (int slot = 0; slot < SlotCount; ++slot)
        m_backend.unregisterHotkey(FirstId + slot);
}

QString HotkeySlots::BalloonText(const QString& failureText) {
    return failureText + QStringLiteral("\r\n相应的操作将不能通过热键进行。\r\n") +
           QStringLiteral("如果您要使用热键，请在\"系统热键\"中重新设置！");
}

bool HotkeySlots::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Shortcut) return true;
    return QObject::eventFilter(watched, event);
}

void HotkeySlots::onActivated(int id) {
    const int slot = id - FirstId;
    if (slot < 0 || slot >= SlotCount) return;
    // A disabled item blocks its hotkey just as it blocks the menu.
    QAction* item = m_items[slot];
    if (item && item->isEnabled()) item->trigger();
}
