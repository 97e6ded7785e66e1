// Cost of the progress-bar mode's once-a-second engine tick in the real main window: the
// position, the running stage's bar of the plan row and the hint, with and without the
// repaint that follows. Run it on an X server as wide as the bar should be:
//   xvfb-run -s "-screen 0 1920x1080x24" build/bench/progress_tick_bench
#include "enginetimer.h"
#include "globalhotkeys.h"
#include "progressfillbar.h"
#include "progressmode.h"
#include "runmenu.h"
#include "soundplayer.h"
#include "tfrmmain.h"
#include "wallclock.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// A plan of eight stages with the plan row; stage 1 of 100 s starts again at its end, so
// that every second moves both bars by one percent.
struct RunningBar {
    QTemporaryDir dir;
    QString oldDir = QDir::currentPath();
    ManualWallClock clock;
    SilentSoundPlayer sound;
    NoGlobalHotkeys hotkeys;
    std::unique_ptr<Tfrmmain> frm;

    RunningBar() {
        QDir::setCurrent(dir.path());
        QFile ini(dir.filePath(QStringLiteral("js.ini")));
        ini.open(QIODevice::WriteOnly);
        ini.write("[SYSTEM]\r\nStartMode=1\r\nTotal=1\r\n[Progress]\r\nRecycle=1\r\n"
                  "Grident_ColorCnt=100\r\nGrident_Style=3\r\n[Group]\r\n");
        for (int n = 1; n <= 8; ++n)
            ini.write(QStringLiteral("Name%1=Stage %1\r\nTime%1=%2\r\nAlarm%1=00:50\r\n")
                          .arg(n)
                          .arg(n == 1 ? QStringLiteral("01:40") : QStringLiteral("05:00"))
                          .toUtf8());
        ini.close();
        frm = std::make_unique<Tfrmmain>(AppServices{&clock, &sound, &hotkeys});
        frm->HotkeyTimer()->stop();
        frm->show();
        QApplication::processEvents();
        RunMenu::ClickItem(frm->Menu().N_start);
    }
    ~RunningBar() {
        frm.reset();
        QDir::setCurrent(oldDir);
    }
    void tick() {
        clock.advanceMs(1000);
        frm->Mode().Engine()->Tick();
    }
};

void BM_ProgressTick(benchmark::State& state) {
    RunningBar run;
    for (auto _ : state) {
        run.tick();
        state.PauseTiming();
        QApplication::processEvents(); // the repaints, outside the measure
        state.ResumeTiming();
    }
    state.SetLabel(QStringLiteral("bar %1 px").arg(run.frm->width()).toStdString());
}

void BM_ProgressTickAndRepaint(benchmark::State& state) {
    RunningBar run;
    for (auto _ : state) {
        run.tick();
        QApplication::processEvents();
    }
    state.SetLabel(QStringLiteral("bar %1 px").arg(run.frm->width()).toStdString());
}
} // namespace

BENCHMARK(BM_ProgressTick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ProgressTickAndRepaint)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
