#include "promptmode.h"

#include "colors.h"
#include "fontstyle.h"
#include "modehost.h"
#include "runmenu.h"
#include "runstate.h"
#include "settingkeys.h"
#include "timelabels.h"
#include "wallclock.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <limits>

namespace {
constexpr int MaxFontSize = 100;
// The label sits one pixel inside the window on every side.
constexpr int Border = 1;
// The longest showing a timer can hold, in seconds.
constexpr int MaxDisplaySec = std::numeric_limits<int>::max() / 1000;
} // namespace

PromptMode::PromptMode(ModeHost& host)
    : DisplayMode(host), Timer_message1(this, QStringLiteral("Timer_message1"), 1000, host.Clock(),
                                        host.State().LastTick,
                                        [this](bool newSecond) { Timer_message1Timer(newSecond); }),
      S(host.State()) {
    l = new QLabel(host.Window());
    l->setObjectName(QStringLiteral("l"));
    // Captions come from js.ini and are shown as they are written.
    l->setTextFormat(Qt::PlainText);
    // The window's colour shows behind the text.
    l->setAutoFillBackground(false);
    l->move(Border, Border);
    l->hide();
    Timer_message2 = new QTimer(this);
    Timer_message2->setObjectName(QStringLiteral("Timer_message2"));
    Timer_message2->setSingleShot(true);
    Timer_message2->setTimerType(Qt::PreciseTimer);
    connect(Timer_message2, &QTimer::timeout, this, &PromptMode::Timer_message2Timer);
}

PromptMode::~PromptMode() = default;

void PromptMode::SetUp() {
    l->show();
    SetupPromptMode();
    showReadyText();
}

void PromptMode::Reapply() {
    SetupPromptMode();
    showReadyText();
}

void PromptMode::SetupStage() {
    showReadyText();
}

PreviewSurfaces PromptMode::Surfaces() const {
    PreviewSurfaces s;
    s.promptLabel = l;
    return s;
}

void PromptMode::ShutDown() {
    DisplayMode::ShutDown();
    stopHideTimer();
}

QString PromptMode::Text() const {
    return l->text();
}

// The window follows the label, so that it always closely encloses the two lines.
void PromptMode::setText(const QString& crlfText) {
    QString text = crlfText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text == l->text()) return;
    l->setText(text);
    l->adjustSize();
    Host().FitWindow(Border);
}

void PromptMode::showReadyText() {
    setText(PromptReadyText(S.Labels(), S.StdMin, S.StdSec));
}

void PromptMode::SetupPromptMode() {
    const SettingsFile& f = Host().Settings();
    Host().SetBackground(ReadInt(f, Key::BKCOLOR));

    QFont font(ReadText(f, Key::MsgFontname));
    const int size = ReadInt(f, Key::MsgFontsize);
    // A size the dialog cannot give (none, or one beyond its range) falls back to the
    // default, and to the largest it offers.
    font.setPointSize(size < 1 ? Key::MsgFontsize.defaultInt() : std::min(size, MaxFontSize));
    const int style = TextToFontStyle(ReadText(f, Key::MsgFontStyle));
    font.setBold(style & fsBold);
    font.setItalic(style & fsItalic);
    font.setUnderline(style & fsUnderline);
    font.setStrikeOut(style & fsStrikeOut);
    l->setFont(font);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, ColorFromValue(ReadInt(f, Key::MsgFontColor), Qt::black));
    l->setPalette(p);
    l->adjustSize();
    Host().FitWindow(Border);

    // A negative time of showing is taken as none: the window then stays up.
    DisplaySec = std::clamp(ReadInt(f, Key::DisplaySec), 0, MaxDisplaySec);
    DisplayInterval = ReadInt(f, Key::DisplayInterval);
    S.AutoClose = ReadFlag(f, Key::TimeOutAutoClose);
    Timer_message2->setInterval(DisplaySec * 1000);
    // The keys are named the other way round: the dialog's "超时" colour, stored under
    // Color_Over, is the one shown from the alarm moment, and its "报警" colour, under
    // Color_Alarm, from the end of the stage.
    S.AlarmColor = ReadInt(f, Key::MsgColor_Over);
    S.OverColor = ReadInt(f, Key::MsgColor_Alarm);
    S.RestoreSec = ReadInt(f, Key::MsgDJS);
}

// Once on, the hide timer runs to its end: a showing meanwhile does not put it off.
void PromptMode::startHideTimer() {
    if (DisplaySec <= 0 || Timer_message2->isActive()) return;
    Timer_message2->start();
    HideDue = Host().Clock().now().addSecs(DisplaySec);
}

void PromptMode::stopHideTimer() {
    Timer_message2->stop();
    HideDue = QDateTime();
}

void PromptMode::Start() {
    ModeHost& host = Host();
    host.PrepareCues();
    host.PlayCueOf(Key::Sound_Start);
    S.TotalSec = S.StdMin * 60 + S.StdSec;
    host.SetBackground(ReadInt(host.Settings(), Key::BKCOLOR));
    S.ElapsedSec = 0;
    PastEnd = false;
    // The window, up as the run starts, shows the stage from its beginning rather than what
    // the last run left there.
    if (S.TotalSec > 0) setText(PromptText(S.Labels(), 0, S.TotalSec));
    Timer_message1.Start();
    stopHideTimer();
    startHideTimer();
    host.Menu().EnterRunningMenu();
}

void PromptMode::Pause() {
    Timer_message1.Stop();
    stopHideTimer();
}

void PromptMode::Resume() {
    Timer_message1.Start();
}

void PromptMode::Stop() {
    Timer_message1.Stop();
    stopHideTimer();
    Host().Menu().EnterStoppedMenu();
}

void PromptMode::Timer_message1Timer(bool newSecond) {
    if (!newSecond) return;
    ++S.ElapsedSec;
    // A stage without time only counts: nothing to show and no end.
    if (S.TotalSec == 0) return;
    ModeHost& host = Host();
    if (S.ElapsedSec == S.AlarmMin * 60 + S.AlarmSec) {
        host.PlayCueOf(Key::Sound_Alarm);
        host.SetBackground(S.AlarmColor);
    }
    const qint64 left = qint64(S.TotalSec) - S.ElapsedSec;
    PastEnd = left <= 0;
    if (left == 0) {
        host.PlayCueOf(Key::Sound_Over);
        // The close saves the window's position; the rest of the tick changes nothing
        // that is seen any more.
        if (S.AutoClose) host.CloseProgram();
        host.SetBackground(S.OverColor);
    }
    setText(PromptText(S.Labels(), S.ElapsedSec, S.TotalSec));

    if (StaysUp()) {
        host.ShowWindow();
        return;
    }
    // An interval below 1 second has no multiples: the window comes up only at the end.
    const bool periodic =
        DisplaySec != 0 && DisplayInterval > 0 && S.ElapsedSec % DisplayInterval == 0;
    if (periodic || left == 0) {
        host.ShowWindow();
        startHideTimer();
    }
}

void PromptMode::Timer_message2Timer() {
    stopHideTimer();
    if (S.AutoClose && PastEnd) {
        Host().CloseProgram();
        return;
    }
    // A showing shortly before the stay-up phase would otherwise take the window away once
    // more inside it, until the next second brings it back.
    if (StaysUp()) return;
    Host().HideWindow();
}

bool PromptMode::StaysUp() const {
    return S.TotalSec > 0 &&
           qint64(S.ElapsedSec) + S.RestoreSec >= qint64(S.StdMin) * 60 + S.StdSec;
}
