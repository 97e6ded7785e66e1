#include "exepath.h"

#include <QCoreApplication>
#include <QFileInfo>

QString ExecutablePath() {
    // /proc/self/exe names the file even when the program was started through a link
    // or without a QCoreApplication.
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    if (!self.isEmpty()) return self;
    return QCoreApplication::applicationFilePath();
}

QString ExeDir() {
    QString path = ExecutablePath();
    while (!path.isEmpty() && !path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}
