// The five hotkey hotkeySlots over the real X11 hotkeys, with key presses through XTEST.
#include "../platform/xclient.h"
#include "hotkeyslots.h"
#include "platform.h"
#include "settingsfile.h"
#include "x11hotkeys.h"

#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

const QString StartLine = QStringLiteral("注册热键〖开始〗失败！");
const QString PriLine = QStringLiteral("注册热键〖上一阶段〗失败！");
const QString NextLine = QStringLiteral("注册热键〖下一阶段〗失败！");

class HotkeySlotsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        backend = CreateGlobalHotkeys();
        ASSERT_NE(dynamic_cast<X11Hotkeys*>(backend.get()), nullptr) << "not running on X11";
        for (int i = 0; i < 5; ++i) {
            items[i] = new QAction(QStringLiteral("item%1").arg(i), &owner);
            spies[i] = std::make_unique<QSignalSpy>(items[i], &QAction::triggered);
        }
        hotkeySlots = std::make_unique<HotkeySlots>(*backend, items);
    }
    void TearDown() override {
        if (hotkeySlots) hotkeySlots->UnregisterHotkeys();
    }

    SettingsFile ini(const QByteArray& text) {
        const QString path = dir.filePath(QStringLiteral("js.ini"));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(text);
        return SettingsFile(path);
    }
    // The menu's shortcut column, item by item.
    std::string shortcuts() const {
        QStringList s;
        for (QAction* a : items)
            s << a->shortcut().toString();
        return s.join(" | ").toStdString();
    }
    QList<int> triggerCounts() const {
        QList<int> counts;
        for (const auto& spy : spies)
            counts << int(spy->count());
        return counts;
    }
    // Presses the keys; waits until item `last` was triggered.
    void press(const QStringList& keys, int last) {
        const qsizetype before = spies[last]->count();
        ASSERT_TRUE(PressKeys(keys));
        for (int i = 0; i < 250 && spies[last]->count() == before; ++i)
            QTest::qWait(20);
        ASSERT_GT(spies[last]->count(), before);
    }

    QTemporaryDir dir;
    QObject owner;
    std::unique_ptr<GlobalHotkeys> backend;
    std::array<QAction*, 5> items{};
    std::array<std::unique_ptr<QSignalSpy>, 5> spies;
    std::unique_ptr<HotkeySlots> hotkeySlots;
    OtherXClient other;
};

TEST_F(HotkeySlotsTest, RegistrationOutcomes) {
    struct Case {
        const char* name;
        QByteArray ini;
        QString failures;
        const char* shortcuts;
    };
    const Case cases[] = {
        {"no [Hotkey] section: stop takes F12, previous and next find it taken",
         "[System]\r\nBKCOLOR=1\r\n", "\r\n" + PriLine + "\r\n" + NextLine, " |  | F12 |  | "},
        {"only the start slot fails: no empty first line",
         "[Hotkey]\r\nstart=F11\r\npause=Ctrl+Alt+P\r\nstop=\r\nPri=\r\nNext=\r\n", StartLine,
         " | Ctrl+Alt+P |  |  | "},
        {"keys in any letter case and prefix order, ^ for Ctrl; junk is no key",
         "[HOTKEY]\r\nSTART=alt+shift+f2\r\npause=^F3\r\nstop=Bogus\r\npri=F4\r\nnext=Shift+\r\n",
         "", "Alt+Shift+F2 | Ctrl+F3 |  | F4 | "}, // the menu's own modifier order
    };
    // Another program holds F11.
    ASSERT_TRUE(other.grabAllLockStates(other.keycode(0xffc8), 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        hotkeySlots->UnregisterHotkeys();
        for (QAction* a : items)
            a->setShortcut(QKeySequence());
        EXPECT_EQ(hotkeySlots->RegisterHotkeys(ini(c.ini)), c.failures);
        EXPECT_EQ(shortcuts(), c.shortcuts);
    }
}

TEST_F(HotkeySlotsTest, BalloonTextOfTheDefaultSettings) {
    const QString failures = hotkeySlots->RegisterHotkeys(ini(""));
    EXPECT_EQ(HotkeySlots::BalloonText(failures),
              QStringLiteral("\r\n注册热键〖上一阶段〗失败！\r\n注册热键〖下一阶段〗失败！"
                             "\r\n相应的操作将不能通过热键进行。"
                             "\r\n如果您要使用热键，请在\"系统热键\"中重新设置！"));
}

TEST_F(HotkeySlotsTest, PressClicksTheEnabledItemOfItsSlot) {
    ASSERT_EQ(hotkeySlots->RegisterHotkeys(ini("[Hotkey]\r\nstart=F5\r\npause=F6\r\nstop=F7\r\n"
                                               "Pri=Ctrl+F8\r\nNext=Ctrl+F9\r\n")),
              "");
    press({"F5", "F6", "F7", "ctrl+F8", "ctrl+F9"}, 4);
    EXPECT_EQ(triggerCounts(), (QList<int>{1, 1, 1, 1, 1}));

    // A disabled item blocks its hotkey; the enabled one pressed after it still works.
    items[0]->setEnabled(false);
    press({"F5", "F6"}, 1);
    EXPECT_EQ(triggerCounts(), (QList<int>{1, 2, 1, 1, 1}));
}

TEST_F(HotkeySlotsTest, ReRegistrationFollowsTheChangedSettings) {
    ASSERT_EQ(hotkeySlots->RegisterHotkeys(ini("[Hotkey]\r\nstart=F5\r\npause=F6\r\nstop=\r\n"
                                               "Pri=\r\nNext=\r\n")),
              "");
    hotkeySlots->UnregisterHotkeys();
    ASSERT_EQ(hotkeySlots->RegisterHotkeys(ini("[Hotkey]\r\nstart=Shift+F5\r\npause=\r\nstop=\r\n"
                                               "Pri=\r\nNext=\r\n")),
              "");
    EXPECT_EQ(shortcuts(), "Shift+F5 |  |  |  | ");
    // The old keys are free again for other programs, and do nothing here.
    EXPECT_TRUE(other.grabAllLockStates(other.keycode(0xffc3), 0)); // F6
    press({"F5", "shift+F5"}, 0);
    EXPECT_EQ(triggerCounts(), (QList<int>{1, 0, 0, 0, 0}));
}

TEST_F(HotkeySlotsTest, UnregisterLeavesTheKeysToOtherPrograms) {
    hotkeySlots->RegisterHotkeys(ini(""));
    EXPECT_FALSE(other.grab(other.keycode(0xffc9), 0)); // F12 is ours
    hotkeySlots->UnregisterHotkeys();
    EXPECT_TRUE(other.grabAllLockStates(other.keycode(0xffc9), 0));
}

TEST_F(HotkeySlotsTest, ItemShortcutIsOnlyALabel) {
    // The start key is taken by another program, so the start item keeps the combination it
    // showed before; in a focused window the key must still not click it.
    ASSERT_TRUE(other.grabAllLockStates(other.keycode(0xffc8), 0)); // F11
    items[0]->setShortcut(QKeySequence(Qt::Key_F11));
    ASSERT_EQ(
        hotkeySlots->RegisterHotkeys(ini("[Hotkey]\r\nstart=F11\r\nstop=\r\nPri=\r\nNext=\r\n")),
        StartLine);
    EXPECT_EQ(items[0]->shortcut().toString(), "F11");

    QWidget window;
    QAction control(QStringLiteral("control"));
    control.setShortcut(QKeySequence(Qt::Key_F10));
    control.setShortcutContext(Qt::WidgetShortcut);
    QSignalSpy controlSpy(&control, &QAction::triggered);
    window.addAction(&control);
    window.addActions({items.begin(), items.end()});
    window.setFocusPolicy(Qt::StrongFocus);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.setFocus();

    QTest::keyClick(&window, Qt::Key_F11);
    QTest::keyClick(&window, Qt::Key_F10);
    EXPECT_EQ(controlSpy.count(), 1); // the window does take shortcuts
    EXPECT_EQ(spies[0]->count(), 0);
}

TEST(HotkeySlotsOffX11, EveryConfiguredSlotFails) {
    NoGlobalHotkeys none;
    QObject owner;
    std::array<QAction*, 5> items{};
    for (QAction*& a : items)
        a = new QAction(&owner);
    HotkeySlots hotkeySlots(none, items);
    QTemporaryDir dir;
    EXPECT_EQ(hotkeySlots.RegisterHotkeys(SettingsFile(dir.filePath("js.ini"))),
              "\r\n注册热键〖停止〗失败！\r\n" + PriLine + "\r\n" + NextLine);
}

} // namespace
