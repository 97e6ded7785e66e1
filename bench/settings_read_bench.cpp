// The price of one settings read: nothing is cached, so every read parses js.ini.
#include "settingkeys.h"
#include "settingsfile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A js.ini holding every section and key, as a file saved from the settings dialog does.
QString writeRealisticIni(const QTemporaryDir& dir) {
    SettingsFile f(dir.filePath(QStringLiteral("js.ini")));
    for (const SettingKey* k : AllSettingKeys()) {
        const int last = !k->numbered ? 0 : (k->sectionName() == QLatin1String("Group") ? 8 : 3);
        for (int n = k->numbered ? (last == 8 ? 1 : 0) : 0; n <= last; ++n) {
            QString value = k->defaultText();
            if (k->dialogDefault) value = QString::fromUtf8(k->dialogDefault);
            if (value.isEmpty())
                value = QStringLiteral("C:\\Program Files\\Pendra\\sounds\\cue.wav");
            f.WriteString(k->sectionName(), k->keyName(n), value);
        }
    }
    return f.path();
}

void BM_ReadOneKey(benchmark::State& state) {
    QTemporaryDir dir;
    SettingsFile f(writeRealisticIni(dir));
    for (auto _ : state) {
        // The last section, so the whole file is scanned.
        benchmark::DoNotOptimize(
            f.ReadString(QStringLiteral("Group"), QStringLiteral("Color8"), {}));
    }
}
BENCHMARK(BM_ReadOneKey)->Unit(benchmark::kMicrosecond);

void BM_ReadOneInteger(benchmark::State& state) {
    QTemporaryDir dir;
    SettingsFile f(writeRealisticIni(dir));
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadInt(f, Key::BKCOLOR));
}
BENCHMARK(BM_ReadOneInteger)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
