#pragma once

#include "globalhotkeys.h"

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <map>
#include <memory>

struct xcb_connection_t;

// Global hotkeys on X11: passive key grabs on the root window, made on Qt's own xcb
// connection so that the key presses arrive in Qt's event stream, where a native event
// filter picks them out.
class X11Hotkeys final : public GlobalHotkeys, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // Null when the application does not run on X11.
    static std::unique_ptr<X11Hotkeys> create();
    ~X11Hotkeys() override;

    bool registerHotkey(int id, quint16 shortcut) override;
    void unregisterHotkey(int id) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    X11Hotkeys(xcb_connection_t* connection, std::uint32_t root);

    struct Grab {
        std::uint8_t keycode;
        std::uint16_t modifiers; // without the lock bits
        std::uint16_t numLock;   // the NumLock modifier bit when the grab was made
    };
    void ungrab(const Grab& grab);

    xcb_connection_t* m_connection;
    std::uint32_t m_root;
    std::map<int, Grab> m_grabs;
};
