#include "x11hotkeys.h"

#include "shortcuttext.h"
#include "virtualkeys.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <vector>
#include <xcb/xcb.h>

namespace {

using Keysym = std::uint32_t;

constexpr Keysym NumLockKeysym = 0xff7f;
constexpr Keysym AltLKeysym = 0xffe9;
constexpr Keysym AltRKeysym = 0xffea;

// The running keyboard layout: keysyms per keycode and the keycodes of each modifier.
class Keymap {
public:
    explicit Keymap(xcb_connection_t* c) {
        const xcb_setup_t* setup = xcb_get_setup(c);
        m_min = setup->min_keycode;
        const int count = setup->max_keycode - setup->min_keycode + 1;
        auto kc = xcb_get_keyboard_mapping(c, setup->min_keycode, count);
        auto mc = xcb_get_modifier_mapping(c);
        if (auto* reply = xcb_get_keyboard_mapping_reply(c, kc, nullptr)) {
            m_perKeycode = reply->keysyms_per_keycode;
            const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
            m_keysyms.assign(syms, syms + xcb_get_keyboard_mapping_keysyms_length(reply));
            std::free(reply);
        }
        if (auto* reply = xcb_get_modifier_mapping_reply(c, mc, nullptr)) {
            m_perModifier = reply->keycodes_per_modifier;
            const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply);
            m_modifierKeycodes.assign(codes,
                                      codes + xcb_get_modifier_mapping_keycodes_length(reply));
            std::free(reply);
        }
    }

    // The first keycode that gives the keysym, preferring the plain and the shifted level
    // of the first group over the other levels.
    int keycodeFor(Keysym sym) const {
        if (m_perKeycode == 0) return 0;
        const int keycodes = int(m_keysyms.size()) / m_perKeycode;
        for (int pass = 0; pass < 2; ++pass) {
            const int from = pass == 0 ? 0 : 2;
            const int to = pass == 0 ? std::min(2, m_perKeycode) : m_perKeycode;
            for (int k = 0; k < keycodes; ++k)
                for (int col = from; col < to; ++col)
                    if (m_keysyms[k * m_perKeycode + col] == sym) return m_min + k;
        }
        return 0;
    }

    // The modifier bit whose keys produce one of the keysyms, or 0.
    std::uint16_t modifierMaskFor(std::initializer_list<Keysym> syms) const {
        for (int mod = 0; mod < 8; ++mod) {
            for (int i = 0; i < m_perModifier; ++i) {
                const int code = m_modifierKeycodes[mod * m_perModifier + i];
                if (code == 0 || m_perKeycode == 0) continue;
                const int k = code - m_min;
                for (int col = 0; col < m_perKeycode; ++col)
                    for (Keysym s : syms)
                        if (m_keysyms[k * m_perKeycode + col] == s) return std::uint16_t(1u << mod);
            }
        }
        return 0;
    }

private:
    int m_min = 0;
    int m_perKeycode = 0;
    int m_perModifier = 0;
    std::vector<xcb_keysym_t> m_keysyms;
    std::vector<xcb_keycode_t> m_modifierKeycodes;
};

constexpr std::uint16_t ModifierBits = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_LOCK |
                                       XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_2 |
                                       XCB_MOD_MASK_3 | XCB_MOD_MASK_4 | XCB_MOD_MASK_5;

} // namespace

std::unique_ptr<X11Hotkeys> X11Hotkeys::create() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) return nullptr;
    xcb_connection_t* c = x11->connection();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (!screen) return nullptr;
    return std::unique_ptr<X11Hotkeys>(new X11Hotkeys(c, screen->root));
}

X11Hotkeys::X11Hotkeys(xcb_connection_t* connection, std::uint32_t root)
    : m_connection(connection), m_root(root) {
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11Hotkeys::~X11Hotkeys() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
    for (const auto& [id, grab] : m_grabs)
        ungrab(grab);
    xcb_flush(m_connection);
}

// Lock keys take part in X's matching of grabs, so each combination is grabbed once per
// state of CapsLock and NumLock.
static std::vector<std::uint16_t> LockVariants(std::uint16_t numLock) {
    std::vector<std::uint16_t> v{0, XCB_MOD_MASK_LOCK};
    if (numLock && numLock != XCB_MOD_MASK_LOCK) {
        v.push_back(numLock);
        v.push_back(numLock | XCB_MOD_MASK_LOCK);
    }
    return v;
}

void X11Hotkeys::ungrab(const Grab& grab) {
    for (std::uint16_t lock : LockVariants(grab.numLock))
        xcb_ungrab_key(m_connection, grab.keycode, m_root, grab.modifiers | lock);
}

bool X11Hotkeys::registerHotkey(int id, quint16 shortcut) {
    unregisterHotkey(id);
    const int vk = shortcut & Shortcut::KeyMask;
    if (vk == 0) return false;

    // The layout may have changed since the last registration, so it is read afresh.
    const Keymap keymap(m_connection);
    std::uint16_t alt = keymap.modifierMaskFor({AltLKeysym, AltRKeysym});
    if (alt == 0) alt = XCB_MOD_MASK_1;

    int keycode = 0;
    if (const VirtualKey* key = FindVirtualKey(vk)) {
        for (Keysym sym : key->keysyms)
            if (sym != 0 && (keycode = keymap.keycodeFor(sym)) != 0) break;
    }
    if (keycode == 0) return false;

    Grab grab{std::uint8_t(keycode), 0, keymap.modifierMaskFor({NumLockKeysym})};
    if (shortcut & Shortcut::Shift) grab.modifiers |= XCB_MOD_MASK_SHIFT;
    if (shortcut & Shortcut::Ctrl) grab.modifiers |= XCB_MOD_MASK_CONTROL;
    if (shortcut & Shortcut::Alt) grab.modifiers |= alt;

    // X lets a client grab a combination it already holds (the new grab replaces the
    // old), so a combination taken by another id of ours is refused here.
    for (const auto& [other, held] : m_grabs)
        if (held.keycode == grab.keycode && held.modifiers == grab.modifiers) return false;

    const std::vector<std::uint16_t> variants = LockVariants(grab.numLock);
    std::vector<xcb_void_cookie_t> cookies;
    for (std::uint16_t lock : variants)
        cookies.push_back(xcb_grab_key_checked(m_connection, 0, m_root, grab.modifiers | lock,
                                               grab.keycode, XCB_GRAB_MODE_ASYNC,
                                               XCB_GRAB_MODE_ASYNC));
    bool ok = true;
    std::vector<std::uint16_t> granted;
    for (std::size_t i = 0; i < cookies.size(); ++i) {
        if (xcb_generic_error_t* error = xcb_request_check(m_connection, cookies[i])) {
            std::free(error); // BadAccess: another client holds it
            ok = false;
        } else {
            granted.push_back(variants[i]);
        }
    }
    if (!ok) {
        for (std::uint16_t lock : granted)
            xcb_ungrab_key(m_connection, grab.keycode, m_root, grab.modifiers | lock);
        xcb_flush(m_connection);
        return false;
    }
    m_grabs[id] = grab;
    return true;
}

void X11Hotkeys::unregisterHotkey(int id) {
    const auto it = m_grabs.find(id);
    if (it == m_grabs.end()) return;
    ungrab(it->second);
    m_grabs.erase(it);
    xcb_flush(m_connection);
}

bool X11Hotkeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS) return false;
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
    if (key->event != m_root) return false;
    for (const auto& [id, grab] : m_grabs) {
        const std::uint16_t locks = XCB_MOD_MASK_LOCK | grab.numLock;
        if (grab.keycode == key->detail && grab.modifiers == (key->state & ModifierBits & ~locks)) {
            // Queued, so that the command a hotkey starts does not run inside Qt's event
            // dispatch of a foreign window's key press.
            QMetaObject::invokeMethod(
                this, [this, id = id] { emit activated(id); }, Qt::QueuedConnection);
            return true;
        }
    }
    return false;
}
