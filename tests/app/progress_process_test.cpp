// The built program in the progress-bar mode, started as a user starts it: the docked
// window and its colours as the X server shows them, a run started by the global hotkey,
// and how the bar lives beside other windows under a real window manager (JWM).
#include "eventually.h"
#include "x11util.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

namespace {

QString rectText(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// The window's place and size on the screen as the X server has them.
QRect geometryOf(unsigned long window) {
    QRect r;
    const QString out = x11::xdotool(
        {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), QString::number(window)});
    for (const QString& line : out.split(QLatin1Char('\n'))) {
        const QString value = line.section(QLatin1Char('='), 1);
        if (line.startsWith(QLatin1String("X="))) r.moveLeft(value.toInt());
        if (line.startsWith(QLatin1String("Y="))) r.moveTop(value.toInt());
        if (line.startsWith(QLatin1String("WIDTH="))) r.setWidth(value.toInt());
        if (line.startsWith(QLatin1String("HEIGHT="))) r.setHeight(value.toInt());
    }
    return r;
}

// The colour the screen shows at a point, whichever window is there.
QColor screenPixel(int x, int y) {
    const QImage img = QGuiApplication::primaryScreen()->grabWindow(0, x, y, 1, 1).toImage();
    return img.isNull() ? QColor() : img.pixelColor(0, 0);
}

class ProgressProcess : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QProcess pendra;

    void writeIni(const QStringList& lines) {
        QFile f(dir.filePath(QStringLiteral("js.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    }
    unsigned long launch() {
        pendra.setWorkingDirectory(dir.path());
        pendra.setProcessChannelMode(QProcess::ForwardedChannels);
        pendra.start(QStringLiteral(PENDRA_BINARY), {});
        if (!pendra.waitForStarted()) return 0;
        return x11::waitForWindow(pendra.processId());
    }
    void closeLikeAWindowManager(unsigned long window) {
        x11::requestClose(window);
        pendra.waitForFinished(10000);
        ASSERT_EQ(pendra.state(), QProcess::NotRunning);
        EXPECT_EQ(pendra.exitCode(), 0);
    }
    // The hotkeys are registered a second after start-up, later on a busy machine: the key
    // is pressed until the run has started. A press while it runs does nothing, as the
    // start item is disabled then.
    static bool startWithHotkey(const std::function<bool()>& started) {
        QTest::qWait(1000);
        for (int i = 0; i < 10; ++i) {
            x11::xdotool({QStringLiteral("key"), QStringLiteral("F9")});
            if (Eventually(started, 1500)) return true;
        }
        return false;
    }
    ~ProgressProcess() override {
        if (pendra.state() != QProcess::NotRunning) {
            pendra.kill();
            pendra.waitForFinished();
        }
    }
};

TEST_F(ProgressProcess, DockedAtTheBottomItFillsFromTheHotkeyToTheEnd) {
    writeIni({"[SYSTEM]",       "StartMode=1",     "Total=1",      "left1=300",
              "top1=300",       "[Progress]",      "Align=1",      "Height=20",
              "OptionText=1",   "Grident_Style=3", "Color=255",    "Total_Color=8388736",
              "[Hotkey]",       "start=F9",        "Pri=",         "Next=",
              "[Group]",        "Time1=00:04",     "Color1=65280", "Time2=00:04",
              "Color2=16776960"});
    const unsigned long window = launch();
    ASSERT_NE(window, 0u);
    // The whole width of the 1280 x 1024 screen, two bands of 20 on its bottom edge.
    EXPECT_TRUE(Eventually([&] { return geometryOf(window) == QRect(0, 984, 1280, 40); }))
        << rectText(geometryOf(window)).toStdString();
    const QColor red(255, 0, 0), green(0, 255, 0), cyan(0, 255, 255), white(255, 255, 255),
        blue(0, 0, 255), purple(0x80, 0, 0x80);
    EXPECT_TRUE(Eventually([&] {
        return x11::pixel(window, 640, 30) == red && x11::pixel(window, 10, 10) == green &&
               x11::pixel(window, 1270, 10) == cyan;
    }));

    // Filling from the left: the gradient's start colour, and the stage's bar in its fill.
    ASSERT_TRUE(startWithHotkey(
        [&] { return x11::pixel(window, 1, 30) == white && x11::pixel(window, 1, 10) == purple; }));
    // At the end of the 4 s the run stops with both bars full: the gradient's end colour at
    // the right of the main bar, the stage's whole bar in the fill colour.
    EXPECT_TRUE(Eventually(
        [&] {
            return x11::pixel(window, 1278, 30) == blue && x11::pixel(window, 630, 10) == purple;
        },
        10000));
    EXPECT_EQ(x11::pixel(window, 1270, 10), cyan); // stage 2 not begun
    EXPECT_EQ(geometryOf(window), QRect(0, 984, 1280, 40));
    closeLikeAWindowManager(window);
}

// JWM on the test's X server, with a configuration of its own: no panel, focus by click.
class WithWindowManager : public ProgressProcess {
protected:
    QTemporaryDir wmDir;
    QProcess wm;

    void SetUp() override {
        QFile rc(wmDir.filePath(QStringLiteral("jwmrc")));
        ASSERT_TRUE(rc.open(QIODevice::WriteOnly));
        rc.write("<?xml version=\"1.0\"?>\n<JWM><FocusModel>click</FocusModel></JWM>\n");
        rc.close();
        wm.setProcessChannelMode(QProcess::ForwardedChannels);
        wm.start(QStringLiteral("jwm"), {QStringLiteral("-f"), rc.fileName()});
        ASSERT_TRUE(wm.waitForStarted()) << "jwm is missing: run scripts/setup.sh";
        ASSERT_TRUE(Eventually(
            [] {
                QProcess xprop;
                xprop.start(QStringLiteral("xprop"),
                            {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")});
                xprop.waitForFinished();
                return xprop.readAllStandardOutput().contains("window id");
            },
            10000));
    }
    void TearDown() override {
        if (wm.state() == QProcess::NotRunning) return;
        wm.terminate();
        if (!wm.waitForFinished(5000)) {
            wm.kill();
            wm.waitForFinished();
        }
    }
};

TEST_F(WithWindowManager, TheBarStaysAboveAndNeverTakesTheFocus) {
    // The window the user works in, over the corner where the bar docks.
    QWidget work;
    work.setWindowTitle(QStringLiteral("work"));
    work.setGeometry(0, 0, 400, 300);
    work.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&work));
    work.activateWindow();
    ASSERT_TRUE(Eventually([&] { return work.isActiveWindow(); }));
    const QString focus = x11::xdotool({QStringLiteral("getwindowfocus")});
    const QString active = x11::xdotool({QStringLiteral("getactivewindow")});
    ASSERT_EQ(active, QString::number(work.winId()));

    // Along the top edge, growing with the progress: for the first two seconds of 300 it has
    // no width at all, so the window system takes it off the screen and maps it again.
    writeIni({"[SYSTEM]", "StartMode=1", "[Progress]", "Align=0", "Full=0", "OptionText=1",
              "Grident_Color=255", "Grident_EndColor=255", "Color=65280", "[Hotkey]", "start=F9",
              "Pri=", "Next=", "[Group]", "Time1=05:00"});
    const unsigned long window = launch();
    ASSERT_NE(window, 0u);
    EXPECT_TRUE(Eventually([&] { return geometryOf(window) == QRect(0, 0, 1280, 20); }))
        << rectText(geometryOf(window)).toStdString();
    work.raise();
    // Started, the window has no width for its first seconds and is off the screen.
    ASSERT_TRUE(
        startWithHotkey([&] { return !x11::visibleWindows(pendra.processId()).contains(window); }));

    // Five seconds of a run, the window mapped again and growing: the focus stays where it
    // was, with the window manager as with the X server, and the bar stays in sight.
    QString lost;
    for (QDeadlineTimer watch(5000); !watch.hasExpired(); QTest::qWait(100)) {
        const QString f = x11::xdotool({QStringLiteral("getwindowfocus")});
        const QString a = x11::xdotool({QStringLiteral("getactivewindow")});
        if ((f != focus || a != active) && lost.isEmpty())
            lost = QStringLiteral("focus %1, active %2").arg(f, a);
    }
    EXPECT_TRUE(lost.isEmpty()) << "first seen: " << lost.toStdString();
    EXPECT_TRUE(work.isActiveWindow());
    const QRect grown = geometryOf(window);
    EXPECT_EQ(grown.topLeft(), QPoint(0, 0));
    EXPECT_GT(grown.width(), 0);
    EXPECT_LT(grown.width(), 100);
    EXPECT_TRUE(Eventually([] { return screenPixel(2, 5) == QColor(255, 0, 0); }))
        << screenPixel(2, 5).name().toStdString();
    closeLikeAWindowManager(window);
}

} // namespace
