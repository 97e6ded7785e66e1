// Opening a file with the desktop's default application, observed through an xdg-open of
// the test's own placed first on PATH.
#include "shell.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(OpenWithDefaultApp, HandsTheAbsolutePathToTheOpenerWithoutWaiting) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString log = dir.filePath("opened.txt");
    const QString release = dir.filePath("release");
    {
        // The opener records its argument, then stays until the test lets it go: were it
        // waited for, OpenWithDefaultApp would never return.
        QFile opener(dir.filePath("bin/xdg-open"));
        ASSERT_TRUE(QDir(dir.path()).mkdir("bin"));
        ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
        // It also leaves once the test's directory is gone, so a failed test strands nothing.
        opener.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1.tmp'\nmv '%1.tmp' '%1'\n"
                                    "while [ -d '%3' ] && [ ! -e '%2' ]; do sleep 0.05; done\n")
                         .arg(log, release, dir.path())
                         .toUtf8());
        opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.filePath("bin")) + ':' + oldPath);
    const QString oldDir = QDir::currentPath();
    QDir::setCurrent(dir.path());

    const bool started = OpenWithDefaultApp(QStringLiteral("Pendra.chm"));

    QDir::setCurrent(oldDir);
    qputenv("PATH", oldPath);
    EXPECT_TRUE(started);
    for (int i = 0; i < 250 && !QFile::exists(log); ++i)
        QTest::qWait(20);
    QFile opened(log);
    ASSERT_TRUE(opened.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(opened.readAll()), dir.filePath("Pendra.chm"));
    QFile(release).open(QIODevice::WriteOnly);
}

} // namespace
