// X11 global hotkeys on the tests' own Xvfb, with real key presses through XTEST.
#include "platform.h"
#include "shortcuttext.h"
#include "x11hotkeys.h"
#include "xclient.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t XK_F9 = 0xffc6, XK_F10 = 0xffc7, XK_F11 = 0xffc8, XK_F12 = 0xffc9;
constexpr quint16 F7 = 0x76, F8 = 0x77, F9 = 0x78, F10 = 0x79, F11 = 0x7A, F12 = 0x7B;

class X11HotkeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        hotkeys = CreateGlobalHotkeys();
        ASSERT_NE(dynamic_cast<X11Hotkeys*>(hotkeys.get()), nullptr) << "not running on X11";
        spy = std::make_unique<QSignalSpy>(hotkeys.get(), &GlobalHotkeys::activated);
    }

    // Presses keys and waits until `count` activations have arrived in all; returns the ids
    // in the order they came. X delivers events in order, so a press that should not fire
    // is followed by one that should, and the latter's arrival closes the wait.
    QList<int> press(const QStringList& keys, int count) {
        EXPECT_TRUE(PressKeys(keys));
        for (int i = 0; i < 250 && spy->count() < count; ++i)
            QTest::qWait(20);
        QList<int> ids;
        for (const QList<QVariant>& args : *spy)
            ids << args.at(0).toInt();
        return ids;
    }

    std::unique_ptr<GlobalHotkeys> hotkeys;
    std::unique_ptr<QSignalSpy> spy;
    OtherXClient other;
};

TEST_F(X11HotkeysTest, CombinationsFireOnlyWithTheirModifiers) {
    struct Case {
        quint16 shortcut;
        QStringList wrong; // the same key with other modifiers
        QString right;
    };
    const Case cases[] = {
        {F12, {"shift+F12", "ctrl+F12"}, "F12"},
        {quint16(Shortcut::Ctrl | Shortcut::Alt | 'R'), {"r", "ctrl+r", "alt+r"}, "ctrl+alt+r"},
        {quint16(Shortcut::Shift | 0x22), {"Next"}, "shift+Next"}, // Shift+PgDn
        {quint16(Shortcut::Ctrl | '5'), {"5"}, "ctrl+5"},
        {quint16(Shortcut::Alt | 0xBD), {"minus"}, "alt+minus"},
        // Keys on which the key tables once disagreed: Help, Print Screen, Mute, Play.
        {quint16(Shortcut::Ctrl | 0x2F),
         {"shift+Help"},
         "ctrl+Help"}, // xdotool takes a bare "Help" for its help command
        {quint16(Shortcut::Ctrl | 0x2C), {"Print"}, "ctrl+Print"},
        {quint16(Shortcut::Shift | 0xAD), {"XF86AudioMute"}, "shift+XF86AudioMute"},
        {quint16(Shortcut::Shift | 0xB3), {"XF86AudioPlay"}, "shift+XF86AudioPlay"},
    };
    int id = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(ShortCutToText(c.shortcut).toStdString());
        spy->clear();
        ASSERT_TRUE(hotkeys->registerHotkey(id, c.shortcut));
        EXPECT_EQ(press(c.wrong + QStringList{c.right}, 1), QList<int>{id});
        hotkeys->unregisterHotkey(id);
        ++id;
    }
}

TEST_F(X11HotkeysTest, LockKeysDoNotMatter) {
    ASSERT_TRUE(hotkeys->registerHotkey(1, F12));
    struct Case {
        const char* locks;
        std::uint16_t state;
    };
    const Case cases[] = {{"Num_Lock", XCB_MOD_MASK_2},
                          {"Caps_Lock", XCB_MOD_MASK_LOCK},
                          {"Num_Lock+Caps_Lock", XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locks);
        spy->clear();
        const QStringList toggles = QString::fromLatin1(c.locks).split('+');
        ASSERT_TRUE(PressKeys(toggles));
        ASSERT_EQ(other.modifierState() & (XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK), c.state);
        EXPECT_EQ(press({"F12"}, 1), QList<int>{1});
        ASSERT_TRUE(PressKeys(toggles)); // lock keys off again
        ASSERT_EQ(other.modifierState() & (XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK), 0);
    }
}

TEST_F(X11HotkeysTest, CombinationOfAnotherIdFails) {
    ASSERT_TRUE(hotkeys->registerHotkey(1, F12));
    EXPECT_FALSE(hotkeys->registerHotkey(2, F12));
    EXPECT_TRUE(hotkeys->registerHotkey(3, quint16(Shortcut::Shift | F12)));
    // The failed id took nothing from the first one.
    EXPECT_EQ(press({"F12"}, 1), QList<int>{1});
}

TEST_F(X11HotkeysTest, CombinationHeldByAnotherProgramFailsForThatIdAlone) {
    ASSERT_TRUE(other.grabAllLockStates(other.keycode(XK_F11), 0));
    EXPECT_FALSE(hotkeys->registerHotkey(1, F11));
    EXPECT_TRUE(hotkeys->registerHotkey(2, F10));
    EXPECT_EQ(press({"F11", "F10"}, 1), QList<int>{2});
}

TEST_F(X11HotkeysTest, PartlyRefusedGrabLeavesNothingBehind) {
    // The other program holds F9 only with NumLock on: our registration must fail and give
    // back the lock states it did get.
    const std::uint8_t f9 = other.keycode(XK_F9);
    ASSERT_TRUE(other.grab(f9, XCB_MOD_MASK_2));
    EXPECT_FALSE(hotkeys->registerHotkey(1, F9));
    EXPECT_TRUE(other.grab(f9, 0));
    EXPECT_TRUE(other.grab(f9, XCB_MOD_MASK_LOCK));
}

TEST_F(X11HotkeysTest, UnregisterFreesTheKeysAndSilencesThem) {
    ASSERT_TRUE(hotkeys->registerHotkey(1, F8));
    ASSERT_TRUE(hotkeys->registerHotkey(2, F7));
    hotkeys->unregisterHotkey(1);
    hotkeys->unregisterHotkey(99); // never registered: ignored
    EXPECT_EQ(press({"F8", "F7"}, 1), QList<int>{2});
    EXPECT_TRUE(other.grabAllLockStates(other.keycode(0xffc5), 0)); // F8
}

TEST_F(X11HotkeysTest, DestroyingReleasesEverything) {
    ASSERT_TRUE(hotkeys->registerHotkey(1, F12));
    ASSERT_TRUE(hotkeys->registerHotkey(2, quint16(Shortcut::Ctrl | F10)));
    spy.reset();
    hotkeys.reset();
    EXPECT_TRUE(other.grabAllLockStates(other.keycode(XK_F12), 0));
    EXPECT_TRUE(other.grabAllLockStates(other.keycode(XK_F10), XCB_MOD_MASK_CONTROL));
}

TEST_F(X11HotkeysTest, KeysMissingFromTheLayoutFail) {
    EXPECT_FALSE(hotkeys->registerHotkey(1, 0));
    EXPECT_FALSE(hotkeys->registerHotkey(1, 0xFF)); // no key has this code
}

} // namespace
