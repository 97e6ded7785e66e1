#pragma once

// A session bus of the test's own: dbus-daemon started on a private socket and stopped with
// the object, so that no test meets another's service or the machine's.
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

class PrivateBus {
public:
    PrivateBus() {
        daemon.start(QStringLiteral("dbus-daemon"),
                     {QStringLiteral("--session"), QStringLiteral("--nofork"),
                      QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
        if (!daemon.waitForStarted(10000)) return;
        while (!daemon.canReadLine() && daemon.waitForReadyRead(10000)) {
        }
        address = QString::fromUtf8(daemon.readLine()).trimmed();
    }
    ~PrivateBus() {
        daemon.terminate();
        if (!daemon.waitForFinished(5000)) {
            daemon.kill();
            daemon.waitForFinished();
        }
    }
    bool ok() const { return !address.isEmpty(); }

    // The environment of a program on this bus.
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        return env;
    }

    QProcess daemon;
    QString address;
};
