#include "appfixture.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <xcb/xcb.h>

namespace {

using WindowShellTest = AppFixture;

TEST_F(WindowShellTest, MenuHasEveryItemInOrderWithItsInitialState) {
    start();
    struct Item {
        const char* name;
        const char* caption;
        bool enabled;
    };
    const Item expected[] = {
        {"N_start", "开始/隐藏", true},
        {"N_pause", "暂停", false},
        {"N_stop", "停止/显示", false},
        {"", "", true},
        {"n_next", "下一阶段", true},
        {"N_pri", "上一阶段", true},
        {"", "阶段", true},
        {"", "", true},
        {"N_set", "设置", true},
        {"", "", true},
        {"N_About", "关于", true},
        {"N_help", "帮助", true},
        {"N_exit", "退出", true},
    };
    const QList<QAction*> actions = menu().PMenu->actions();
    ASSERT_EQ(actions.size(), int(std::size(expected)));
    for (int i = 0; i < actions.size(); ++i) {
        SCOPED_TRACE(i);
        if (*expected[i].name) {
            EXPECT_EQ(actions[i]->objectName(), QString::fromLatin1(expected[i].name));
        }
        EXPECT_EQ(actions[i]->isSeparator(), !*expected[i].caption);
        EXPECT_EQ(actions[i]->text(), QString::fromUtf8(expected[i].caption));
        EXPECT_EQ(actions[i]->isEnabled(), expected[i].enabled);
    }
    EXPECT_EQ(actions[6]->menu(), menu().N_jd);
    EXPECT_EQ(menu().N_jd->defaultAction(), menu().StageItems[0]);
    for (int n = 1; n <= 8; ++n)
        EXPECT_EQ(menu().StageItems[n - 1]->objectName(), QStringLiteral("N%11").arg(n));
}

TEST_F(WindowShellTest, BorderlessOnTopAndTranslucentByTheLowEightBits) {
    struct Case {
        const char* stored;
        int alpha;
    };
    for (const Case c : {Case{nullptr, 255}, Case{"128", 128}, Case{"300", 44}}) {
        frm.reset();
        writeIni(c.stored ? QByteArray("[System]\r\nTransParent=") + c.stored + "\r\n"
                          : QByteArray());
        start();
        EXPECT_NEAR(frm->windowOpacity(), c.alpha / 255.0, 0.002) << (c.stored ? c.stored : "none");
    }
    EXPECT_TRUE(frm->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(frm->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(frm->parentWidget(), nullptr); // a window of its own: one taskbar entry

    // Window managers learn "above" from _NET_WM_STATE.
    ASSERT_TRUE(Eventually([this] { return frm->isVisible(); }));
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const auto atom = [c](const char* name) {
        auto* r =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t a = r->atom;
        free(r);
        return a;
    };
    const xcb_atom_t above = atom("_NET_WM_STATE_ABOVE");
    auto* reply =
        xcb_get_property_reply(c,
                               xcb_get_property(c, 0, xcb_window_t(frm->winId()),
                                                atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 0, 32),
                               nullptr);
    ASSERT_NE(reply, nullptr);
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    const int n = xcb_get_property_value_length(reply) / 4;
    EXPECT_NE(std::find(atoms, atoms + n, above), atoms + n);
    free(reply);
    xcb_disconnect(c);
}

TEST_F(WindowShellTest, RestorePositionKeepsEachEdgeOnTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    struct Case {
        QByteArray ini;
        QPoint expected;
    };
    const Case cases[] = {
        {"", QPoint(screen.width() * 2 / 5, screen.height() * 2 / 5)},
        {"[System]\r\nleft0=-5\r\ntop0=100\r\n", QPoint(0, 100)},
        {"[System]\r\nLEFT0=40\r\nTOP0=" + QByteArray::number(screen.height() + 1) + "\r\n",
         QPoint(40, 0)},
        {"[System]\r\nleft0=" + QByteArray::number(screen.width()) + "\r\ntop0=7\r\n",
         QPoint(screen.width(), 7)},
        {"[System]\r\nleft2=5\r\ntop2=5\r\nleft0=junk\r\n",
         QPoint(screen.width() * 2 / 5, screen.height() * 2 / 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini.toStdString());
        frm.reset();
        writeIni(c.ini);
        start();
        EXPECT_EQ(frm->pos(), c.expected);
    }
}

TEST_F(WindowShellTest, CloseSavesThePositionOfItsDisplayMode) {
    for (const int mode : {0, 7}) {
        frm.reset();
        writeIni("[SYSTEM]\r\nStartMode=" + QByteArray::number(mode) + "\r\n");
        start();
        frm->move(123, 45);
        frm->close();
        SettingsFile ini(dir.filePath(QStringLiteral("js.ini")));
        EXPECT_EQ(ini.ReadInteger("System", "LEFT" + QString::number(mode), -1), 123);
        EXPECT_EQ(ini.ReadInteger("System", "TOP" + QString::number(mode), -1), 45);
    }
}

TEST_F(WindowShellTest, UnknownDisplayModeRunsNoModeButStillWorks) {
    writeIni("[SYSTEM]\r\nStartMode=7\r\n[Group]\r\nName1=A\r\nName2=B\r\nTime2=02:00\r\n");
    start();
    EXPECT_EQ(dynamic_cast<NormalMode*>(&frm->Mode()), nullptr);
    EXPECT_TRUE(frm->findChildren<AntiAliasedLabel*>().isEmpty());
    EXPECT_EQ(menu().N_start->text(), QStringLiteral("开始"));
    click(menu().N_start); // nothing to start
    EXPECT_FALSE(frm->Mode().EngineRunning());
    EXPECT_FALSE(menu().N_pause->isEnabled());
    EXPECT_TRUE(menu().n_next->isEnabled());
    click(menu().n_next); // the stage commands always act
    EXPECT_EQ(state().StageNo, "2");
    EXPECT_EQ(state().StdMin, 2);
    EXPECT_EQ(menu().N_jd->defaultAction(), menu().StageItems[1]);
}

// What a mode gets from FitWindow: the window encloses its visible components and a margin
// to the right and below, and shrinks when one is hidden (the GIF pictures go one by one).
TEST_F(WindowShellTest, FitWindowEnclosesTheVisibleComponents) {
    writeIni("[SYSTEM]\r\nStartMode=7\r\n");
    start();
    ModeHost& host = *frm;
    QWidget first(host.Window());
    QWidget second(host.Window());
    first.setGeometry(0, 0, 40, 30);
    second.setGeometry(40, 0, 40, 20);
    first.show();
    second.show();
    host.FitWindow(0);
    EXPECT_EQ(frm->size(), QSize(80, 30));
    second.hide();
    host.FitWindow(0);
    EXPECT_EQ(frm->size(), QSize(40, 30));
    first.move(2, 2);
    host.FitWindow(2);
    EXPECT_EQ(frm->size(), QSize(44, 34));
}

TEST_F(WindowShellTest, SettingsCommandReadsTheFileAgainFromStageOne) {
    const QByteArray plan = "[Group]\r\nName1=A\r\nTime1=05:00\r\nName2=B\r\nTime2=02:30\r\n";
    writeIni(plan);
    start();
    click(menu().n_next);
    EXPECT_EQ(normal().AALabel->caption(), "2:30");
    // Edited meanwhile, as OK in the settings dialog would; the dialog is cancelled.
    const QByteArray edited = "[Group]\r\nName1=A\r\nTime1=07:00\r\nName2=B\r\n";
    writeIni(edited + "[System]\r\nBKCOLOR=65280\r\nelapse=Used:\r\n");
    settingsCancelled();
    EXPECT_EQ(state().StageNo, "1");
    EXPECT_EQ(menu().N_jd->defaultAction(), menu().StageItems[0]);
    EXPECT_EQ(normal().AALabel->caption(), "7:00");
    EXPECT_EQ(frm->Background(), 65280);
    EXPECT_EQ(state().ElapseLabel, "Used:");
    EXPECT_FALSE(frm->IsClosed());

    writeIni(edited + "[Normal]\r\njsMode=1\r\n");
    settingsCancelled();
    EXPECT_TRUE(state().CountUp);
    EXPECT_EQ(normal().AALabel->caption(), "0:00");
}

TEST_F(WindowShellTest, SettingsCommandEndsTheProgramForAnotherDisplayMode) {
    const QByteArray plan = "[Group]\r\nName1=A\r\nName2=B\r\nTime2=02:30\r\n";
    writeIni(plan);
    start();
    bool closed = false;
    QObject::connect(frm.get(), &Tfrmmain::closed, [&] { closed = true; });
    frm->move(77, 88);
    click(menu().n_next);
    writeIni(plan + "[SYSTEM]\r\nStartMode=2\r\n");
    settingsCancelled();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(frm->isVisible());
    EXPECT_EQ(state().StageNo, "2"); // nothing after the close
    SettingsFile ini(dir.filePath(QStringLiteral("js.ini")));
    EXPECT_EQ(ini.ReadInteger("System", "LEFT0", -1), 77); // saved under the old mode
    EXPECT_EQ(ini.ReadInteger("System", "TOP0", -1), 88);
    EXPECT_EQ(ini.ReadString("System", "LEFT2", "none"), "none");
}

TEST_F(WindowShellTest, ReadOnlySettingsFileStillLetsTheProgramEnd) {
    writeIni("[System]\r\nLEFT0=1\r\n");
    QFile::setPermissions(dir.filePath("js.ini"), QFile::ReadOwner);
    start();
    bool closed = false;
    QObject::connect(frm.get(), &Tfrmmain::closed, [&] { closed = true; });
    MessageBoxCatcher catcher;
    frm->close();
    EXPECT_FALSE(frm->isVisible());
    ASSERT_TRUE(Eventually([&] { return closed; }));
    EXPECT_EQ(catcher.seen, 1);
    EXPECT_EQ(catcher.title, "Pendra");
    EXPECT_EQ(catcher.text, "Unable to write to " + dir.filePath("js.ini"));
    QFile::setPermissions(dir.filePath("js.ini"), QFile::ReadOwner | QFile::WriteOwner);
    SettingsFile ini(dir.filePath(QStringLiteral("js.ini")));
    EXPECT_EQ(ini.ReadInteger("System", "LEFT0", -1), 1);
}

// The prompt and GIF modes close the program at the end of a stage and their tick goes on
// after it; here the over cue of a clock closes it. The rest of that tick still reads its
// settings and asks for the window, which stays closed.
TEST_F(WindowShellTest, CloseInsideATickIsTheEnd) {
    writeIni("[Group]\r\nTime1=00:03\r\nAlarm1=00:03\r\n[System]\r\nSound_Over=o.wav\r\n"
             "Sound_Alarm=a.wav\r\nleft0=50\r\ntop0=60\r\n");
    start();
    int closed = 0;
    QObject::connect(frm.get(), &Tfrmmain::closed, [&] { ++closed; });
    click(menu().N_start);
    click(menu().N_start); // hidden; the over moment would show it
    ASSERT_TRUE(Eventually([this] { return !frm->isVisible(); }));
    sound.onPlay = [this](const QString& file) {
        if (file == "o.wav") frm->CloseProgram();
    };
    seconds(3);
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(frm->IsClosed());
    EXPECT_EQ(sound.played, QStringList({"o.wav", "a.wav"})); // read after the close
    EXPECT_FALSE(running());
    QTest::qWait(500); // an appearance would be under way
    EXPECT_FALSE(frm->isVisible());
    frm->ShowWindow();
    EXPECT_FALSE(frm->isVisible());
    SettingsFile ini(dir.filePath(QStringLiteral("js.ini")));
    EXPECT_EQ(ini.ReadInteger("System", "LEFT0", -1), 50);
}

TEST_F(WindowShellTest, HelpWithoutItsFileWarns) {
    start();
    MessageBoxCatcher catcher;
    click(menu().N_help);
    EXPECT_EQ(catcher.seen, 1);
    EXPECT_EQ(catcher.title, QStringLiteral("提示"));
    EXPECT_EQ(catcher.text, QStringLiteral("帮助文件不存在，请重新安装！"));
}

TEST_F(WindowShellTest, HideShrinksAwayAndShowComesBack) {
    start();
    ASSERT_TRUE(Eventually([this] { return frm->isVisible(); }));
    frm->HideWindow();
    EXPECT_FALSE(frm->IsShown());
    EXPECT_TRUE(frm->isVisible()); // still shrinking
    ASSERT_TRUE(Eventually([this] { return !frm->isVisible(); }));
    frm->ShowWindow();
    EXPECT_TRUE(frm->IsShown());
    frm->HideWindow();
    frm->ShowWindow(); // called back while on its way out: it stays
    QTest::qWait(600);
    EXPECT_TRUE(frm->isVisible());
    EXPECT_TRUE(frm->mask().isEmpty());
}

TEST_F(WindowShellTest, ButtonsThatDragAndButtonsThatDoNot) {
    start();
    ASSERT_TRUE(Eventually([this] { return frm->isVisible(); }));
    QWidget* label = normal().AALabel;
    struct Case {
        const char* name;
        QWidget* target;
        Qt::MouseButton button;
        bool drags;
    };
    const Case cases[] = {
        {"left on the clock", label, Qt::LeftButton, true},
        {"middle on the clock", label, Qt::MiddleButton, false},
        {"middle on the margin", frm.get(), Qt::MiddleButton, true},
        {"right on the margin", frm.get(), Qt::RightButton, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        frm->move(100, 100);
        const QPoint at = c.target == label ? QPoint(5, 5) : QPoint(1, 1);
        QTest::mousePress(c.target, c.button, {}, at);
        QTest::mouseMove(c.target, at + QPoint(30, 20));
        QTest::mouseRelease(c.target, c.button, {}, at + QPoint(30, 20));
        menu().PMenu->hide();
        EXPECT_EQ(frm->pos() != QPoint(100, 100), c.drags);
    }
}

} // namespace
