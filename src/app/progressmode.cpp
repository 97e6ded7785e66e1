#include "progressmode.h"

#include "colors.h"
#include "diskfile.h"
#include "livehint.h"
#include "modehost.h"
#include "progressfillbar.h"
#include "progresslayout.h"
#include "runmenu.h"
#include "runstate.h"
#include "settingkeys.h"
#include "settingsfile.h"
#include "timelabels.h"

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {
const QColor SkyBlue(0xA6, 0xCA, 0xF0); // 15780518, the default of every bar colour
constexpr int DefaultFontSize = 8;
constexpr int MaxFontSize = 100;
constexpr int OptionStageName = 3;

// The built-in pattern of the bitmap fills until a picture is chosen: a quiet grey check.
QImage builtInPattern() {
    QImage image(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            image.setPixel(x, y,
                           ((x / 4 + y / 4) % 2) ? qRgb(0xA0, 0xA0, 0xA0) : qRgb(0xC8, 0xC8, 0xC8));
    return image;
}

// [Progress] Grident_Style indexes the styles' names in alphabetical order.
bool gradientStyleOfIndex(int index, GradientStyle* style) {
    QStringList names = GradientStyleNames();
    names.sort();
    if (index < 0 || index >= names.size()) return false;
    return GradientStyleFromName(names.at(index), style);
}

QRect primaryScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}
} // namespace

ProgressMode::ProgressMode(ModeHost& host)
    : DisplayMode(host), Timer_progress(this, QStringLiteral("Timer_progress"), 1000, host.Clock(),
                                        host.State().LastTick,
                                        [this](bool newSecond) { Timer_progressTimer(newSecond); }),
      S(host.State()) {
    QWidget* window = host.Window();
    ProgressFill = new ProgressFillBar(window);
    ProgressFill->setObjectName(QStringLiteral("ProgressFill"));
    ProgressFill->setTag(0);
    ProgressFill->setBevel(BevelStyle::bvNone);
    ProgressFill->setTextOption(TextOption::toPercent);
    // The fill when [Progress] Style names none of the three.
    ProgressFill->setFillStyle(FillStyle::sfBrush);
    ProgressFill->setBrush({Qt::CrossPattern, Qt::white});
    ProgressFill->setBitmap(builtInPattern());
    // A gradient style outside the list keeps this one: the default's.
    GradientStyle style;
    if (gradientStyleOfIndex(Key::Grident_Style.defaultInt(), &style))
        ProgressFill->setGradientStyle(style);
    ProgressFill->setPosition(50);
    ProgressFill->hide();
    for (int i = 0; i < StageCount; ++i) {
        auto* bar = new ProgressFillBar(window);
        bar->setObjectName(QStringLiteral("F%1").arg(i + 1));
        bar->setTag(i + 1);
        bar->setBevel(BevelStyle::bvNone);
        bar->setTextOption(TextOption::toCaption);
        bar->setFillStyle(FillStyle::sfGradient);
        bar->hide();
        StageBars[i] = bar;
    }
}

ProgressMode::~ProgressMode() = default;

void ProgressMode::SetUp() {
    QWidget* window = Host().Window();
    // A bar along the edge takes no keyboard input: it never takes the focus from the
    // program the user works in, not when it appears nor when it grows. It has no width
    // at the start of a run whose length follows the progress, so the window system maps
    // it again as it grows, and a window manager activates a window it maps unless told
    // not to. Set before the window is first shown, so that the manager knows from the
    // start.
    window->setWindowFlag(Qt::WindowDoesNotAcceptFocus, true);
    window->setAttribute(Qt::WA_ShowWithoutActivating, true);
    ProgressFill->show();
    SetupProgressMode();
}

void ProgressMode::Reapply() {
    SetupProgressMode();
    // The stage set-up ran before the settings were read again: the stage's name, when it is
    // what the bar shows, would give way to [Progress] Caption until the next stage change.
    showStageNameIfChosen();
}

void ProgressMode::SetupStage() {
    showStageNameIfChosen();
}

void ProgressMode::showStageNameIfChosen() {
    const SettingsFile& f = Host().Settings();
    if (ReadInt(f, Key::OptionText) == OptionStageName)
        ProgressFill->setCaption(StageName(f, S.StageNo.toInt()));
}

void ProgressMode::MarkStageBars() {
    if (!ShowTotal) return;
    const int stage = S.StageNo.toInt();
    ProgressFill->setPosition(0);
    for (ProgressFillBar* bar : StageBars)
        bar->setPosition(bar->tag() != 0 && bar->tag() < stage ? 100 : 0);
}

PreviewSurfaces ProgressMode::Surfaces() const {
    PreviewSurfaces s;
    s.mainBar = ProgressFill;
    s.stageBars = StageBars;
    return s;
}

// Docked to its edge, the window is never moved by the mouse.
bool ProgressMode::DragsWith(const QWidget*, Qt::MouseButton) const {
    return false;
}

void ProgressMode::applyMainBarLook(const SettingsFile& f) {
    ProgressFillBar* bar = ProgressFill;
    // Values outside the lists leave what the bar has: the window definition's, at first.
    switch (ReadInt(f, Key::OptionText)) {
    case 0:
    case OptionStageName: // the stage set-up puts the stage's name into the caption
        bar->setTextOption(TextOption::toCaption);
        break;
    case 1:
        bar->setTextOption(TextOption::toNoText);
        break;
    case 2:
        bar->setTextOption(TextOption::toPercent);
        break;
    default:
        break;
    }
    if (const auto style = FillStyleOfIndex(ReadInt(f, Key::ProgStyle))) bar->setFillStyle(*style);
    loadBitmap(f);
    const int tile = ReadInt(f, Key::BitmapTile);
    if (tile >= 0 && tile <= 3) bar->setTileMode(static_cast<TileMode>(tile));
    Gradient g = bar->gradient();
    g.setColorCount(ReadInt(f, Key::Grident_ColorCnt));
    g.setStartColor(ColorFromValue(ReadInt(f, Key::Grident_Color), Qt::white));
    g.setEndColor(ColorFromValue(ReadInt(f, Key::Grident_EndColor), Qt::blue));
    GradientStyle style;
    if (gradientStyleOfIndex(ReadInt(f, Key::Grident_Style), &style)) g.setStyle(style);
    bar->setGradient(g);

    bar->setCaption(ReadText(f, Key::ProgCaption));
    QFont font(ReadText(f, Key::Caption_FName));
    const int size = ReadInt(f, Key::Caption_FSize);
    font.setPointSize(size < 1 ? DefaultFontSize : std::min(size, MaxFontSize));
    bar->setFont(font);
    bar->setFontColor(ColorFromValue(ReadInt(f, Key::Caption_FColor), Qt::black));
    bar->setColor(ColorFromValue(ReadInt(f, Key::ProgColor), SkyBlue));
}

// The picture is taken only from a file that exists; otherwise the bar keeps the one it
// has. One that exists but cannot be used is reported, once for the same reason.
void ProgressMode::loadBitmap(const SettingsFile& f) {
    const QString path = ReadText(f, Key::ProgBitmap);
    if (path.trimmed().isEmpty() || CheckInputFile(path) == InputFileStatus::Missing) return;
    QString error;
    if (ProgressFill->loadBitmap(path, &error)) {
        m_bitmapError.clear();
        return;
    }
    if (error == m_bitmapError) return;
    m_bitmapError = error;
    Host().ShowWarning(error);
}

void ProgressMode::applyStageBarLook(const SettingsFile& f) {
    const QColor fill = ColorFromValue(ReadInt(f, Key::Total_Color), Qt::blue);
    for (int i = 0; i < StageCount; ++i) {
        ProgressFillBar* bar = StageBars[i];
        bar->setCaption(StageName(f, i + 1));
        bar->setColor(ColorFromValue(ReadInt(f, Key::StageColor, i + 1), SkyBlue));
        // Start and end alike: the filled part is one flat colour.
        bar->setGradientStartColor(fill);
        bar->setGradientEndColor(fill);
        bar->setFont(ProgressFill->font());
        bar->setFontColor(ProgressFill->fontColor());
    }
}

void ProgressMode::SetupProgressMode() {
    const SettingsFile& f = Host().Settings();
    ShowTotal = ReadFlag(f, Key::Total);
    ProgressFill->setPosition(0);
    for (ProgressFillBar* bar : StageBars)
        bar->setPosition(0);
    ProgressFull = ReadFlag(f, Key::ProgFull);
    applyMainBarLook(f);
    // Another value keeps the edge the bar has: the top one at first.
    const int align = ReadInt(f, Key::ProgAlign);
    if (align >= 0 && align <= 3) BarAlign = static_cast<BarEdge>(align);
    Recycle = ReadFlag(f, Key::ProgRecycle);
    for (ProgressFillBar* bar : StageBars)
        bar->setVisible(ShowTotal);
    if (ShowTotal) applyStageBarLook(f);

    const QRect screen = primaryScreen();
    std::array<int, StageCount> seconds{};
    if (ShowTotal)
        for (int i = 0; i < StageCount; ++i)
            seconds[i] = ReadStageSeconds(f, QString::number(i + 1));
    m_layout =
        DockBars(screen, BarAlign, BarThickness(ReadInt(f, Key::ProgHeight), BarAlign, screen),
                 ShowTotal, seconds);
    ProgressFill->setDirection(m_layout.direction);
    ProgressFill->resize(m_layout.mainBar.size());
    for (int i = 0; i < StageCount; ++i) {
        StageBars[i]->setDirection(m_layout.direction);
        if (ShowTotal) StageBars[i]->resize(m_layout.stageBars[i].size());
    }
    placeWindow(m_layout.window);
}

// The bars keep their places on the screen whatever the window's length: a shorter window
// uncovers them from where the filling starts, the left end or the bottom.
void ProgressMode::placeWindow(const QRect& window) {
    QWidget* w = Host().Window();
    const QPoint shift = m_layout.window.topLeft() - window.topLeft();
    ProgressFill->move(m_layout.mainBar.topLeft() + shift);
    if (ShowTotal)
        for (int i = 0; i < StageCount; ++i)
            StageBars[i]->move(m_layout.stageBars[i].topLeft() + shift);
    if (w->geometry() != window) w->setGeometry(window);
}

ProgressFillBar* ProgressMode::stageBarOf(const QString& stageNo) const {
    for (ProgressFillBar* bar : StageBars)
        if (bar->tag() == stageNo.toInt()) return bar;
    return nullptr;
}

void ProgressMode::Timer_progressTimer(bool newSecond) {
    if (!newSecond) return;
    ++S.ElapsedSec;
    ModeHost& host = Host();
    const SettingsFile& f = host.Settings();
    if (S.ElapsedSec == S.AlarmMin * 60 + S.AlarmSec) host.PlayCueOf(Key::Sound_Alarm);
    if (S.TotalSec == 0) {
        // A stage without time cannot be shown, and never ends by itself. While the box is
        // open, the engine drops its ticks: the next box comes a second after this one.
        host.ShowMessage(QStringLiteral("div by 0!"));
    } else {
        const int p = int(qint64(S.ElapsedSec) * 100 / S.TotalSec);
        ProgressFill->setPosition(p);
        if (ShowTotal)
            if (ProgressFillBar* bar = stageBarOf(S.StageNo)) bar->setPosition(p);
        if (!ProgressFull) placeWindow(FollowingWindow(m_layout.window, BarAlign, p));
        const QString hint =
            ProgressHintText(S.Labels(), StageName(f, S.StageNo.toInt()), S.StdMin, S.StdSec,
                             S.AlarmMin, S.AlarmSec, S.ElapsedSec, S.TotalSec, p);
        // The plan row has no hint of its own and shows the window's.
        SetLiveHint(ProgressFill, hint);
        SetLiveHint(host.Window(), hint);
    }
    if (S.ElapsedSec != S.TotalSec) return;
    host.PlayCueOf(Key::Sound_Over);
    RunMenu& menu = host.Menu();
    if (S.AutoNext) {
        RunMenu::ClickItem(menu.N_stop);
        RunMenu::ClickItem(menu.n_next);
        RunMenu::ClickItem(menu.N_start);
    } else if (Recycle) {
        RestartProgress();
    } else {
        RunMenu::ClickItem(menu.N_stop);
    }
}

void ProgressMode::RestartProgress() {
    ProgressFill->setPosition(0);
    S.TotalSec = S.StdMin * 60 + S.StdSec;
    S.ElapsedSec = 0;
    RunMenu& menu = Host().Menu();
    menu.N_start->setEnabled(false);
    Timer_progress.Start();
    menu.N_pause->setEnabled(true);
    menu.N_stop->setEnabled(true);
    menu.N_set->setEnabled(false);
}

void ProgressMode::Start() {
    Host().PrepareCues();
    Host().PlayCueOf(Key::Sound_Start);
    ProgressFill->setPosition(0);
    S.TotalSec = S.StdMin * 60 + S.StdSec;
    S.ElapsedSec = 0;
    Timer_progress.Start();
    Host().Menu().EnterRunningMenu();
}

void ProgressMode::Pause() {
    Timer_progress.Stop();
}

void ProgressMode::Resume() {
    Timer_progress.Start();
}

void ProgressMode::Stop() {
    Timer_progress.Stop();
    Host().Menu().EnterStoppedMenu();
}
