// The settings dialog of the built program, opened from its popup menu and edited with
// real X input; what OK leaves in js.ini and on the window's opacity.
#include "appfixture.h"
#include "fonts.h"
#include "settingsfile.h"
#include "tfrm_setsys.h"
#include "x11util.h"

#include "spinfield.h"
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class SetsysProcess : public AppFixture {
protected:
    QTemporaryDir programDir;
    QProcess pendra;

    ~SetsysProcess() override {
        if (pendra.state() != QProcess::NotRunning) {
            pendra.kill();
            pendra.waitForFinished();
        }
    }
    static void xdo(const QStringList& args) { x11::xdotool(args); }

    // Where the user clicks: the same dialog made here, on the same screen and fonts, shows
    // where each control of the program's dialog lies.
    QPoint where(Tfrm_setsys& layout, const QWidget* control, QPoint at = {-1, -1}) {
        if (at.x() < 0) at = control->rect().center();
        return control->mapTo(&layout, at);
    }
    void clickAt(unsigned long window, QPoint p) {
        xdo({"mousemove", "--window", QString::number(window), QString::number(p.x()),
             QString::number(p.y()), "click", "1"});
        QTest::qWait(200);
    }
};

TEST_F(SetsysProcess, OkFromThePopupMenuStoresTheEditsAndKeepsTheOpacity) {
    {
        SettingsFile ini(programDir.filePath(QStringLiteral("js.ini")));
        ini.WriteString(QStringLiteral("System"), QStringLiteral("left0"), QStringLiteral("40"));
        ini.WriteString(QStringLiteral("System"), QStringLiteral("top0"), QStringLiteral("40"));
        // No hotkey failures, so no balloon lies over the window.
        for (const char* key : {"stop", "Pri", "Next"})
            ini.WriteString(QStringLiteral("Hotkey"), QString::fromLatin1(key), QString());
    }
    pendra.setWorkingDirectory(programDir.path());
    pendra.setProcessChannelMode(QProcess::ForwardedChannels);
    pendra.start(QStringLiteral(PENDRA_BINARY), {});
    ASSERT_TRUE(pendra.waitForStarted());
    const unsigned long window = x11::waitForWindow(pendra.processId());
    ASSERT_NE(window, 0u);
    QTest::qWait(500);
    EXPECT_EQ(x11::windowOpacity(window), 255);

    // Right-click the clock; from the end of the menu up: 退出, 帮助, 关于, 设置.
    xdo({"mousemove", "--window", QString::number(window), "10", "10", "click", "3"});
    QTest::qWait(500);
    xdo({"key", "Up", "Up", "Up", "Up", "Return"});
    unsigned long dialog = 0;
    ASSERT_TRUE(Eventually([&] {
        for (unsigned long w : x11::visibleWindows(pendra.processId()))
            if (x11::windowName(w) == QStringLiteral("设置")) dialog = w;
        return dialog != 0;
    }));
    QTest::qWait(300);

    // The same dialog here, laid out but not put on the screen, for the places of its
    // controls: the same fonts, style and screen give the same places.
    RegisterFontSubstitutions();
    frm = std::make_unique<Tfrmmain>(AppServices{&clock, &sound, &hotkeys});
    frm->HotkeyTimer()->stop(); // no balloon of its own over the program's dialog
    Tfrm_setsys layout(*frm, frm.get());
    layout.setAttribute(Qt::WA_DontShowOnScreen);
    layout.show();
    QTest::qWait(50);
    auto tabAt = [&](const char* sheet) {
        const int index = layout.page->indexOf(layout.findChild<QWidget*>(sheet));
        return layout.page->tabBar()->mapTo(&layout,
                                            layout.page->tabBar()->tabRect(index).center());
    };

    // 效果: the slider's handle takes the focus, Home goes to its least value, two page
    // steps up from there.
    clickAt(dialog, tabAt("TabSheet12"));
    layout.page->setCurrentWidget(layout.findChild<QWidget*>(QStringLiteral("TabSheet12")));
    QTest::qWait(50);
    const QWidget* slider = layout.Slider_Opacity;
    clickAt(dialog, where(layout, slider, {slider->width() - 4, slider->height() / 2}));
    xdo({"key", "Home", "Prior", "Prior"});
    QTest::qWait(300);
    EXPECT_TRUE(Eventually([&] { return x11::windowOpacity(window) == 60; }))
        << x11::windowOpacity(window);

    // 时间: a new name for stage 2.
    clickAt(dialog, tabAt("TabSheet10"));
    layout.page->setCurrentWidget(layout.findChild<QWidget*>(QStringLiteral("TabSheet10")));
    QTest::qWait(50);
    clickAt(dialog, where(layout, layout.StageNames[1]));
    xdo({"key", "ctrl+a"});
    xdo({"type", "Q and A"});
    QTest::qWait(200);

    clickAt(dialog, where(layout, layout.btnok));
    ASSERT_TRUE(Eventually([&] {
        for (unsigned long w : x11::visibleWindows(pendra.processId()))
            if (w == dialog) return false;
        return true;
    }));
    SettingsFile ini(programDir.filePath(QStringLiteral("js.ini")));
    EXPECT_EQ(ini.ReadString(QStringLiteral("Group"), QStringLiteral("Name2"), {}),
              QStringLiteral("Q and A"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("System"), QStringLiteral("TransParent"), {}),
              QStringLiteral("60"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("Group"), QStringLiteral("Name1"), {}),
              QStringLiteral("阶段1"));
    EXPECT_EQ(x11::windowOpacity(window), 60);

    x11::requestClose(window);
    pendra.waitForFinished(10000);
    EXPECT_EQ(pendra.state(), QProcess::NotRunning);
    EXPECT_EQ(pendra.exitCode(), 0);
}

} // namespace
