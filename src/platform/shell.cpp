#include "shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

bool OpenWithDefaultApp(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    // xdg-open works on every desktop and without one; the platform plugin's own opener
    // does nothing on the offscreen platform.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty()) return QProcess::startDetached(opener, {absolute});
    return QDesktopServices::openUrl(QUrl::fromLocalFile(absolute));
}
