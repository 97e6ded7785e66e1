// The built program in a Wayland session, with a real compositor (weston, headless) on a
// socket of the test's own: on X11 where XWayland is there, on Wayland itself where not.
#include "eventually.h"
#include "privatebus.h"
#include "x11util.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

class WaylandSession : public ::testing::Test {
protected:
    PrivateBus bus;
    QTemporaryDir runtime; // the compositor's XDG_RUNTIME_DIR
    QTemporaryDir dir;
    QProcess weston;
    QProcess pendra;
    const QString socket = QStringLiteral("pendra-test-wayland");

    void SetUp() override {
        ASSERT_TRUE(bus.ok());
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        weston.setProcessEnvironment(env);
        weston.setProcessChannelMode(QProcess::MergedChannels);
        weston.start(QStringLiteral("weston"),
                     {QStringLiteral("--backend=headless-backend.so"),
                      QStringLiteral("--socket=") + socket, QStringLiteral("--idle-time=0"),
                      QStringLiteral("--shell=desktop-shell.so")});
        ASSERT_TRUE(weston.waitForStarted()) << "weston is missing: run scripts/setup.sh";
        ASSERT_TRUE(Eventually([&] { return QFile::exists(runtime.filePath(socket)); }, 10000));
    }
    void TearDown() override {
        for (QProcess* p : {&pendra, &weston}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->terminate();
            if (!p->waitForFinished(5000)) {
                p->kill();
                p->waitForFinished();
            }
        }
    }
    // A desktop's environment: the Wayland socket, and an X display only with XWayland.
    QProcessEnvironment session(bool xwayland) const {
        QProcessEnvironment env = bus.environment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
        env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        if (!xwayland) env.remove(QStringLiteral("DISPLAY"));
        return env;
    }
    void launch(bool xwayland) {
        pendra.setProcessEnvironment(session(xwayland));
        pendra.setWorkingDirectory(dir.path());
        pendra.setProcessChannelMode(QProcess::ForwardedChannels);
        pendra.start(QStringLiteral(PENDRA_BINARY), {});
        ASSERT_TRUE(pendra.waitForStarted());
    }
    QString send(const char* option) {
        QProcess p;
        p.setProcessEnvironment(bus.environment());
        p.start(QStringLiteral(PENDRA_BINARY), {QString::fromLatin1(option)});
        if (!p.waitForFinished(20000)) return QStringLiteral("(hangs)");
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed() +
               (p.exitCode() ? QStringLiteral(" (exit %1)").arg(p.exitCode()) : QString());
    }
};

TEST_F(WaylandSession, WithXWaylandTheWindowIsAnX11Window) {
    launch(true); // the tests' Xvfb stands in for XWayland
    EXPECT_NE(x11::waitForWindow(pendra.processId()), 0u);
    EXPECT_TRUE(Eventually(
        [&] { return send("--status") == QStringLiteral("ready 1 00:00 remaining"); }, 10000));
}

TEST_F(WaylandSession, WithoutXWaylandItRunsOnWaylandAndTakesCommands) {
    {
        QFile ini(dir.filePath(QStringLiteral("js.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Group]\r\nName1=Talk\r\nTime1=05:00\r\n");
    }
    launch(false);
    EXPECT_TRUE(Eventually(
        [&] { return send("--status") == QStringLiteral("ready 1 Talk 05:00 remaining"); }, 10000));
    EXPECT_EQ(send("--start"), QString());
    EXPECT_TRUE(send("--status").startsWith(QStringLiteral("running 1 Talk 0")));
    QTest::qWait(2000); // past the moment the hotkeys would have been registered
    EXPECT_EQ(pendra.state(), QProcess::Running);
    EXPECT_EQ(send("--stop"), QString());
    EXPECT_TRUE(send("--status").startsWith(QStringLiteral("result 1 Talk 00:")));
}

} // namespace
