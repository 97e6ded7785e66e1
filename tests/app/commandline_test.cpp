// The command line, the status line, the settings folder and the platform choice.
#include "commandline.h"
#include "desktopsession.h"
#include "remotetarget.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

QStringList split(const char* args) {
    return QString::fromUtf8(args).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

TEST(CommandLineTest, OptionsAsUsersGiveThem) {
    using A = CommandLine;
    using C = RemoteCommand;
    struct Case {
        const char* args;
        CommandLine::Action action;
        RemoteCommand command;
        bool inSettingsDir;
        const char* settingsDir;
        const char* error; // part of the message
    };
    const Case cases[] = {
        {"", A::Window, C::Start, false, "", ""},
        {"--start", A::Command, C::Start, false, "", ""},
        {"--pause", A::Command, C::Pause, false, "", ""},
        {"--stop", A::Command, C::Stop, false, "", ""},
        {"--next", A::Command, C::Next, false, "", ""},
        {"--previous", A::Command, C::Previous, false, "", ""},
        {"--status", A::Status, C::Start, false, "", ""},
        {"--help", A::Help, C::Start, false, "", ""},
        {"-h", A::Help, C::Start, false, "", ""},
        {"--version", A::Version, C::Start, false, "", ""},
        {"-V", A::Version, C::Start, false, "", ""},
        {"--stop --help", A::Help, C::Stop, false, "", ""},
        {"--config-dir", A::Window, C::Start, true, "", ""},
        {"--config-dir=/srv/talks", A::Window, C::Start, true, "/srv/talks", ""},
        {"-platform offscreen", A::Window, C::Start, false, "", ""},
        // Never a silent start of a second window.
        {"--strat", A::Error, C::Start, false, "", "未知的选项 --strat"},
        {"-s", A::Error, C::Start, false, "", "未知的选项 -s"},
        {"start", A::Error, C::Start, false, "", "多余的参数 start"},
        {"--start --stop", A::Error, C::Start, false, "", "--start 和 --stop"},
        {"--status --status", A::Error, C::Start, false, "", "一次只能给一个命令"},
        {"--config-dir= ", A::Error, C::Start, false, "", "缺少文件夹"},
        {"--config-dir --start", A::Error, C::Start, false, "", "--config-dir"},
        {"-platform", A::Error, C::Start, false, "", "-platform 后面缺少值"},
        {"--bogus --help", A::Error, C::Start, false, "", "--bogus"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const CommandLine cl = ParseCommandLine(split(c.args));
        EXPECT_EQ(cl.action, c.action);
        if (c.action == A::Command) {
            EXPECT_EQ(cl.command, c.command);
        }
        if (c.action == A::Window) {
            EXPECT_EQ(cl.inSettingsDir, c.inSettingsDir);
            EXPECT_EQ(cl.settingsDir, QString::fromUtf8(c.settingsDir));
        }
        EXPECT_TRUE(cl.error.contains(QString::fromUtf8(c.error))) << cl.error.toStdString();
    }
    EXPECT_EQ(ParseCommandLine(split("-platform offscreen")).qtArguments,
              split("-platform offscreen"));
}

TEST(CommandLineTest, UsageNamesEveryOption) {
    const QString usage = UsageText();
    for (const char* option : {"--start", "--pause", "--stop", "--next", "--previous", "--status",
                               "--help", "--version", "--config-dir"})
        EXPECT_TRUE(usage.contains(QString::fromLatin1(option))) << option;
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^pendra \\d+\\.\\d+\\.\\d+\\n$"))
                    .match(VersionText())
                    .hasMatch())
        << VersionText().toStdString();
}

TEST(StatusLineTest, TheClockAndWhatItShows) {
    using P = RunPhase;
    struct Case {
        RunPhase phase;
        const char* name;
        bool countsUp, overtime;
        int elapsed, remaining;
        const char* line;
    };
    const Case cases[] = {
        {P::Running, "开场致辞", false, false, 108, 192, "running 2 开场致辞 03:12 remaining"},
        {P::Ready, "开场致辞", false, false, 0, 300, "ready 2 开场致辞 05:00 remaining"},
        {P::Paused, "Q & A", false, false, 61, 239, "paused 2 Q & A 03:59 remaining"},
        {P::Running, "", false, true, 342, -42, "running 2 00:42 overtime"},
        {P::Running, "", true, false, 108, 192, "running 2 01:48 elapsed"},
        {P::Running, "", true, true, 320, -20, "running 2 00:20 overtime"},
        {P::Result, "", false, false, 75, 225, "result 2 01:15 used"},
        {P::Result, "", false, true, 300, 0, "result 2 00:00 overtime"},
        {P::Result, "", true, false, 190, 0, "result 2 03:10 used"},
        {P::Running, "", false, false, 0, 6000, "running 2 100:00 remaining"},
    };
    for (const Case& c : cases) {
        RemoteStatus s;
        s.stage = 2;
        s.stageName = QString::fromUtf8(c.name);
        s.phase = c.phase;
        s.countsUp = c.countsUp;
        s.overtime = c.overtime;
        s.elapsedSec = c.elapsed;
        s.remainingSec = c.remaining;
        EXPECT_EQ(StatusLine(s), QString::fromUtf8(c.line));
    }
}

TEST(SettingsDirTest, ChosenFolderOrTheUsualOne) {
    struct Case {
        const char* given;
        const char* xdg;
        const char* expected;
    };
    const Case cases[] = {
        {"", "", "/home/ann/.config/pendra"},
        {"", "/data/conf", "/data/conf/pendra"},
        {"", "relative/conf", "/home/ann/.config/pendra"}, // not absolute: ignored
        {"/srv/talks/", "/data/conf", "/srv/talks"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SettingsDirFor(QString::fromUtf8(c.given), QString::fromUtf8(c.xdg),
                                 QStringLiteral("/home/ann")),
                  QString::fromUtf8(c.expected))
            << c.given << " " << c.xdg;
    EXPECT_EQ(SettingsDirFor(QStringLiteral("talks"), {}, {}),
              QDir::current().absoluteFilePath(QStringLiteral("talks")));
}

TEST(SettingsDirTest, CreatedWhenMissingAndEnteredOrRefusedWithTheReason) {
    QTemporaryDir home;
    const QString old = QDir::currentPath();
    const QString dir = home.filePath(QStringLiteral(".config/pendra"));
    QString error;
    ASSERT_TRUE(EnterSettingsDir(dir, &error)) << error.toStdString();
    EXPECT_EQ(QDir::currentPath(), dir);
    EXPECT_TRUE(EnterSettingsDir(dir, &error)); // already there
    QDir::setCurrent(old);

    QFile blocker(home.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    for (const QString& bad :
         {home.filePath(QStringLiteral("file")), home.filePath(QStringLiteral("file/pendra"))}) {
        error.clear();
        EXPECT_FALSE(EnterSettingsDir(bad, &error)) << bad.toStdString();
        EXPECT_TRUE(error.contains(bad)) << error.toStdString();
        EXPECT_EQ(QDir::currentPath(), old);
    }
}

TEST(QtPlatformTest, X11WhereverItCanBeHad) {
    struct Case {
        const char* qpa;
        bool argument;
        const char* wayland;
        const char* display;
        const char* session;
        const char* chosen;
    };
    const Case cases[] = {
        {"", false, "", ":0", "x11", ""},                   // an X11 session: as today
        {"", false, "wayland-0", ":0", "wayland", "xcb"},   // XWayland there
        {"", false, "", ":1", "wayland", "xcb"},            // WAYLAND_DISPLAY not exported
        {"", false, "wayland-0", "", "wayland", "wayland"}, // no XWayland
        {"wayland", false, "wayland-0", ":0", "", ""},      // the user's choice
        {"", true, "wayland-0", ":0", "", ""},              // -platform given
        {"", false, "", "", "", ""},                        // nothing known: Qt decides
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseQtPlatform(c.qpa, c.argument, c.wayland, c.display, c.session),
                  QByteArray(c.chosen))
            << c.qpa << "|" << c.argument << "|" << c.wayland << "|" << c.display;
}

} // namespace
