#include "commandline.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {
struct CommandOption {
    const char* name;
    CommandLine::Action action;
    RemoteCommand command;
};
constexpr CommandOption CommandOptions[] = {
    {"--start", CommandLine::Command, RemoteCommand::Start},
    {"--pause", CommandLine::Command, RemoteCommand::Pause},
    {"--stop", CommandLine::Command, RemoteCommand::Stop},
    {"--next", CommandLine::Command, RemoteCommand::Next},
    {"--previous", CommandLine::Command, RemoteCommand::Previous},
    {"--status", CommandLine::Status, RemoteCommand::Start},
};
const QString ConfigDirOption = QStringLiteral("--config-dir");

CommandLine failed(const QString& message) {
    CommandLine cl;
    cl.action = CommandLine::Error;
    cl.error = message;
    return cl;
}
} // namespace

CommandLine ParseCommandLine(const QStringList& args) {
    CommandLine cl;
    QString commandName; // the command option given, for the message about a second one
    bool help = false, version = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            help = true;
            continue;
        }
        if (a == QLatin1String("-V") || a == QLatin1String("--version")) {
            version = true;
            continue;
        }
        if (a == ConfigDirOption || a.startsWith(ConfigDirOption + QLatin1Char('='))) {
            cl.inSettingsDir = true;
            cl.settingsDir = a.mid(ConfigDirOption.size() + 1);
            if (a.size() > ConfigDirOption.size() && cl.settingsDir.isEmpty())
                return failed(QStringLiteral("--config-dir= 后面缺少文件夹"));
            continue;
        }
        // Qt's own options for the window system, as every Qt program takes them.
        if (a == QLatin1String("-platform") || a == QLatin1String("-display")) {
            if (i + 1 >= args.size()) return failed(QStringLiteral("%1 后面缺少值").arg(a));
            cl.qtArguments << a << args[i + 1];
            ++i;
            continue;
        }
        const auto* known = std::find_if(std::begin(CommandOptions), std::end(CommandOptions),
                                         [&](const CommandOption& o) { return a == o.name; });
        if (known != std::end(CommandOptions)) {
            if (!commandName.isEmpty())
                return failed(QStringLiteral("一次只能给一个命令（%1 和 %2）").arg(commandName, a));
            commandName = a;
            cl.action = known->action;
            cl.command = known->command;
            continue;
        }
        if (a.startsWith(QLatin1Char('-'))) return failed(QStringLiteral("未知的选项 %1").arg(a));
        return failed(QStringLiteral("多余的参数 %1").arg(a));
    }
    if (help) {
        cl.action = CommandLine::Help;
        return cl;
    }
    if (version) {
        cl.action = CommandLine::Version;
        return cl;
    }
    if (!commandName.isEmpty() && (cl.inSettingsDir || !cl.qtArguments.isEmpty())) {
        const QString other = cl.inSettingsDir ? ConfigDirOption : cl.qtArguments.first();
        return failed(
            QStringLiteral("%1 只在打开窗口时有用，不能和 %2 一起用").arg(other, commandName));
    }
    return cl;
}

QString UsageText() {
    return QStringLiteral(
        "用法: pendra [--config-dir[=DIR]]\n"
        "      pendra --start | --pause | --stop | --next | --previous | --status\n"
        "      pendra --help | --version\n"
        "\n"
        "Pendra 阶段计时器。不带参数时打开计时窗口，设置文件 js.ini 在当前文件夹。\n"
        "\n"
        "  --config-dir[=DIR]  在设置文件夹里启动（默认 $XDG_CONFIG_HOME/pendra，\n"
        "                      即 ~/.config/pendra；没有时创建），桌面菜单这样启动\n"
        "  --start             开始/隐藏（计时时隐藏窗口；结束后清零）\n"
        "  --pause             暂停/继续\n"
        "  --stop              停止/显示（窗口隐藏时先显示）\n"
        "  --next              下一阶段\n"
        "  --previous          上一阶段\n"
        "  --status            显示状态，例如: running 2 开场致辞 03:12 remaining\n"
        "  -h, --help          显示这段说明\n"
        "  -V, --version       显示版本\n"
        "\n"
        "命令交给正在运行的 Pendra 窗口，与右键菜单中的同名项完全一样；菜单项\n"
        "不可用时命令被拒绝。有两个窗口时，命令交给先启动的那个。\n"
        "退出码: 0 完成；1 命令被拒绝；2 参数错误；3 没有正在运行的 Pendra。\n");
}

QString VersionText() {
    return QStringLiteral("pendra %1\n").arg(QStringLiteral(PENDRA_VERSION));
}

QString SettingsDirFor(const QString& given, const QString& xdgConfigHome, const QString& home) {
    if (!given.isEmpty()) return QDir::cleanPath(QDir::current().absoluteFilePath(given));
    const QString base = !xdgConfigHome.isEmpty() && QDir::isAbsolutePath(xdgConfigHome)
                             ? xdgConfigHome
                             : QDir(home).filePath(QStringLiteral(".config"));
    return QDir::cleanPath(QDir(base).filePath(QStringLiteral("pendra")));
}

bool EnterSettingsDir(const QString& dir, QString* error) {
    const QFileInfo info(dir);
    QString reason;
    if (info.exists() && !info.isDir())
        reason = QStringLiteral("同名的文件已存在");
    else if (!QDir().mkpath(dir))
        reason = QStringLiteral("无法创建这个文件夹");
    else if (!QDir::setCurrent(dir))
        reason = QStringLiteral("无法进入这个文件夹");
    if (reason.isEmpty()) return true;
    if (error) *error = QStringLiteral("设置文件夹 %1 不能使用：%2。").arg(dir, reason);
    return false;
}
