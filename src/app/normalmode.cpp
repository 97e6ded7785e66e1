#include "normalmode.h"

#include "antialiasedlabel.h"
#include "captions.h"
#include "labelfont.h"
#include "modehost.h"
#include "runmenu.h"
#include "runstate.h"
#include "settingkeys.h"
#include "timetext.h"
#include "wallclock.h"

#include <QAction>
#include <QTimer>
#include <QWidget>

namespace {
const QString Colon = QStringLiteral(":");
const QString Blank = QStringLiteral(" ");
constexpr int MaxFontSize = 100;

// Sums of times in 64 bits: DJS at its largest plus the counter passes the 32-bit range.
qint64 secondsOf(qint64 minutes, qint64 seconds) {
    return minutes * 60 + seconds;
}
} // namespace

NormalMode::NormalMode(ModeHost& host)
    : DisplayMode(host),
      Timer1(this, QStringLiteral("Timer1"), 500, host.Clock(), host.State().LastTick,
             [this](bool newSecond) { Timer1Timer(newSecond); }),
      S(host.State()) {
    AALabel = new AntiAliasedLabel(host.Window());
    AALabel->setObjectName(QStringLiteral("AALabel"));
    Timer_Flash = new QTimer(this);
    Timer_Flash->setObjectName(QStringLiteral("Timer_Flash"));
    connect(Timer_Flash, &QTimer::timeout, this, &NormalMode::Timer_FlashTimer);
}

NormalMode::~NormalMode() = default;

void NormalMode::SetUp() {
    AALabel->show();
    QWidget* window = Host().Window();
    window->resize(AALabel->width() + 5, window->height());
    SetupNormalMode();
}

void NormalMode::Reapply() {
    SetupNormalMode();
    ResetClockTexts();
    RefreshClock();
}

void NormalMode::SetupStage() {
    ResetClockTexts();
    RefreshClock();
}

PreviewSurfaces NormalMode::Surfaces() const {
    PreviewSurfaces s;
    s.clockLabel = AALabel;
    return s;
}

// The counter is the remaining time, then the overtime, when counting down; the elapsed
// time when counting up, where a standard time of 0:00 means no limit.
RunTime NormalMode::CountedTime() const {
    const qint64 standard = secondsOf(S.StdMin, S.StdSec);
    const qint64 counter = secondsOf(CurMin, CurSec);
    if (S.CountUp)
        return {counter, standard > 0 ? standard - counter : 0,
                standard > 0 && counter >= standard};
    if (Overtime) return {standard + counter, -counter, true};
    return {standard - counter, counter, false};
}

bool NormalMode::DragsWith(const QWidget* component, Qt::MouseButton button) const {
    // The clock text drags with the left button only.
    if (component == AALabel) return button == Qt::LeftButton;
    return DisplayMode::DragsWith(component, button);
}

void NormalMode::ShutDown() {
    DisplayMode::ShutDown();
    Timer_Flash->stop();
}

void NormalMode::setClockTexts(qint64 minutes, qint64 seconds) {
    MinText = QString::number(minutes);
    SecText = PadLeft(QString::number(seconds), QStringLiteral("0"), 2);
}

// A difference of two times as the result: a minute is borrowed for negative seconds.
void NormalMode::setResult(qint64 minutes, qint64 seconds) {
    if (seconds < 0) {
        seconds += 60;
        --minutes;
    }
    setClockTexts(minutes, seconds);
}

void NormalMode::SetupNormalMode() {
    const SettingsFile& f = Host().Settings();
    S.CountUp = ReadFlag(f, Key::jsMode);
    Overtime = S.CountUp;
    BlinkSeparator = ReadFlag(f, Key::maohao);
    S.RestoreSec = ReadInt(f, Key::NormalDJS);
    if (S.CountUp) setClockTexts(0, 0);
    Host().SetBackground(ReadInt(f, Key::BKCOLOR));
    QString pictureError;
    LoadLabelFont(f, *AALabel, QStringLiteral("AALabel"), &pictureError);
    // An unreadable texture picture is reported once; the text is drawn without it.
    if (!pictureError.isEmpty() && !m_pictureErrorShown) {
        m_pictureErrorShown = true;
        Host().ShowWarning(pictureError);
    }
    if (AALabel->font().pointSize() > MaxFontSize) {
        QFont font = AALabel->font();
        font.setPointSize(MaxFontSize);
        AALabel->setFont(font);
    }
    S.AlarmColor = ReadInt(f, Key::BKCOLOR_Alarm);
    S.OverColor = ReadInt(f, Key::BKCOLOR_over);
    AutoStop = ReadFlag(f, Key::AutoStop);
    ResetClockTexts();
    RefreshClock();
}

void NormalMode::ResetClockTexts() {
    if (S.CountUp)
        setClockTexts(0, 0);
    else
        setClockTexts(S.StdMin, S.StdSec);
}

void NormalMode::RefreshClock() {
    if (!BlinkSeparator) SepText = Colon;
    AALabel->setCaption(MinText + SepText + SecText);
    AALabel->move(2, 2);
    Host().FitWindow(2);
}

void NormalMode::StartOverFlash() {
    const SettingsFile& f = Host().Settings();
    if (!ReadFlag(f, Key::Flash)) return;
    FlashCount = 6;
    FlashColor1 = ReadInt(f, Key::BKCOLOR_over);
    FlashColor2 = ReadInt(f, Key::BKCOLOR_Alarm);
    Timer_Flash->setInterval(500);
    Timer_Flash->start();
}

void NormalMode::Timer_FlashTimer() {
    ModeHost& h = Host();
    h.SetBackground(h.Background() == FlashColor1 ? FlashColor2 : FlashColor1);
    if (--FlashCount <= 0) {
        Timer_Flash->stop();
        if (h.Background() != FlashColor1) h.SetBackground(FlashColor1);
    }
}

void NormalMode::alarmMoment() {
    Host().SetBackground(S.AlarmColor);
    Host().PlayCueOf(Key::Sound_Alarm);
    Host().ShowWindow();
}

void NormalMode::overMoment() {
    Host().SetBackground(S.OverColor);
    Host().PlayCueOf(Key::Sound_Over);
    Host().ShowWindow();
    if (AutoStop)
        RunMenu::ClickItem(Host().Menu().N_stop);
    else
        StartOverFlash();
}

void NormalMode::countUp() {
    if (++CurSec == 60) {
        CurSec = 0;
        if (++CurMin == 60) CurMin = 0;
    }
    // A missing alarm or standard time reads as 0:00, which the counter meets only when it
    // wraps at the hour: no time is no moment.
    const qint64 std = secondsOf(S.StdMin, S.StdSec);
    const bool hasAlarm = secondsOf(S.AlarmMin, S.AlarmSec) != 0;
    if (hasAlarm && CurSec == S.AlarmSec && CurMin == S.AlarmMin) alarmMoment();
    if (std == 0) return;
    if (secondsOf(CurMin, CurSec) + S.RestoreSec == std) Host().ShowWindow();
    if (CurSec == S.StdSec && CurMin == S.StdMin) overMoment();
}

void NormalMode::countDown() {
    // A stage without time has its over moment with the first counted second, so the
    // clock never goes below 0:00.
    if (CurMin == 0 && CurSec == 0) {
        Overtime = true;
        overMoment();
        return;
    }
    --CurSec;
    if (CurSec == 0 && CurMin == 0) {
        Overtime = true;
        overMoment();
    } else if (CurSec == -1) {
        CurSec = 59;
        --CurMin;
    }
    if (secondsOf(CurMin, CurSec) == S.RestoreSec) Host().ShowWindow();
    qint64 s = qint64(S.AlarmSec) + CurSec;
    qint64 m = qint64(S.AlarmMin) + CurMin;
    if (s > 59) {
        s -= 60;
        ++m;
    }
    if (m == S.StdMin && s == S.StdSec) alarmMoment();
}

void NormalMode::Timer1Timer(bool newSecond) {
    SepText = Blank;
    if (!newSecond) {
        RefreshClock();
        return;
    }
    SepText = Colon;
    if (S.CountUp) {
        countUp();
    } else if (!Overtime) {
        countDown();
    } else if (++CurSec == 60) {
        CurSec = 0;
        ++CurMin;
    }
    // Runs after a stop made at the over moment, so the clock shows the counter.
    setClockTexts(CurMin, CurSec);
    RefreshClock();
}

void NormalMode::Start() {
    RunMenu& menu = Host().Menu();
    if (menu.InResult()) {
        ResetClockTexts();
        menu.ClearResult();
        Host().SetBackground(ReadInt(Host().Settings(), Key::BKCOLOR));
        menu.N_stop->setEnabled(false);
        menu.N_pause->setEnabled(false);
        menu.N_set->setEnabled(true);
        RefreshClock();
        return;
    }
    Host().PrepareCues();
    const qint64 std = secondsOf(S.StdMin, S.StdSec);
    const qint64 alarm = secondsOf(S.AlarmMin, S.AlarmSec);
    if (alarm >= std && std != 0 && alarm != 0) {
        S.AlarmMin = S.StdMin;
        S.AlarmSec = S.StdSec;
    }
    Overtime = false;
    CurMin = S.CountUp ? 0 : S.StdMin;
    CurSec = S.CountUp ? 0 : S.StdSec;
    S.LastTick = Host().Clock().now();
    Timer1.Start();
    menu.EnterRunningMenu();
    Host().PlayCueOf(Key::Sound_Start);
    RefreshClock();
}

void NormalMode::Stop() {
    Timer1.Stop();
    if (!S.CountUp) {
        if (!Overtime) {
            Host().SetCaption(Caption::TimeUsed);
            setResult(qint64(S.StdMin) - CurMin, qint64(S.StdSec) - CurSec);
        } else {
            Host().SetCaption(Caption::Overtime);
        }
    } else {
        const qint64 std = secondsOf(S.StdMin, S.StdSec);
        if (std > secondsOf(CurMin, CurSec) || std == 0) {
            Host().SetCaption(Caption::TimeUsed);
        } else {
            Host().SetCaption(Caption::Overtime);
            setResult(qint64(CurMin) - S.StdMin, qint64(CurSec) - S.StdSec);
        }
    }
    SepText = Colon;
    Host().Menu().SetResult();
    Host().Menu().EnterStoppedMenu();
    RefreshClock();
}

void NormalMode::Pause() {
    SepText = Colon;
    Timer1.Stop();
    RefreshClock();
}

void NormalMode::Resume() {
    Timer1.Start();
    RefreshClock();
}
