// The built program in the prompt-window mode, started as a user starts it: a run started
// by the global hotkey, the window coming up and going on its schedule as the X server
// shows it, and the program closing itself at the end with the window's position saved.
#include "eventually.h"
#include "settingsfile.h"
#include "x11util.h"

#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

// The colour the screen shows at a point, whichever window is there.
QColor screenPixel(int x, int y) {
    const QImage img = QGuiApplication::primaryScreen()->grabWindow(0, x, y, 1, 1).toImage();
    return img.isNull() ? QColor() : img.pixelColor(0, 0);
}

class PromptProcess : public ::testing::Test {
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
    // The hotkeys are registered a second after start-up, later on a busy machine: the key
    // is pressed until the run has started. Here a press while running would hide the
    // window, so each press is given time to show its effect.
    static bool startWithHotkey(const std::function<bool()>& started) {
        QTest::qWait(1000);
        for (int i = 0; i < 10; ++i) {
            x11::xdotool({QStringLiteral("key"), QStringLiteral("F9")});
            if (Eventually(started, 2500)) return true;
        }
        return false;
    }
    ~PromptProcess() override {
        if (pendra.state() != QProcess::NotRunning) {
            pendra.kill();
            pendra.waitForFinished();
        }
    }
};

TEST_F(PromptProcess, ComesUpOnItsScheduleAndClosesAtTheEnd) {
    // A 15 s stage: up for 3 s every 6 s, for the last 3 without a break, closed at the end.
    // The alarm after 1 s turns the window red, which tells that the run has started.
    writeIni({"[SYSTEM]", "StartMode=2", "BKColor=65280", "left2=200", "top2=150", "[Message]",
              "DisplaySec=3", "DisplayInterval=6", "DJS=3", "Color_Over=255", "[Hotkey]",
              "start=F9", "Pri=", "Next=", "[Group]", "Time1=00:15", "Alarm1=00:01"});
    const unsigned long window = launch();
    ASSERT_NE(window, 0u);
    const QColor green(0, 255, 0), red(255, 0, 0);
    // Ready: the window's colour at its saved place.
    ASSERT_TRUE(Eventually([&] { return screenPixel(200, 150) == green; }))
        << screenPixel(200, 150).name().toStdString();

    const qint64 pid = pendra.processId();
    const auto up = [&] {
        return x11::visibleWindows(pid).contains(window) && screenPixel(200, 150) == red;
    };
    const auto gone = [&] {
        return !x11::visibleWindows(pid).contains(window) && screenPixel(200, 150) != red &&
               screenPixel(200, 150) != green;
    };
    ASSERT_TRUE(startWithHotkey(up));
    EXPECT_TRUE(Eventually(gone, 6000)) << "hidden 3 s after the start";
    EXPECT_TRUE(Eventually(up, 6000)) << "up again at 6 s";
    EXPECT_TRUE(Eventually(gone, 6000)) << "hidden at 9 s";
    EXPECT_TRUE(Eventually(up, 6000)) << "up for the last 3 s";

    // At the end the program closes itself and keeps where the window was.
    ASSERT_TRUE(pendra.waitForFinished(10000));
    EXPECT_EQ(pendra.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(pendra.exitCode(), 0);
    SettingsFile f(dir.filePath(QStringLiteral("js.ini")));
    EXPECT_EQ(f.ReadInteger(QStringLiteral("System"), QStringLiteral("LEFT2"), -1), 200);
    EXPECT_EQ(f.ReadInteger(QStringLiteral("System"), QStringLiteral("TOP2"), -1), 150);
}

} // namespace
