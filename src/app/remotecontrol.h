#pragma once

#include "remotetarget.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QVariantMap>

class QTextStream;

// The window's run commands and state on the session bus. One name for every user session:
// the first window that starts holds it; later ones wait in the bus's queue and take it
// over when the first one closes.
namespace Remote {
inline const QString Service = QStringLiteral("org.pendra.Pendra");
inline const QString Path = QStringLiteral("/org/pendra/Pendra");
inline const QString Interface = QStringLiteral("org.pendra.Pendra");
inline const QString RefusedError = QStringLiteral("org.pendra.Pendra.Error.Refused");
} // namespace Remote

class RemoteControl : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.pendra.Pendra")
    Q_PROPERTY(int DisplayMode READ displayMode)
    Q_PROPERTY(int StageNumber READ stageNumber)
    Q_PROPERTY(QString StageName READ stageName)
    Q_PROPERTY(QString State READ state)
    Q_PROPERTY(int ElapsedSeconds READ elapsedSeconds)
    Q_PROPERTY(int RemainingSeconds READ remainingSeconds)
    Q_PROPERTY(bool Overtime READ overtime)
    Q_PROPERTY(bool CountsUp READ countsUp)
public:
    enum Publication { Serving, Queued, NoBus };

    explicit RemoteControl(RemoteTarget& target, QObject* parent = nullptr);
    ~RemoteControl() override;

    // Offers the service on the bus. Queued: another window holds the name.
    Publication publish(QDBusConnection bus);
    // Leaves the bus, so that a window queued behind this one takes the commands at once.
    void withdraw();

    int displayMode() const { return m_target.status().displayMode; }
    int stageNumber() const { return m_target.status().stage; }
    QString stageName() const { return m_target.status().stageName; }
    QString state() const;
    int elapsedSeconds() const { return m_target.status().elapsedSec; }
    int remainingSeconds() const { return m_target.status().remainingSec; }
    bool overtime() const { return m_target.status().overtime; }
    bool countsUp() const { return m_target.status().countsUp; }

    // The message a refused command replies with.
    static QString RefusalText(const CommandOutcome& outcome, RunPhase phase);

public slots:
    void Start();
    void Pause();
    void Stop();
    void Next();
    void Previous();

signals:
    void StateChanged(const QString& state, int stage, const QString& stageName);

private:
    void command(RemoteCommand c);

    RemoteTarget& m_target;
    QDBusConnection m_bus{QString()};
    bool m_registered = false;
};

// The state properties of the service as read back by a client.
RemoteStatus StatusFromProperties(const QVariantMap& properties);

// The command-line client: sends the command (or reads the state for --status) to the
// running window and reports on `out` and `err`. Returns the exit code: 0 done, 1 refused,
// 3 no running window (or no session bus).
int SendRemoteCommand(QDBusConnection bus, bool status, RemoteCommand command, QTextStream& out,
                      QTextStream& err);
