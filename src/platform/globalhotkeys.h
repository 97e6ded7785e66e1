#pragma once

#include <QObject>
#include <QtGlobal>

// System-wide hotkeys: a key combination that reaches this program whichever program has
// the keyboard focus. A shortcut is a Windows virtual-key code in the low byte plus the
// Shortcut::Shift/Ctrl/Alt bits (shortcuttext.h).
class GlobalHotkeys : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~GlobalHotkeys() override;

    // Claims the combination for id. Fails when the key does not exist on this keyboard,
    // when another program holds the combination, or when another id of ours holds it.
    // Registering an id again first releases what it held.
    virtual bool registerHotkey(int id, quint16 shortcut) = 0;
    // Releases the combination of id; an id that holds nothing is ignored.
    virtual void unregisterHotkey(int id) = 0;

signals:
    // A registered combination was pressed. Delivered through the event loop, never from
    // inside the registration calls.
    void activated(int id);
};

// For window systems without global hotkeys (Wayland, offscreen): every registration fails.
class NoGlobalHotkeys final : public GlobalHotkeys {
    Q_OBJECT
public:
    using GlobalHotkeys::GlobalHotkeys;
    bool registerHotkey(int, quint16) override { return false; }
    void unregisterHotkey(int) override {}
};
