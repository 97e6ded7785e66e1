// The price of the settings dialog's OK in normal mode: its writes, one key at a time, each
// rewriting js.ini beside itself, synced and renamed over the old file. The keys are those
// OK writes, in its order, into a file that holds them all already (a second OK).
#include "settingkeys.h"
#include "settingsfile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <vector>

namespace {

struct Write {
    const SettingKey* key;
    int n;
};

std::vector<Write> okWrites() {
    std::vector<Write> writes;
    auto add = [&](const SettingKey& k, int n = 0) { writes.push_back({&k, n}); };
    using namespace Key;
    for (const SettingKey* k : {&jsMode, &maohao, &AutoStop})
        add(*k);
    for (const SettingKey* k :
         {&FontSize,           &FontName,         &FontColor,     &FontStyle,
          &EffAlpha,           &EffBlur,          &EffNoise,      &EffSpray,
          &EffAngle,           &EffOutline,       &EffHorzMirror, &EffVertMirror,
          &EffShadow,          &EffShadowAlpha,   &EffShadowBlur, &EffShadowColor,
          &EffShadowOffsetX,   &EffShadowOffsetY, &EffGradual,    &EffGradualStartColor,
          &EffGradualEndColor, &EffGradualStyle,  &EffTexture,    &EffTextureMode})
        add(*k);
    for (const SettingKey* k :
         {&NormalDJS,   &BKCOLOR_Alarm, &BKCOLOR_over, &Flash,     &TransParent, &BKCOLOR,
          &Elapse,      &Remain,        &Over,         &Standard,  &Alarm,       &Per,
          &Sound_Alarm, &Sound_Start,   &Sound_Over,   &AutoNext,  &Total,       &StartMode,
          &HotkeyStart, &HotkeyPause,   &HotkeyStop,   &HotkeyPri, &HotkeyNext})
        add(*k);
    for (int n = 1; n <= 8; ++n) {
        add(StageTime, n);
        add(StageAlarm, n);
    }
    for (int n = 1; n <= 8; ++n)
        add(StageName, n);
    for (int n : {1, 3, 4, 5, 2, 6, 7, 8})
        add(StageColor, n);
    return writes;
}

void BM_DialogOk(benchmark::State& state) {
    QTemporaryDir dir;
    SettingsFile f(dir.filePath(QStringLiteral("js.ini")));
    const std::vector<Write> writes = okWrites();
    int round = 0;
    for (auto _ : state) {
        // Every value changes, as the file is written whether or not it does.
        const QString value = QString::number(++round % 2);
        for (const Write& w : writes)
            f.WriteString(w.key->sectionName(), w.key->keyName(w.n), value);
    }
    state.counters["writes"] = double(writes.size());
}
BENCHMARK(BM_DialogOk)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

BENCHMARK_MAIN();
