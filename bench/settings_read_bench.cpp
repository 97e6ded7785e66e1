// The price of settings reads. The parsed file is kept while its stamp (identity, size,
// modification and change time) stays the same, so a read costs a stat() and a lookup;
// reading a file that changed costs a parse of the whole file.
#include "settingkeys.h"
#include "settingsfile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <thread>

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
    // A file changed in the last two seconds is compared byte for byte at every read (time
    // stamps so close together may not tell two versions apart); a js.ini at start-up is
    // older than that.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    return f.path();
}

void BM_ReadOneKey(benchmark::State& state) {
    QTemporaryDir dir;
    SettingsFile f(writeRealisticIni(dir));
    for (auto _ : state) {
        // The last section, so the whole file is scanned the first time.
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

// Every key once from a file not read before: what start-up and the settings dialog pay.
void BM_ReadEveryKeyOfANewFile(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = writeRealisticIni(dir);
    for (auto _ : state) {
        SettingsFile f(path);
        for (const SettingKey* k : AllSettingKeys())
            benchmark::DoNotOptimize(ReadText(f, *k, k->numbered ? 1 : 0));
    }
}
BENCHMARK(BM_ReadEveryKeyOfANewFile)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
