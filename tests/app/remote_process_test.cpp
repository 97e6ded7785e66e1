// The built program under remote control: a window on the test's X server and a session
// bus of the test's own, commands sent by a second process as a terminal or a desktop
// shortcut sends them.
#include "eventually.h"
#include "privatebus.h"
#include "settingsfile.h"
#include "x11util.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// Records the window's StateChanged signals as a bus client sees them.
class StateWatcher : public QObject {
    Q_OBJECT
public:
    QStringList seen; // "state stage name"
public slots:
    void onStateChanged(const QString& state, int stage, const QString& name) {
        seen << QStringLiteral("%1 %2 %3").arg(state).arg(stage).arg(name);
    }
};

namespace {

struct Reply {
    int code = -1;
    QString out, err;
};

class RemoteProcess : public ::testing::Test {
protected:
    PrivateBus bus;
    QTemporaryDir dir;
    std::vector<std::unique_ptr<QProcess>> windows;

    void writeIni(const QTemporaryDir& where, const char* firstStage) {
        SettingsFile ini(where.filePath(QStringLiteral("js.ini")));
        ini.WriteString(QStringLiteral("Group"), QStringLiteral("Name1"),
                        QString::fromUtf8(firstStage));
        ini.WriteString(QStringLiteral("Group"), QStringLiteral("Time1"), QStringLiteral("05:00"));
        ini.WriteString(QStringLiteral("Group"), QStringLiteral("Name2"), QStringLiteral("Q&A"));
        for (const char* key : {"Pri", "Next"}) // no balloon over the window
            ini.WriteString(QStringLiteral("Hotkey"), QString::fromLatin1(key), QString());
    }
    // Starts a window in `where` and waits until it is on the screen and on the bus.
    unsigned long openWindow(const QTemporaryDir& where) {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(bus.environment());
        p->setWorkingDirectory(where.path());
        p->setProcessChannelMode(QProcess::ForwardedChannels);
        p->start(QStringLiteral(PENDRA_BINARY), {});
        if (!p->waitForStarted()) return 0;
        const unsigned long window = x11::waitForWindow(p->processId());
        windows.push_back(std::move(p));
        QTest::qWait(500); // the appearance
        return window;
    }
    Reply pendra(const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(bus.environment());
        p.start(QStringLiteral(PENDRA_BINARY), args);
        Reply r;
        if (!p.waitForFinished(20000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    QString status() { return pendra({QStringLiteral("--status")}).out.trimmed(); }
    void chooseFromMenu(unsigned long window, int downs) {
        // Right-click, then the keyboard: Down moves over the enabled items only.
        x11::xdotool({"mousemove", "--window", QString::number(window), "10", "10", "click", "3"});
        QTest::qWait(400);
        for (int i = 0; i < downs; ++i)
            x11::xdotool({"key", "Down"});
        x11::xdotool({"key", "Return"});
    }
    ~RemoteProcess() override {
        for (auto& p : windows) {
            if (p->state() == QProcess::NotRunning) continue;
            p->terminate();
            if (!p->waitForFinished(5000)) {
                p->kill();
                p->waitForFinished();
            }
        }
    }
};

TEST_F(RemoteProcess, CommandsFromASecondProcessDriveTheWindowAndItsMenu) {
    ASSERT_TRUE(bus.ok());
    writeIni(dir, "开场致辞");
    const unsigned long window = openWindow(dir);
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(Eventually(
        [&] { return status() == QStringLiteral("ready 1 开场致辞 05:00 remaining"); }, 10000))
        << status().toStdString();

    // Refused: pause while ready, with the item's own caption; nothing moves.
    Reply r = pendra({QStringLiteral("--pause")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("「暂停」现在不可用"))) << r.err.toStdString();
    EXPECT_EQ(status(), QStringLiteral("ready 1 开场致辞 05:00 remaining"));

    r = pendra({QStringLiteral("--start")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QString());
    EXPECT_TRUE(Eventually(
        [&] {
            return QRegularExpression(QStringLiteral("^running 1 开场致辞 04:\\d\\d remaining$"))
                .match(status())
                .hasMatch();
        },
        10000));

    EXPECT_EQ(pendra({QStringLiteral("--pause")}).code, 0);
    EXPECT_TRUE(
        Eventually([&] { return x11::windowName(window) == QStringLiteral("暂停"); }, 5000));
    const QString paused = status();
    EXPECT_TRUE(paused.startsWith(QStringLiteral("paused 1 开场致辞 04:"))) << paused.toStdString();
    QTest::qWait(1500);
    EXPECT_EQ(status(), paused); // frozen
    // The menu follows: 开始/隐藏 is disabled now, so the first enabled item is 继续.
    chooseFromMenu(window, 1);
    // An empty caption reaches the taskbar as the program's name.
    EXPECT_TRUE(
        Eventually([&] { return x11::windowName(window) == QStringLiteral("Pendra"); }, 5000))
        << x11::windowName(window).toStdString();
    EXPECT_TRUE(status().startsWith(QStringLiteral("running 1 "))) << status().toStdString();

    EXPECT_EQ(pendra({QStringLiteral("--stop")}).code, 0);
    EXPECT_TRUE(
        Eventually([&] { return x11::windowName(window) == QStringLiteral("实际用时:"); }, 5000));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^result 1 开场致辞 00:\\d\\d used$"))
                    .match(status())
                    .hasMatch())
        << status().toStdString();
    EXPECT_EQ(pendra({QStringLiteral("--stop")}).code, 1); // stopped already

    // Next from the command line, the reset from the menu's first item (now 清零). Stage 2
    // has no time of its own, so it keeps the standard time of the stage before.
    EXPECT_EQ(pendra({QStringLiteral("--next")}).code, 0);
    chooseFromMenu(window, 1);
    EXPECT_TRUE(
        Eventually([&] { return status() == QStringLiteral("ready 2 Q&A 05:00 remaining"); }, 5000))
        << status().toStdString();
    EXPECT_EQ(pendra({QStringLiteral("--previous")}).code, 0);
    EXPECT_EQ(status(), QStringLiteral("ready 1 开场致辞 05:00 remaining"));
}

TEST_F(RemoteProcess, BusClientsReadThePropertiesAndHearTheChanges) {
    ASSERT_TRUE(bus.ok());
    writeIni(dir, "开场致辞");
    ASSERT_NE(openWindow(dir), 0u);
    QDBusConnection client = QDBusConnection::connectToBus(bus.address, QStringLiteral("client"));
    ASSERT_TRUE(client.isConnected());
    ASSERT_TRUE(Eventually(
        [&] { return status() == QStringLiteral("ready 1 开场致辞 05:00 remaining"); }, 10000))
        << status().toStdString();
    StateWatcher watcher;
    ASSERT_TRUE(client.connect(QStringLiteral("org.pendra.Pendra"),
                               QStringLiteral("/org/pendra/Pendra"),
                               QStringLiteral("org.pendra.Pendra"), QStringLiteral("StateChanged"),
                               &watcher, SLOT(onStateChanged(QString, int, QString))));
    QDBusInterface pendraBus(QStringLiteral("org.pendra.Pendra"),
                             QStringLiteral("/org/pendra/Pendra"),
                             QStringLiteral("org.pendra.Pendra"), client);
    EXPECT_EQ(pendraBus.property("DisplayMode").toInt(), 0);
    EXPECT_EQ(pendraBus.property("State").toString(), QStringLiteral("Ready"));
    EXPECT_EQ(pendraBus.property("RemainingSeconds").toInt(), 300);

    EXPECT_TRUE(pendraBus.call(QStringLiteral("Start")).errorName().isEmpty());
    EXPECT_TRUE(Eventually(
        [&] { return watcher.seen == QStringList{QStringLiteral("Running 1 开场致辞")}; }, 5000));
    const QDBusMessage refused = pendraBus.call(QStringLiteral("Next"));
    EXPECT_EQ(refused.errorName(), QStringLiteral("org.pendra.Pendra.Error.Refused"));
    EXPECT_EQ(refused.errorMessage(),
              QStringLiteral("「下一阶段」现在不可用，命令没有执行（当前状态：running）。"));
    EXPECT_TRUE(pendraBus.call(QStringLiteral("Stop")).errorName().isEmpty());
    EXPECT_TRUE(pendraBus.call(QStringLiteral("Next")).errorName().isEmpty());
    EXPECT_TRUE(Eventually([&] { return watcher.seen.size() == 3; }, 5000));
    EXPECT_EQ(watcher.seen.value(1), QStringLiteral("Result 1 开场致辞"));
    EXPECT_EQ(watcher.seen.value(2), QStringLiteral("Result 2 Q&A"));
    EXPECT_EQ(pendraBus.property("StageName").toString(), QStringLiteral("Q&A"));
    QDBusConnection::disconnectFromBus(QStringLiteral("client"));
}

TEST_F(RemoteProcess, CommandsGoToTheFirstWindowThenToTheNextOne) {
    ASSERT_TRUE(bus.ok());
    Reply r = pendra({QStringLiteral("--start")});
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(r.err, QStringLiteral("pendra: 没有正在运行的 Pendra。\n"));
    EXPECT_EQ(pendra({QStringLiteral("--status")}).code, 3);

    QTemporaryDir otherDir;
    writeIni(dir, "First");
    writeIni(otherDir, "Second");
    const unsigned long first = openWindow(dir);
    ASSERT_NE(first, 0u);
    ASSERT_TRUE(Eventually(
        [&] { return status() == QStringLiteral("ready 1 First 05:00 remaining"); }, 10000))
        << status().toStdString();
    ASSERT_NE(openWindow(otherDir), 0u);
    EXPECT_EQ(pendra({QStringLiteral("--start")}).code, 0);
    EXPECT_TRUE(
        Eventually([&] { return status().startsWith(QStringLiteral("running 1 First")); }, 5000))
        << status().toStdString();

    // Asked again if need be, as a close request soon after mapping is now and then lost on
    // an X server without a window manager.
    QProcess& firstProcess = *windows.front();
    for (int attempt = 0; attempt < 3 && firstProcess.state() != QProcess::NotRunning; ++attempt) {
        x11::requestClose(first);
        firstProcess.waitForFinished(5000);
    }
    ASSERT_EQ(firstProcess.state(), QProcess::NotRunning);
    ASSERT_TRUE(Eventually(
        [&] { return status() == QStringLiteral("ready 1 Second 05:00 remaining"); }, 10000))
        << status().toStdString();
}

TEST_F(RemoteProcess, WithoutASessionBusTheClientSaysSo) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               QStringLiteral("unix:path=") + dir.filePath(QStringLiteral("no-bus")));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(PENDRA_BINARY), {QStringLiteral("--stop")});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 3);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("D-Bus")));
}

TEST_F(RemoteProcess, HelpVersionAndAWrongOptionNeverOpenAWindow) {
    struct Case {
        const char* arg;
        int code;
        const char* out; // start of stdout
        const char* err; // part of stderr
    };
    const Case cases[] = {
        {"--help", 0, "用法: pendra", ""},
        {"--version", 0, "pendra ", ""},
        {"--strat", 2, "", "pendra: 未知的选项 --strat"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arg);
        QProcess p;
        p.setProcessEnvironment(bus.environment());
        p.start(QStringLiteral(PENDRA_BINARY), {QString::fromLatin1(c.arg)});
        ASSERT_TRUE(p.waitForFinished(20000)); // no window waits for a close
        EXPECT_EQ(p.exitCode(), c.code);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        if (*c.out)
            EXPECT_TRUE(out.startsWith(QString::fromUtf8(c.out))) << out.toStdString();
        else
            EXPECT_TRUE(out.isEmpty()) << out.toStdString();
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.err))) << err.toStdString();
        if (c.code == 2) EXPECT_TRUE(err.contains(QStringLiteral("用法: pendra")));
    }
}

} // namespace

#include "remote_process_test.moc"
