// Cost of one full repaint of a docked progress bar: 1920 x 40 (and 40 x 1080), filled to
// 100 % with a 100-colour gradient, the percentage written across, for each gradient style.
#include "progressfillbar.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFont>
#include <QImage>

namespace {
FillBarLook barLook(GradientStyle style, FillDirection direction) {
    FillBarLook look;
    look.position = 100;
    look.direction = direction;
    look.bevel = BevelStyle::bvNone;
    look.textOption = TextOption::toPercent;
    look.color = qRgb(0xA6, 0xCA, 0xF0);
    look.fill.style = FillStyle::sfGradient;
    look.fill.gradient.setStartColor(Qt::white);
    look.fill.gradient.setEndColor(Qt::blue);
    look.fill.gradient.setColorCount(100);
    look.fill.gradient.setStyle(style);
    return look;
}

QFont barFont() {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(8);
    return f;
}

void drawBar(benchmark::State& state, QSize size, FillDirection direction) {
    const auto style = static_cast<GradientStyle>(state.range(0));
    const FillBarLook look = barLook(style, direction);
    const QFont font = barFont();
    const QPalette palette = QApplication::palette();
    QImage image(size, QImage::Format_RGB32);
    for (auto _ : state) {
        DrawFillBar(image, look, font, palette);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(GradientStyleName(style).toStdString());
}

void BM_Horizontal1920x40(benchmark::State& state) {
    drawBar(state, {1920, 40}, FillDirection::mdHorizontal);
}

void BM_Vertical40x1080(benchmark::State& state) {
    drawBar(state, {40, 1080}, FillDirection::mdVerticalReverse);
}

// The widget's own repaint: the drawing above plus the copy into the window's backing store.
void BM_WidgetRepaint1920x40(benchmark::State& state) {
    ProgressFillBar bar;
    bar.setWindowFlag(Qt::FramelessWindowHint);
    bar.resize(1920, 40);
    bar.setBevel(BevelStyle::bvNone);
    bar.setFont(barFont());
    bar.setGradientStartColor(Qt::white);
    bar.setGradientEndColor(Qt::blue);
    bar.setGradientColorCount(100);
    bar.setGradientStyle(static_cast<GradientStyle>(state.range(0)));
    bar.setPosition(100);
    bar.show();
    QApplication::processEvents();
    for (auto _ : state)
        bar.repaint();
    state.SetLabel(GradientStyleName(bar.gradient().style()).toStdString());
}
} // namespace

BENCHMARK(BM_Horizontal1920x40)
    ->DenseRange(0, GradientStyleCount - 1)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Vertical40x1080)->DenseRange(0, GradientStyleCount - 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WidgetRepaint1920x40)
    ->Arg(int(GradientStyle::gstElliptic))
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
