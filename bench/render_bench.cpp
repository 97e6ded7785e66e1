// Cost of one frame of the clock text: "88:88" at 100 points, enlarged three times.
#include "textrenderer.h"

#include <benchmark/benchmark.h>

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

namespace {
const QString Text = QStringLiteral("88:88");
// Same extent as Text; alternating the two defeats the renderer's cache of the last text.
const QString OtherText = QStringLiteral("88:89");

QFont clockFont() {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(100);
    return f;
}

// Cold: every frame draws a text other than the last one, as when the clock's digits
// change. Warm: the same text again, as in the redraws between the changes.
enum class Path { Cold, Warm };

void renderFrames(benchmark::State& state, const TextEffect& effect, Path path) {
    TextRenderer r;
    r.setFont(clockFont());
    r.SetQuality(aqNormal);
    r.setEffect(effect);
    QImage canvas(r.MeasureText(Text), QImage::Format_RGB32);
    bool other = false;
    for (auto _ : state) {
        canvas.fill(qRgb(0xA6, 0xCA, 0xF0));
        r.RenderText(canvas, 0, 0, other ? OtherText : Text);
        if (path == Path::Cold) other = !other;
        benchmark::DoNotOptimize(canvas.constBits());
    }
    state.counters["width"] = canvas.width();
    state.counters["height"] = canvas.height();
}

void BM_RenderPlain(benchmark::State& state, Path path) {
    renderFrames(state, TextEffect(), path);
}

void BM_RenderAllEffects(benchmark::State& state, Path path) {
    TextEffect e;
    e.Shadow.Enabled = true;
    e.Shadow.Blur = 80;
    e.Blur = 50;
    e.Gradual.Enabled = true;
    e.Noise = 40;
    e.Spray = 3;
    e.Outline = true;
    e.HorzMirror = e.VertMirror = true;
    e.Angle = 15;
    renderFrames(state, e, path);
}

void BM_QPainterDrawText(benchmark::State& state) {
    const QFont font = clockFont();
    QImage canvas(QFontMetrics(font).boundingRect(Text).size(), QImage::Format_RGB32);
    for (auto _ : state) {
        canvas.fill(qRgb(0xA6, 0xCA, 0xF0));
        QPainter p(&canvas);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QPoint(0, QFontMetrics(font).ascent()), Text);
        p.end();
        benchmark::DoNotOptimize(canvas.constBits());
    }
}
} // namespace

BENCHMARK_CAPTURE(BM_RenderPlain, cold, Path::Cold)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderPlain, warm, Path::Warm)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderAllEffects, cold, Path::Cold)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderAllEffects, warm, Path::Warm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QPainterDrawText)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
