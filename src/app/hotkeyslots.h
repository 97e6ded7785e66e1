#pragma once

#include <QObject>
#include <QString>
#include <array>

class GlobalHotkeys;
class QAction;
class QKeySequence;
class SettingsFile;

// The five global hotkeys of the run commands. Each slot has a [Hotkey] setting, a menu item
// that a press of the hotkey clicks, and a line that reports a failed registration.
class HotkeySlots : public QObject {
    Q_OBJECT
public:
    enum Slot { Start, Pause, Stop, Pri, Next, SlotCount };

    // items in slot order: N_start, N_pause, N_stop, N_pri, n_next. The backend's ids
    // FirstId to FirstId + 4 belong to these slots.
    HotkeySlots(GlobalHotkeys& backend, std::array<QAction*, SlotCount> items,
                QObject* parent = nullptr);

    // Reads all five settings, then registers them in slot order. A registered slot's item
    // shows its combination; a slot without a key shows none; a failed slot keeps what it
    // showed. Returns the failure lines, each slot after the first preceded by "\r\n" (so
    // the text starts with an empty line when the start slot did not fail); "" when none.
    QString RegisterHotkeys(const SettingsFile& file);
    // Releases all five; slots that hold nothing are ignored.
    void UnregisterHotkeys();

    // The balloon text for a non-empty failure text.
    static QString BalloonText(const QString& failureText);

    static constexpr int FirstId = 1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onActivated(int id);

    GlobalHotkeys& m_backend;
    std::array<QAction*, SlotCount> m_items;
};

// The menu's form of a shortcut value (Windows virtual-key code plus Shortcut bits), so that
// the menu shows the combination beside the item. Empty for 0 or a key Qt cannot name.
QKeySequence ShortcutToKeySequence(quint16 shortcut);
