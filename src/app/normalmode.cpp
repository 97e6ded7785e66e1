#include "normalmode.h"

#include "antialiasedlabel.h"
#include "captions.h"
#include "labelfont.h"
#include "settingkeys.h"
#include "tfrmmain.h"
#include "timetext.h"
#include "wallclock.h"

#include <QAction>
#include <QMessageBox>
#include <QTimer>

namespace {
const QString Colon = QStringLiteral(":");
const QString Blank = QStringLiteral(" ");
constexpr int MaxFontSize = 100;

// A difference of two times as the result: a minute is borrowed for negative seconds; the
// clock shows minutes unpadded and seconds with a leading "0" when one digit.
void setResult(RunState& s, int minutes, int seconds) {
    if (seconds < 0) {
        seconds += 60;
        --minutes;
    }
    s.SumMin = minutes;
    s.SumSec = seconds;
    s.SetClockTexts(minutes, seconds);
}
} // namespace

NormalMode::NormalMode(Tfrmmain& frm) : QObject(&frm), m_frm(frm), S(frm.State) {
    AALabel = new AntiAliasedLabel(&frm);
    AALabel->setObjectName(QStringLiteral("AALabel"));
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &NormalMode::Timer1Timer);
    Timer_Flash = new QTimer(this);
    Timer_Flash->setObjectName(QStringLiteral("Timer_Flash"));
    connect(Timer_Flash, &QTimer::timeout, this, &NormalMode::Timer_FlashTimer);
}

NormalMode::~NormalMode() = default;

void NormalMode::SetupNormalMode() {
    const SettingsFile& f = *S.SettingsFile;
    S.CountUp = ReadFlag(f, Key::jsMode);
    S.Overtime = S.CountUp;
    S.BlinkSeparator = ReadFlag(f, Key::maohao);
    S.RestoreSec = ReadInt(f, Key::NormalDJS);
    if (S.CountUp) S.SetClockTexts(0, 0);
    m_frm.SetBackground(ReadInt(f, Key::BKCOLOR));
    QString pictureError;
    LoadLabelFont(f, *AALabel, QStringLiteral("AALabel"), &pictureError);
    // An unreadable texture picture is reported once; the text is drawn without it.
    if (!pictureError.isEmpty() && !m_pictureErrorShown) {
        m_pictureErrorShown = true;
        QMessageBox::warning(&m_frm, Caption::Notice, pictureError);
    }
    if (AALabel->font().pointSize() > MaxFontSize) {
        QFont font = AALabel->font();
        font.setPointSize(MaxFontSize);
        AALabel->setFont(font);
    }
    S.AlarmColor = ReadInt(f, Key::BKCOLOR_Alarm);
    S.OverColor = ReadInt(f, Key::BKCOLOR_over);
    S.AutoStop = ReadFlag(f, Key::AutoStop);
    m_frm.ResetClockTexts();
    RefreshClock();
}

void NormalMode::RefreshClock() {
    if (!S.BlinkSeparator) S.SepText = Colon;
    AALabel->setCaption(S.MinText + S.SepText + S.SecText);
    AALabel->move(2, 2);
    m_frm.resize(AALabel->width() + 4, AALabel->height() + 4);
}

void NormalMode::StartOverFlash() {
    const SettingsFile& f = *S.SettingsFile;
    if (!ReadFlag(f, Key::Flash)) return;
    S.FlashCount = 6;
    S.FlashColor1 = ReadInt(f, Key::BKCOLOR_over);
    S.FlashColor2 = ReadInt(f, Key::BKCOLOR_Alarm);
    Timer_Flash->setInterval(500);
    Timer_Flash->start();
}

void NormalMode::Timer_FlashTimer() {
    m_frm.SetBackground(m_frm.Background() == S.FlashColor1 ? S.FlashColor2 : S.FlashColor1);
    if (--S.FlashCount <= 0) {
        Timer_Flash->stop();
        if (m_frm.Background() != S.FlashColor1) m_frm.SetBackground(S.FlashColor1);
    }
}

void NormalMode::alarmMoment() {
    m_frm.SetBackground(S.AlarmColor);
    m_frm.PlayCueOf(Key::Sound_Alarm);
    m_frm.ShowWindow();
}

void NormalMode::overMoment() {
    m_frm.SetBackground(S.OverColor);
    m_frm.PlayCueOf(Key::Sound_Over);
    m_frm.ShowWindow();
    if (S.AutoStop)
        Tfrmmain::ClickItem(m_frm.N_stop);
    else
        StartOverFlash();
}

void NormalMode::countUp() {
    if (++S.CurSec == 60) {
        S.CurSec = 0;
        if (++S.CurMin == 60) S.CurMin = 0;
    }
    if (S.CurSec == S.AlarmSec && S.CurMin == S.AlarmMin) alarmMoment();
    if (S.CurMin * 60 + S.RestoreSec + S.CurSec == S.StdMin * 60 + S.StdSec) m_frm.ShowWindow();
    if (S.CurSec == S.StdSec && S.CurMin == S.StdMin) overMoment();
}

void NormalMode::countDown() {
    // A stage without time has its over moment with the first counted second, so the
    // clock never goes below 0:00.
    if (S.CurMin == 0 && S.CurSec == 0) {
        S.Overtime = true;
        overMoment();
        return;
    }
    --S.CurSec;
    if (S.CurSec == 0 && S.CurMin == 0) {
        S.Overtime = true;
        overMoment();
    } else if (S.CurSec == -1) {
        S.CurSec = 59;
        --S.CurMin;
    }
    if (S.CurMin * 60 + S.CurSec == S.RestoreSec) m_frm.ShowWindow();
    int s = S.AlarmSec + S.CurSec;
    int m = S.AlarmMin + S.CurMin;
    if (s > 59) {
        s -= 60;
        ++m;
    }
    if (m == S.StdMin && s == S.StdSec) alarmMoment();
}

void NormalMode::Timer1Timer() {
    S.SepText = Blank;
    if (!IsNewSecond(m_frm.Clock(), S.LastTick)) {
        RefreshClock();
        return;
    }
    S.SepText = Colon;
    if (S.CountUp) {
        countUp();
    } else if (!S.Overtime) {
        countDown();
    } else if (++S.CurSec == 60) {
        S.CurSec = 0;
        ++S.CurMin;
    }
    // Runs after a stop made at the over moment, so the clock shows the counter.
    S.SetClockTexts(S.CurMin, S.CurSec);
    RefreshClock();
}

void NormalMode::StartNormal() {
    if (Timer1->isActive()) {
        m_frm.HideWindow();
        return;
    }
    if (m_frm.N_start->text() != Caption::StartHide) {
        m_frm.ResetClockTexts();
        m_frm.N_start->setText(Caption::StartHide);
        m_frm.SetBackground(ReadInt(*S.SettingsFile, Key::BKCOLOR));
        m_frm.N_stop->setEnabled(false);
        m_frm.N_pause->setEnabled(false);
        m_frm.N_set->setEnabled(true);
        RefreshClock();
        return;
    }
    m_frm.PrepareCues();
    const int std = S.StdMin * 60 + S.StdSec;
    const int alarm = S.AlarmMin * 60 + S.AlarmSec;
    if (alarm >= std && std != 0 && alarm != 0) {
        S.AlarmMin = S.StdMin;
        S.AlarmSec = S.StdSec;
    }
    S.Overtime = false;
    S.CurMin = S.CountUp ? 0 : S.StdMin;
    S.CurSec = S.CountUp ? 0 : S.StdSec;
    S.LastTick = m_frm.Clock().now();
    Timer1->start();
    m_frm.EnterRunningMenu();
    m_frm.PlayCueOf(Key::Sound_Start);
    RefreshClock();
}

void NormalMode::StopNormal() {
    if (!m_frm.IsShown()) {
        m_frm.ShowWindow();
        return;
    }
    Timer1->stop();
    if (!S.CountUp) {
        if (!S.Overtime) {
            m_frm.setWindowTitle(Caption::TimeUsed);
            setResult(S, S.StdMin - S.CurMin, S.StdSec - S.CurSec);
        } else {
            m_frm.setWindowTitle(Caption::Overtime);
        }
    } else {
        const int std = S.StdMin * 60 + S.StdSec;
        if (std > S.CurMin * 60 + S.CurSec || std == 0) {
            m_frm.setWindowTitle(Caption::TimeUsed);
        } else {
            m_frm.setWindowTitle(Caption::Overtime);
            setResult(S, S.CurMin - S.StdMin, S.CurSec - S.StdSec);
        }
    }
    S.SepText = Colon;
    m_frm.N_start->setText(Caption::Reset);
    m_frm.EnterStoppedMenu();
    RefreshClock();
}

void NormalMode::PauseNormal() {
    if (m_frm.N_pause->text() == Caption::Pause) {
        S.SepText = Colon;
        Timer1->stop();
        m_frm.N_pause->setText(Caption::Continue);
    } else {
        m_frm.N_pause->setText(Caption::Pause);
        Timer1->start();
    }
    RefreshClock();
}
