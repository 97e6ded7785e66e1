#include "remotecontrol.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QTextStream>

namespace {
constexpr int CallTimeoutMs = 5000;

const char* methodOf(RemoteCommand c) {
    switch (c) {
    case RemoteCommand::Start:
        return "Start";
    case RemoteCommand::Pause:
        return "Pause";
    case RemoteCommand::Stop:
        return "Stop";
    case RemoteCommand::Next:
        return "Next";
    case RemoteCommand::Previous:
        return "Previous";
    }
    return "";
}

RunPhase phaseFromName(const QString& name) {
    for (RunPhase p : {RunPhase::Ready, RunPhase::Running, RunPhase::Paused, RunPhase::Result})
        if (PhaseName(p).compare(name, Qt::CaseInsensitive) == 0) return p;
    return RunPhase::Ready;
}
} // namespace

RemoteControl::RemoteControl(RemoteTarget& target, QObject* parent)
    : QObject(parent), m_target(target) {
    connect(&m_target, &RemoteTarget::stateChanged, this, [this] {
        const RemoteStatus s = m_target.status();
        emit StateChanged(state(), s.stage, s.stageName);
    });
}

RemoteControl::~RemoteControl() {
    withdraw();
}

void RemoteControl::withdraw() {
    if (!m_registered) return;
    m_registered = false;
    m_bus.unregisterObject(Remote::Path);
    if (m_bus.interface()) m_bus.interface()->unregisterService(Remote::Service);
}

RemoteControl::Publication RemoteControl::publish(QDBusConnection bus) {
    if (!bus.isConnected() || !bus.interface()) return NoBus;
    m_bus = bus;
    if (!m_bus.registerObject(Remote::Path, this,
                              QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                  QDBusConnection::ExportAllProperties))
        return NoBus;
    m_registered = true;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        m_bus.interface()->registerService(Remote::Service, QDBusConnectionInterface::QueueService,
                                           QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid()) return NoBus;
    return reply.value() == QDBusConnectionInterface::ServiceRegistered ? Serving : Queued;
}

QString RemoteControl::state() const {
    const QString name = PhaseName(m_target.status().phase);
    return name.left(1).toUpper() + name.mid(1);
}

QString RemoteControl::RefusalText(const CommandOutcome& outcome, RunPhase phase) {
    if (outcome.result == CommandOutcome::Closed)
        return QStringLiteral("Pendra 正在退出，命令没有执行。");
    if (outcome.result == CommandOutcome::Busy)
        return QStringLiteral("Pendra 有对话框开着，命令没有执行；请先关闭对话框。");
    return QStringLiteral("「%1」现在不可用，命令没有执行（当前状态：%2）。")
        .arg(outcome.item, PhaseName(phase));
}

void RemoteControl::command(RemoteCommand c) {
    const CommandOutcome outcome = m_target.run(c);
    if (outcome.result != CommandOutcome::Done && calledFromDBus())
        sendErrorReply(Remote::RefusedError, RefusalText(outcome, m_target.status().phase));
}

void RemoteControl::Start() {
    command(RemoteCommand::Start);
}
void RemoteControl::Pause() {
    command(RemoteCommand::Pause);
}
void RemoteControl::Stop() {
    command(RemoteCommand::Stop);
}
void RemoteControl::Next() {
    command(RemoteCommand::Next);
}
void RemoteControl::Previous() {
    command(RemoteCommand::Previous);
}

RemoteStatus StatusFromProperties(const QVariantMap& p) {
    RemoteStatus s;
    s.displayMode = p.value(QStringLiteral("DisplayMode")).toInt();
    s.stage = p.value(QStringLiteral("StageNumber"), 1).toInt();
    s.stageName = p.value(QStringLiteral("StageName")).toString();
    s.phase = phaseFromName(p.value(QStringLiteral("State")).toString());
    s.elapsedSec = p.value(QStringLiteral("ElapsedSeconds")).toInt();
    s.remainingSec = p.value(QStringLiteral("RemainingSeconds")).toInt();
    s.overtime = p.value(QStringLiteral("Overtime")).toBool();
    s.countsUp = p.value(QStringLiteral("CountsUp")).toBool();
    return s;
}

int SendRemoteCommand(QDBusConnection bus, bool status, RemoteCommand command, QTextStream& out,
                      QTextStream& err) {
    if (!bus.isConnected() || !bus.interface()) {
        err << "pendra: 连接不到 D-Bus 会话总线，无法把命令交给 Pendra";
        if (bus.lastError().isValid()) err << "（" << bus.lastError().message() << "）";
        err << "。\n";
        return 3;
    }
    if (!bus.interface()->isServiceRegistered(Remote::Service).value()) {
        err << "pendra: 没有正在运行的 Pendra。\n";
        return 3;
    }
    QDBusMessage call =
        status ? QDBusMessage::createMethodCall(Remote::Service, Remote::Path,
                                                QStringLiteral("org.freedesktop.DBus.Properties"),
                                                QStringLiteral("GetAll"))
               : QDBusMessage::createMethodCall(Remote::Service, Remote::Path, Remote::Interface,
                                                QString::fromLatin1(methodOf(command)));
    if (status) call << Remote::Interface;
    const QDBusMessage reply = bus.call(call, QDBus::Block, CallTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        if (reply.errorName() == Remote::RefusedError) {
            err << "pendra: " << reply.errorMessage() << "\n";
            return 1;
        }
        // Gone between the two calls, or hanging.
        err << "pendra: Pendra 没有应答（" << reply.errorMessage() << "）。\n";
        return 3;
    }
    if (status) {
        const QVariantMap properties =
            qdbus_cast<QVariantMap>(reply.arguments().value(0).value<QDBusArgument>());
        out << StatusLine(StatusFromProperties(properties)) << "\n";
    }
    return 0;
}
