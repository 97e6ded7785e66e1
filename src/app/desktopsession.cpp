#include "desktopsession.h"

#include "commandline.h"
#include "remotecontrol.h"
#include "tfrmmain.h"
#include "tfrmmainremote.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QMessageBox>
#include <QTextStream>
#include <cstdio>

namespace {
// After the hotkeys' first registration, so that its failures stay in view above.
constexpr int NoticeDelayMs = 1500;
} // namespace

QStringList ArgumentsOf(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

int RunWithoutWindow(const CommandLine& cl, int& argc, char** argv) {
    QTextStream out(stdout), err(stderr);
    switch (cl.action) {
    case CommandLine::Help:
        out << UsageText();
        return 0;
    case CommandLine::Version:
        out << VersionText();
        return 0;
    case CommandLine::Error:
        err << "pendra: " << cl.error << "\n\n" << UsageText();
        return 2;
    default:
        break;
    }
    QCoreApplication app(argc, argv); // sending a command needs no display
    return SendRemoteCommand(QDBusConnection::sessionBus(), cl.action == CommandLine::Status,
                             cl.command, out, err);
}

void UseDesktopPlatform(const CommandLine& cl) {
    const QByteArray platform = ChooseQtPlatform(
        qgetenv("QT_QPA_PLATFORM"), cl.qtArguments.contains(QStringLiteral("-platform")),
        qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY"), qgetenv("XDG_SESSION_TYPE"));
    if (!platform.isEmpty()) qputenv("QT_QPA_PLATFORM", platform);
}

bool EnterSettingsDirOrSay(const QString& given) {
    const QString dir =
        SettingsDirFor(given, qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath());
    QString error;
    if (EnterSettingsDir(dir, &error)) return true;
    std::fprintf(stderr, "pendra: %s\n", error.toLocal8Bit().constData());
    QMessageBox::critical(nullptr, QStringLiteral("Pendra"), error);
    return false;
}

QByteArray ChooseQtPlatform(const QByteArray& qtQpaPlatform, bool platformArgument,
                            const QByteArray& waylandDisplay, const QByteArray& display,
                            const QByteArray& sessionType) {
    if (!qtQpaPlatform.isEmpty() || platformArgument) return {};
    if (waylandDisplay.isEmpty() && sessionType != "wayland") return {};
    return display.isEmpty() ? QByteArray("wayland") : QByteArray("xcb");
}

DesktopLink::DesktopLink(Tfrmmain& frm, const QString& platformName, const QDBusConnection& bus)
    : m_target(std::make_unique<TfrmmainRemote>(frm)),
      m_remote(std::make_unique<RemoteControl>(*m_target)) {
    // Wayland gives no program global hotkeys; the desktop's own shortcuts run the commands.
    const bool desktop =
        platformName != QLatin1String("offscreen") && platformName != QLatin1String("minimal");
    if (platformName != QLatin1String("xcb") && desktop) {
        m_target->withoutHotkeys();
        m_target->showNotice(NoHotkeysNotice(), NoticeDelayMs);
    }
    QObject::connect(&frm, &Tfrmmain::closed, m_remote.get(), &RemoteControl::withdraw);
    switch (m_remote->publish(bus)) {
    case RemoteControl::Serving:
        break;
    case RemoteControl::Queued:
        m_target->showNotice(SecondWindowNotice(), NoticeDelayMs);
        break;
    case RemoteControl::NoBus:
        std::fputs(NoBusMessage().toLocal8Bit().constData(), stderr);
        break;
    }
}

DesktopLink::~DesktopLink() = default;

QString DesktopLink::NoHotkeysNotice() {
    return QStringLiteral(
        "这个桌面不让程序注册全局热键，热键不可用。\r\n"
        "可以在桌面的键盘快捷键设置中把按键绑定到命令：\r\n"
        "pendra --start、pendra --pause、pendra --stop、pendra --next、pendra --previous。");
}

QString DesktopLink::SecondWindowNotice() {
    return QStringLiteral("另一个 Pendra 窗口已经在运行：pendra --start 等命令\r\n"
                          "交给先启动的那个窗口，它关闭后才交给这个窗口。");
}

QString DesktopLink::NoBusMessage() {
    return QStringLiteral("pendra: 没有 D-Bus 会话总线，pendra --start 等命令不能控制这个窗口。\n");
}
