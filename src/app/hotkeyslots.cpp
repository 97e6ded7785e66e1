#include "hotkeyslots.h"

#include "globalhotkeys.h"
#include "runmenu.h"
#include "settingkeys.h"
#include "settingsfile.h"
#include "shortcuttext.h"
#include "virtualkeys.h"

#include <QAction>
#include <QEvent>
#include <QKeySequence>

namespace {

const SettingKey* const SlotKeys[HotkeySlots::SlotCount] = {
    &Key::HotkeyStart, &Key::HotkeyPause, &Key::HotkeyStop, &Key::HotkeyPri, &Key::HotkeyNext};

const char* const FailureLines[HotkeySlots::SlotCount] = {
    "注册热键〖开始〗失败！", "注册热键〖暂停〗失败！", "注册热键〖停止〗失败！",
    "注册热键〖上一阶段〗失败！", "注册热键〖下一阶段〗失败！"};

} // namespace

QKeySequence ShortcutToKeySequence(quint16 shortcut) {
    const VirtualKey* vk = FindVirtualKey(shortcut & Shortcut::KeyMask);
    const int key = vk ? vk->qtKeys[0] : 0;
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
    RunMenu::ClickItem(m_items[slot]);
}
