#pragma once

// Runs the real main window in a fresh working directory with a js.ini of the test's
// choosing, a manual wall clock and a recorder in place of the sound player.
#include "antialiasedlabel.h"
#include "globalhotkeys.h"
#include "normalmode.h"
#include "settingsfile.h"
#include "soundplayer.h"
#include "tfrmmain.h"
#include "wallclock.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

class RecordingSoundPlayer final : public SoundPlayer {
public:
    QStringList played;
    int prepared = 0;
    void play(const QString& file) override { played << file; }
    void prepare() override { ++prepared; }
};

class AppFixture : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString oldDir = QDir::currentPath();
    ManualWallClock clock{QDateTime(QDate(2026, 1, 1), QTime(9, 0, 0))};
    RecordingSoundPlayer sound;
    NoGlobalHotkeys hotkeys;
    std::unique_ptr<Tfrmmain> frm;

    AppFixture() { QDir::setCurrent(dir.path()); }
    ~AppFixture() override {
        frm.reset();
        QDir::setCurrent(oldDir);
    }

    void writeIni(const QByteArray& text) {
        QFile f(dir.filePath(QStringLiteral("js.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    void start() {
        frm = std::make_unique<Tfrmmain>(AppServices{&clock, &sound, &hotkeys});
        frm->Timer_hotkey->stop(); // the hotkey tests own registration
        frm->show();
    }

    NormalMode& normal() { return *frm->Normal(); }
    QString clockText() { return normal().AALabel->caption(); }
    // One engine tick, half a second after the last one.
    void tick() {
        clock.advanceMs(500);
        normal().Timer1Timer();
    }
    void seconds(int n) {
        for (int i = 0; i < 2 * n; ++i)
            tick();
    }
    bool running() { return normal().Timer1->isActive(); }
};

// Closes the next modal message box once it appears and records what it said, so that a
// command that warns can run inside a test.
#include <QApplication>
#include <QMessageBox>

struct MessageBoxCatcher {
    QString title;
    QString text;
    int seen = 0;
    QTimer timer;
    MessageBoxCatcher() {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                text = box->text();
                ++seen;
                box->accept();
            }
        });
        timer.start();
    }
};
