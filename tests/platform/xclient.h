#pragma once

// A second X client of the tests' own: it holds key grabs the way another program on the
// desktop would, and presses keys through xdotool.
#include <QProcess>
#include <QStringList>
#include <cstdint>
#include <cstdlib>
#include <xcb/xcb.h>

class OtherXClient {
public:
    OtherXClient() : m_c(xcb_connect(nullptr, nullptr)) {
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
    }
    ~OtherXClient() { xcb_disconnect(m_c); } // the server drops all its grabs
    OtherXClient(const OtherXClient&) = delete;
    OtherXClient& operator=(const OtherXClient&) = delete;

    // The first keycode whose plain level gives the keysym.
    std::uint8_t keycode(std::uint32_t keysym) {
        const xcb_setup_t* setup = xcb_get_setup(m_c);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        auto* r = xcb_get_keyboard_mapping_reply(
            m_c, xcb_get_keyboard_mapping(m_c, setup->min_keycode, count), nullptr);
        std::uint8_t found = 0;
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(r);
        for (int k = 0; k < count && !found; ++k)
            if (syms[k * r->keysyms_per_keycode] == keysym)
                found = std::uint8_t(setup->min_keycode + k);
        std::free(r);
        return found;
    }

    bool grab(std::uint8_t keycode, std::uint16_t modifiers) {
        auto cookie = xcb_grab_key_checked(m_c, 1, m_root, modifiers, keycode, XCB_GRAB_MODE_ASYNC,
                                           XCB_GRAB_MODE_ASYNC);
        if (xcb_generic_error_t* e = xcb_request_check(m_c, cookie)) {
            std::free(e);
            return false;
        }
        return true;
    }
    // The grab with every lock-key state, as a hotkey program would make it.
    bool grabAllLockStates(std::uint8_t keycode, std::uint16_t modifiers) {
        for (int lock :
             {0, int(XCB_MOD_MASK_LOCK), int(XCB_MOD_MASK_2), XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2})
            if (!grab(keycode, std::uint16_t(modifiers | lock))) return false;
        return true;
    }

    // The modifier and lock state of the keyboard now.
    std::uint16_t modifierState() {
        auto* r = xcb_query_pointer_reply(m_c, xcb_query_pointer(m_c, m_root), nullptr);
        const std::uint16_t mask = r ? r->mask & 0xff : 0;
        std::free(r);
        return mask;
    }

private:
    xcb_connection_t* m_c;
    xcb_window_t m_root;
};

// Presses and releases keys through the XTEST extension, e.g. "F12" or "ctrl+alt+r".
inline bool PressKeys(const QStringList& keys) {
    return QProcess::execute(QStringLiteral("xdotool"), QStringList{"key"} + keys) == 0;
}
