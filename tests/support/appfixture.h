#pragma once

// Runs the real main window in a fresh working directory with a js.ini of the test's
// choosing, a manual wall clock and a recorder in place of the sound player. The display
// mode, the menu and the engine are reached the way the window itself reaches them.
#include "antialiasedlabel.h"
#include "displaymode.h"
#include "enginetimer.h"
#include "eventually.h"
#include "globalhotkeys.h"
#include "normalmode.h"
#include "runmenu.h"
#include "runstate.h"
#include "settingsfile.h"
#include "soundplayer.h"
#include "tfrmmain.h"
#include "wallclock.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

class RecordingSoundPlayer final : public SoundPlayer {
public:
    QStringList played;
    int prepared = 0;
    // Called at each cue, inside whatever plays it (a tick, a command).
    std::function<void(const QString&)> onPlay;
    void play(const QString& file) override {
        played << file;
        if (onPlay) onPlay(file);
    }
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
        frm->HotkeyTimer()->stop(); // the hotkey tests own registration
        frm->show();
    }

    RunMenu& menu() { return frm->Menu(); }
    RunState& state() { return frm->State(); }
    static void click(QAction* item) { RunMenu::ClickItem(item); }

    // The running display mode as its own class; a test of another mode fails loudly.
    template <class Mode> Mode& mode() {
        auto* m = dynamic_cast<Mode*>(&frm->Mode());
        if (!m) throw std::logic_error("the window runs another display mode");
        return *m;
    }
    NormalMode& normal() { return mode<NormalMode>(); }
    QString clockText() { return normal().AALabel->caption(); }

    // One engine tick, one timer interval after the last one, delivered as the timer
    // delivers it (the second detector and the re-entry guard included).
    void tick() {
        EngineTimer* engine = frm->Mode().Engine();
        ASSERT_NE(engine, nullptr);
        clock.advanceMs(engine->Interval());
        engine->Tick();
    }
    // n seconds of ticks.
    void seconds(int n) {
        EngineTimer* engine = frm->Mode().Engine();
        ASSERT_NE(engine, nullptr);
        for (int i = 0; i < n * 1000 / engine->Interval(); ++i)
            tick();
    }
    bool running() { return frm->Mode().EngineRunning(); }

    // The settings command closed with Cancel as soon as its dialog is open: the window then
    // reads js.ini again as it stands (the dialog writes nothing).
    void settingsCancelled() {
        QTimer cancel;
        cancel.setInterval(10);
        QObject::connect(&cancel, &QTimer::timeout, [] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && modal->objectName() == QLatin1String("frm_setsys"))
                static_cast<QDialog*>(modal)->reject();
        });
        cancel.start();
        click(frm->Menu().N_set);
    }
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
