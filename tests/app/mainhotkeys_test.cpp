// The main window's hotkeys on the tests' own X server, pressed for real through XTEST.
#include "../platform/xclient.h"
#include "appfixture.h"
#include "balloonhint.h"

#include <QTest>
#include <X11/keysym.h>

namespace {

class MainHotkeysTest : public AppFixture {
protected:
    // The real X11 hotkeys, registered by the window's own one-second timer.
    void startWithHotkeys() {
        frm = std::make_unique<Tfrmmain>(AppServices{&clock, &sound, nullptr});
        frm->show();
    }
    void waitForRegistration() {
        ASSERT_TRUE(Eventually([this] { return !frm->HotkeyTimer()->isActive(); }));
    }
    void press(const char* key) {
        ASSERT_TRUE(PressKeys({QString::fromLatin1(key)}));
        QTest::qWait(300); // the key event's round trip through the server
    }
};

TEST_F(MainHotkeysTest, DefaultsGiveStopF12AndReportPreviousAndNext) {
    writeIni("[Group]\r\nTime1=05:00\r\n");
    startWithHotkeys();
    waitForRegistration();
    EXPECT_EQ(menu().N_stop->shortcut().toString(), QStringLiteral("F12"));
    EXPECT_TRUE(menu().N_pri->shortcut().isEmpty());
    const QString expected = QStringLiteral(
        "\r\n注册热键〖上一阶段〗失败！\r\n注册热键〖下一阶段〗失败！\r\n"
        "相应的操作将不能通过热键进行。\r\n如果您要使用热键，请在\"系统热键\"中重新设置！");
    EXPECT_EQ(frm->Balloon()->text(), expected);
    EXPECT_EQ(frm->Balloon()->title(), QStringLiteral("提示"));
    EXPECT_TRUE(frm->Balloon()->isVisible());
    EXPECT_EQ(state().HotkeyMessage, expected.left(expected.indexOf(QStringLiteral("\r\n相应"))));

    click(menu().N_start);
    press("F12"); // stop
    EXPECT_FALSE(running());
    EXPECT_EQ(menu().N_start->text(), QStringLiteral("清零"));
}

TEST_F(MainHotkeysTest, KeysActOnlyWhenRegisteredAndTheirItemIsEnabled) {
    writeIni(
        "[Group]\r\nTime1=05:00\r\n[Hotkey]\r\nstart=F9\r\npause=F8\r\nstop=\r\nPri=\r\nNext=\r\n");
    startWithHotkeys();
    press("F9"); // within the first second nothing is registered yet
    EXPECT_FALSE(running());
    waitForRegistration();
    EXPECT_FALSE(frm->Balloon()->isVisible());

    press("F8"); // pause is disabled while nothing runs
    EXPECT_EQ(menu().N_pause->text(), QStringLiteral("暂停"));
    press("F9");
    EXPECT_TRUE(running());
    press("F8");
    EXPECT_FALSE(running());
    EXPECT_EQ(frm->windowTitle(), QStringLiteral("暂停"));
    press("F8");
    EXPECT_TRUE(running());
}

TEST_F(MainHotkeysTest, ClosingHandsTheKeysBack) {
    writeIni("[Hotkey]\r\nstart=Ctrl+Alt+F9\r\nPri=\r\nNext=\r\n");
    startWithHotkeys();
    waitForRegistration();
    OtherXClient other;
    const std::uint8_t f9 = other.keycode(XK_F9);
    const std::uint8_t f12 = other.keycode(XK_F12);
    const std::uint16_t ctrlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
    EXPECT_FALSE(other.grab(f9, ctrlAlt));
    EXPECT_FALSE(other.grab(f12, 0));
    frm->close();
    EXPECT_TRUE(other.grabAllLockStates(f9, ctrlAlt));
    EXPECT_TRUE(other.grabAllLockStates(f12, 0));
}

} // namespace
