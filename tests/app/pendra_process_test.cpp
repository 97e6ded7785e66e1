// The built program, started as a user starts it, driven through real X input.
#include "eventually.h"
#include "settingsfile.h"
#include "x11util.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class PendraProcess : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QProcess pendra;

    void launch(const QStringList& args = {}, const QString& program = PENDRA_BINARY) {
        pendra.setWorkingDirectory(dir.path());
        pendra.setProcessChannelMode(QProcess::ForwardedChannels);
        pendra.start(program, args);
        ASSERT_TRUE(pendra.waitForStarted());
    }
    void closeLikeAWindowManager(unsigned long window) {
        x11::requestClose(window);
        pendra.waitForFinished(10000);
        ASSERT_EQ(pendra.state(), QProcess::NotRunning);
        EXPECT_EQ(pendra.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(pendra.exitCode(), 0);
    }
    ~PendraProcess() override {
        if (pendra.state() != QProcess::NotRunning) {
            pendra.kill();
            pendra.waitForFinished();
        }
    }
};

TEST_F(PendraProcess, StartsInAnEmptyDirectoryAndLeavesItsPosition) {
    launch();
    const unsigned long window = x11::waitForWindow(pendra.processId());
    ASSERT_NE(window, 0u);
    QTest::qWait(500);                                             // the appearance
    EXPECT_EQ(x11::pixel(window, 1, 1), QColor(0xA6, 0xCA, 0xF0)); // sky blue

    closeLikeAWindowManager(window);
    SettingsFile ini(dir.filePath(QStringLiteral("js.ini")));
    EXPECT_NE(ini.ReadInteger(QStringLiteral("System"), QStringLiteral("LEFT0"), -1), -1);
    EXPECT_NE(ini.ReadInteger(QStringLiteral("System"), QStringLiteral("TOP0"), -1), -1);
    QFile raw(dir.filePath(QStringLiteral("js.ini")));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_TRUE(raw.readAll().startsWith("[System]\r\nLEFT0="));
}

// The media module is loaded at the first cue that has a file; a start without sounds maps
// neither Qt Multimedia nor GStreamer.
TEST_F(PendraProcess, StartsWithoutMappingAnyMediaLibrary) {
    launch();
    const unsigned long window = x11::waitForWindow(pendra.processId());
    ASSERT_NE(window, 0u);
    QTest::qWait(1500); // past the hotkey registration
    QFile maps(QStringLiteral("/proc/%1/maps").arg(pendra.processId()));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    const QByteArray all = maps.readAll();
    ASSERT_TRUE(all.contains("libQt6Core")); // the file is readable and what it seems
    EXPECT_FALSE(all.contains("libQt6Multimedia"));
    EXPECT_FALSE(all.contains("libgst"));
    closeLikeAWindowManager(window);
}

TEST_F(PendraProcess, CountsDownFromThePopupMenuToTheOvertime) {
    {
        SettingsFile ini(dir.filePath(QStringLiteral("js.ini")));
        ini.WriteString(QStringLiteral("Group"), QStringLiteral("Name1"), QStringLiteral("Talk"));
        ini.WriteString(QStringLiteral("Group"), QStringLiteral("Time1"), QStringLiteral("00:05"));
        ini.WriteString(QStringLiteral("Normal"), QStringLiteral("AutoStop"), QStringLiteral("1"));
        ini.WriteString(QStringLiteral("System"), QStringLiteral("left0"), QStringLiteral("300"));
        ini.WriteString(QStringLiteral("System"), QStringLiteral("top0"), QStringLiteral("200"));
        // No hotkey failures, so no balloon lies over the window.
        for (const char* key : {"Pri", "Next"})
            ini.WriteString(QStringLiteral("Hotkey"), QString::fromLatin1(key), QString());
    }
    launch();
    const unsigned long window = x11::waitForWindow(pendra.processId());
    ASSERT_NE(window, 0u);
    QTest::qWait(500);
    const QString w = QString::number(window);
    // Right-click the clock, then choose the first item, 开始/隐藏.
    x11::xdotool({"mousemove", "--window", w, "10", "10", "click", "3"});
    QTest::qWait(500);
    x11::xdotool({"mousemove_relative", "30", "10", "click", "1"});

    ASSERT_TRUE(
        Eventually([&] { return x11::windowName(window) == QStringLiteral("超 时:"); }, 9000));
    QTest::qWait(100);
    EXPECT_EQ(x11::pixel(window, 1, 1), QColor(255, 0, 0));

    // Dragged 40 right and 30 down by its surface.
    x11::xdotool({"mousemove", "--window", w, "5", "5", "mousedown", "1", "mousemove_relative",
                  "--", "40", "30", "mouseup", "1"});
    QTest::qWait(300);
    closeLikeAWindowManager(window);
    SettingsFile ini(dir.filePath(QStringLiteral("js.ini")));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("System"), QStringLiteral("LEFT0"), -1), 340);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("System"), QStringLiteral("TOP0"), -1), 230);
}

// The arguments of the desktop entry's start, as a launcher runs it.
QStringList desktopEntryArguments() {
    QFile entry(QStringLiteral(PENDRA_DESKTOP_FILE));
    if (!entry.open(QIODevice::ReadOnly)) return {QStringLiteral("--unreadable-desktop-entry")};
    for (const QByteArray& line : entry.readAll().split('\n')) {
        if (!line.startsWith("Exec=")) continue;
        QStringList words = QString::fromUtf8(line.mid(5)).split(QLatin1Char(' '));
        words.removeFirst(); // the program
        return words;
    }
    return {QStringLiteral("--no-exec-line")};
}

TEST_F(PendraProcess, FromTheDesktopMenuItKeepsItsSettingsInItsOwnFolder) {
    QTemporaryDir home;
    const QString folder = home.filePath(QStringLiteral("conf/pendra"));
    struct Case {
        const char* xdgConfigHome; // relative to home; nullptr: unset
        QString expected;
    };
    for (const Case& c :
         {Case{"conf", folder}, Case{nullptr, home.filePath(QStringLiteral(".config/pendra"))}}) {
        SCOPED_TRACE(c.xdgConfigHome ? c.xdgConfigHome : "unset");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        if (c.xdgConfigHome)
            env.insert(QStringLiteral("XDG_CONFIG_HOME"),
                       home.filePath(QString::fromLatin1(c.xdgConfigHome)));
        pendra.setProcessEnvironment(env);
        launch(desktopEntryArguments()); // the home folder is a launcher's current directory
        const unsigned long window = x11::waitForWindow(pendra.processId());
        ASSERT_NE(window, 0u);
        QTest::qWait(500);
        closeLikeAWindowManager(window);
        EXPECT_TRUE(QFile::exists(c.expected + QStringLiteral("/js.ini")));
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("js.ini"))));
    }
}

TEST_F(PendraProcess, SettingsFolderThatCannotBeMadeIsReportedNotIgnored) {
    QFile blocker(dir.filePath(QStringLiteral("pendra")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    pendra.setProcessChannelMode(QProcess::SeparateChannels);
    pendra.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
    pendra.setProcessEnvironment(env);
    pendra.start(QStringLiteral(PENDRA_BINARY), {QStringLiteral("--config-dir")});
    ASSERT_TRUE(pendra.waitForStarted());
    // A message box, not the timer: the settings would have nowhere to go.
    const unsigned long box = x11::waitForWindow(pendra.processId());
    ASSERT_NE(box, 0u);
    EXPECT_EQ(x11::windowName(box), QStringLiteral("Pendra"));
    x11::xdotool({"windowactivate", "--sync", QString::number(box)});
    x11::xdotool({"key", "--window", QString::number(box), "Return"});
    ASSERT_TRUE(pendra.waitForFinished(10000));
    // The program is gone on the press, before xdotool releases the key, which the server
    // then repeats into the next test's window.
    x11::xdotool({"keyup", "Return"});
    EXPECT_EQ(pendra.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(pendra.readAllStandardError())
                    .contains(dir.filePath(QStringLiteral("pendra"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("js.ini"))));
}

// However the window is closed, a refused write of the position is shown before the program
// ends: here the window manager's close, to which the main window answers inside the close
// request itself.
TEST_F(PendraProcess, ClosedByTheWindowManagerItShowsTheRefusedWriteThenEnds) {
    const QString ini = dir.filePath(QStringLiteral("js.ini"));
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[System]\r\nleft0=300\r\ntop0=200\r\n");
    }
    QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    launch();
    const unsigned long window = x11::waitForWindow(pendra.processId());
    ASSERT_NE(window, 0u);
    QTest::qWait(500);
    const auto messageBox = [&] {
        for (unsigned long w : x11::visibleWindows(pendra.processId()))
            if (w != window && x11::windowType(w) == QLatin1String("_NET_WM_WINDOW_TYPE_DIALOG"))
                return w;
        return 0ul;
    };
    x11::requestClose(window);
    unsigned long box = 0;
    Eventually([&] { return (box = messageBox()) != 0 || pendra.state() != QProcess::Running; },
               10000);
    ASSERT_EQ(pendra.state(), QProcess::Running) << "ended without showing the error";
    ASSERT_NE(box, 0u);
    EXPECT_EQ(x11::windowName(box), QStringLiteral("Pendra"));
    QTest::qWait(300);
    EXPECT_EQ(pendra.state(), QProcess::Running); // waits for the user
    x11::requestClose(box);                       // dismissed
    pendra.waitForFinished(10000);
    ASSERT_EQ(pendra.state(), QProcess::NotRunning);
    EXPECT_EQ(pendra.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(pendra.exitCode(), 0);
    QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner);
}

// The texture picture lies beside the program, so the program is copied to a folder of the
// test's own with a broken picture beside it.
TEST_F(PendraProcess, ABrokenTexturePictureIsReportedOverTheWindowNotBeforeIt) {
    QTemporaryDir bin;
    const QString built = QFileInfo(QStringLiteral(PENDRA_BINARY)).absolutePath();
    for (const char* name : {"pendra", "pendra_mediasound.so"})
        ASSERT_TRUE(QFile::copy(built + QLatin1Char('/') + QLatin1String(name),
                                bin.filePath(QLatin1String(name))));
    {
        QFile picture(bin.filePath(QStringLiteral("AALabel.jpg")));
        ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
        picture.write("\xFF\xD8\xFF\xE0 not a picture");
        SettingsFile ini(dir.filePath(QStringLiteral("js.ini")));
        ini.WriteString(QStringLiteral("AALabel"), QStringLiteral("Texture"), QStringLiteral("1"));
        for (const char* key : {"Pri", "Next"}) // no balloon over the window
            ini.WriteString(QStringLiteral("Hotkey"), QLatin1String(key), QString());
    }
    launch({}, bin.filePath(QStringLiteral("pendra")));
    const unsigned long first = x11::waitForWindow(pendra.processId());
    ASSERT_NE(first, 0u);
    EXPECT_NE(x11::windowType(first), QStringLiteral("_NET_WM_WINDOW_TYPE_DIALOG"))
        << "the box came before the window";
    unsigned long box = 0;
    EXPECT_TRUE(Eventually(
        [&] {
            for (unsigned long w : x11::visibleWindows(pendra.processId()))
                if (x11::windowType(w) == QLatin1String("_NET_WM_WINDOW_TYPE_DIALOG")) box = w;
            return box != 0;
        },
        10000));
    ASSERT_NE(box, 0u);
    EXPECT_EQ(x11::windowName(box), QStringLiteral("提示"));
    EXPECT_TRUE(x11::visibleWindows(pendra.processId()).contains(first));
    x11::requestClose(box);
    EXPECT_TRUE(Eventually([&] { return !x11::visibleWindows(pendra.processId()).contains(box); }));
    unsigned long window = first;
    if (window == box) window = x11::waitForWindow(pendra.processId());
    closeLikeAWindowManager(window);
}

} // namespace
