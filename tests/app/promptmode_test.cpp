// The prompt-window mode: what it reads from js.ini, its two lines, the schedule on which
// the window comes up and goes, the colours and cues of the alarm and the end, the close at
// the end, its run commands, and what the X server shows of it.
#include "appfixture.h"
#include "promptmode.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>

namespace {

QByteArray ini(std::initializer_list<const char*> lines) {
    QByteArray text;
    for (const char* line : lines)
        text += QByteArray(line) + "\r\n";
    return text;
}

QString lines(const char* first, const char* second) {
    return QString::fromUtf8(first) + QLatin1Char('\n') + QString::fromUtf8(second);
}

class PromptModeTest : public AppFixture {
protected:
    PromptMode& prompt() { return mode<PromptMode>(); }
    QString text() { return prompt().Text(); }
    void startWith(const QByteArray& text) {
        writeIni("[SYSTEM]\r\nStartMode=2\r\n" + text);
        start();
    }
    void restartWith(const QByteArray& text) {
        frm.reset();
        sound.played.clear();
        startWith(text);
    }
    // One second of the wall clock: the hide timer when it is due by then, then the
    // engine's tick, each only while it is on.
    void second() {
        clock.advanceMs(1000);
        PromptMode& p = prompt();
        if (p.Timer_message2->isActive() && p.HideDue.isValid() && p.HideDue <= clock.now())
            p.Timer_message2Timer();
        if (p.Timer_message1.IsActive()) p.Timer_message1.Tick();
    }
    void run(int n) {
        for (int i = 0; i < n && !frm->IsClosed(); ++i)
            second();
    }
    // Whether the window is up at each second from now to last, as the spans in which it
    // is: "0-5 20-25" is up from second 0 until 5 and from 20 until 25, "110-" still up at
    // the last second. A close ends the list with the second it came at.
    QString schedule(int last) {
        QStringList spans;
        int from = -1;
        for (int t = 0; t <= last; ++t) {
            if (t > 0) second();
            if (frm->IsClosed()) {
                if (from >= 0) spans << QStringLiteral("%1-%2").arg(from).arg(t);
                spans << QStringLiteral("closed at %1").arg(t);
                return spans.join(QLatin1Char(' '));
            }
            const bool up = frm->IsShown();
            if (up && from < 0) from = t;
            if (!up && from >= 0) {
                spans << QStringLiteral("%1-%2").arg(from).arg(t);
                from = -1;
            }
        }
        if (from >= 0) spans << QStringLiteral("%1-").arg(from);
        return spans.join(QLatin1Char(' '));
    }
    int savedInt(const char* key) {
        return SettingsFile(dir.filePath(QStringLiteral("js.ini")))
            .ReadInteger(QStringLiteral("System"), QString::fromLatin1(key), -1);
    }
};

TEST_F(PromptModeTest, SetUpDressesTheLabelAndFitsTheWindowToIt) {
    startWith(ini({"BKColor=65280",
                   "left2=100",
                   "top2=5000",
                   "elapse=已用",
                   "Remain=剩余",
                   "[Message]",
                   "Fontname=DejaVu Sans",
                   "Fontsize=20",
                   "FontColor=16711680",
                   "FontStyle=[fsBold,fsUnderline]",
                   "DisplaySec=7",
                   "DisplayInterval=30",
                   "TimeOutAutoClose=0",
                   "Color_Over=1",
                   "Color_Alarm=2",
                   "DJS=12",
                   "[Group]",
                   "Time1=05:00",
                   "Name2=B",
                   "Time2=12:03"}));
    PromptMode& p = prompt();
    QLabel* l = p.l;
    EXPECT_EQ(frm->Surfaces().promptLabel, l);
    EXPECT_TRUE(l->isVisible());
    EXPECT_EQ(l->font().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(l->font().pointSize(), 20);
    EXPECT_TRUE(l->font().bold());
    EXPECT_TRUE(l->font().underline());
    EXPECT_FALSE(l->font().italic());
    EXPECT_FALSE(l->font().strikeOut());
    // The font colour where the settings dialog reads it back: blue, 0x00BBGGRR.
    EXPECT_EQ(l->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(frm->Background(), 65280);
    EXPECT_EQ(text(), lines("已用 0:00", "剩余 5:00"));
    // One pixel of the window's colour on every side of the two lines.
    EXPECT_EQ(l->pos(), QPoint(1, 1));
    EXPECT_EQ(frm->size(), l->size() + QSize(2, 2));
    EXPECT_GE(l->height(), 2 * QFontMetrics(l->font()).height());
    // The saved position; a top edge below the screen comes back to the top.
    EXPECT_EQ(frm->pos(), QPoint(100, 0));
    EXPECT_EQ(p.DisplaySec, 7);
    EXPECT_EQ(p.DisplayInterval, 30);
    EXPECT_EQ(p.Timer_message2->interval(), 7000);
    EXPECT_FALSE(state().AutoClose);
    EXPECT_EQ(state().AlarmColor, 1); // from Color_Over
    EXPECT_EQ(state().OverColor, 2);  // from Color_Alarm
    EXPECT_EQ(state().RestoreSec, 12);
    EXPECT_EQ(p.Timer_message1.Interval(), 1000);
    EXPECT_FALSE(running());
    EXPECT_EQ(menu().N_start->text(), QStringLiteral("开始/隐藏"));
    EXPECT_EQ(menu().N_stop->text(), QStringLiteral("停止/显示"));

    // A stage change writes its ready text, and the window follows the wider line.
    const QSize before = frm->size();
    click(menu().StageItems[1]);
    EXPECT_EQ(text(), lines("已用 0:00", "剩余12:03"));
    EXPECT_EQ(frm->size(), l->size() + QSize(2, 2));
    EXPECT_GE(frm->width(), before.width());

    // After the settings command (its dialog cancelled): stage 1 again, with the settings
    // and captions as they are now in js.ini.
    SettingsFile& f = frm->Settings();
    f.WriteString(QStringLiteral("System"), QStringLiteral("elapse"), QStringLiteral("E:"));
    f.WriteString(QStringLiteral("System"), QStringLiteral("BKColor"), QStringLiteral("255"));
    f.WriteString(QStringLiteral("Message"), QStringLiteral("Fontsize"), QStringLiteral("30"));
    f.WriteString(QStringLiteral("Message"), QStringLiteral("FontColor"), QStringLiteral("65280"));
    f.WriteString(QStringLiteral("Message"), QStringLiteral("DisplaySec"), QStringLiteral("0"));
    f.WriteString(QStringLiteral("Message"), QStringLiteral("Color_Over"), QStringLiteral("3"));
    settingsCancelled();
    EXPECT_EQ(text(), lines("E: 0:00", "剩余 5:00"));
    EXPECT_EQ(l->font().pointSize(), 30);
    EXPECT_EQ(l->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    EXPECT_EQ(frm->Background(), 255);
    EXPECT_EQ(p.DisplaySec, 0);
    EXPECT_EQ(state().AlarmColor, 3);
    EXPECT_EQ(frm->size(), l->size() + QSize(2, 2));
    EXPECT_GT(frm->height(), before.height());
}

TEST_F(PromptModeTest, ValuesOutOfRangeGetTheDefaults) {
    struct Case {
        const char* name;
        const char* fontSize;
        const char* displaySec;
        int pointSize;
        int displaySecRead;
    };
    const Case cases[] = {
        {"nothing given", "", "", 15, 5},
        {"no size, and no time of showing", "Fontsize=0", "DisplaySec=0", 15, 0},
        {"beyond the dialog's sizes; a negative time is none", "Fontsize=900", "DisplaySec=-4", 100,
         0},
        {"not numbers", "Fontsize=big", "DisplaySec=five", 15, 5},
        {"a time of showing no timer can hold", "Fontsize=-3", "DisplaySec=99999999", 15, 2147483},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        restartWith(ini({"[Message]", c.fontSize, c.displaySec, "[Group]", "Time1=01:00"}));
        EXPECT_EQ(prompt().l->font().pointSize(), c.pointSize);
        EXPECT_EQ(prompt().DisplaySec, c.displaySecRead);
        EXPECT_EQ(prompt().Timer_message2->interval(), c.displaySecRead * 1000);
        EXPECT_EQ(frm->size(), prompt().l->size() + QSize(2, 2));
        EXPECT_EQ(frm->Background(), 15780518);
        EXPECT_EQ(text(), lines("Elapse: 0:00", "Remain: 1:00"));
    }
}

TEST_F(PromptModeTest, TheWindowComesUpAndGoesOnItsSchedule) {
    struct Case {
        const char* name;
        QByteArray ini;
        int last;
        const char* spans;
    };
    const Case cases[] = {
        {"defaults: every 20 s for 5 s, up for the last 10, closed at the end",
         ini({"[Group]", "Time1=02:00"}), 130,
         "0-5 20-25 40-45 60-65 80-85 100-105 110-120 closed at 120"},
        {"DisplaySec 0: never hidden", ini({"[Message]", "DisplaySec=0", "[Group]", "Time1=02:00"}),
         130, "0-120 closed at 120"},
        {"DisplaySec 30 with interval 20: a showing does not put the hiding off",
         ini({"[Message]", "DisplaySec=30", "TimeOutAutoClose=0", "[Group]", "Time1=03:00"}), 200,
         "0-30 40-70 80-110 120-150 160-"},
        {"DisplayInterval 0: no periodic showing, only the last seconds",
         ini({"[Message]", "DisplayInterval=0", "[Group]", "Time1=02:00"}), 130,
         "0-5 110-120 closed at 120"},
        {"a negative interval is none either",
         ini({"[Message]", "DisplayInterval=-20", "[Group]", "Time1=02:00"}), 130,
         "0-5 110-120 closed at 120"},
        {"a showing just before the last seconds does not hide the window inside them",
         ini({"[Message]", "DJS=17", "[Group]", "Time1=02:00"}), 130,
         "0-5 20-25 40-45 60-65 80-85 100-120 closed at 120"},
        {"DJS 0 and the overtime: up from the end on, past the hiding of the last showing",
         ini({"[Message]", "DJS=0", "DisplaySec=8", "TimeOutAutoClose=0", "[Group]",
              "Time1=00:44"}),
         80, "0-8 20-28 40-"},
        {"a stage without time only counts: hidden once and never again shown",
         ini({"[Group]", "Time1=00:00"}), 45, "0-5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        restartWith(c.ini);
        click(menu().N_start);
        EXPECT_EQ(schedule(c.last).toStdString(), std::string(c.spans));
    }
}

TEST_F(PromptModeTest, TheTwoLinesWhileRunning) {
    struct Case {
        const char* name;
        QByteArray ini;
        int seconds;
        QString text;
    };
    const Case cases[] = {
        {"65 s of 5:00", ini({"[Group]", "Time1=05:00"}), 65,
         lines("Elapse: 1:05", "Remain: 3:55")},
        {"minutes of two digits", ini({"[Group]", "Time1=15:00"}), 754,
         lines("Elapse:12:34", "Remain: 2:26")},
        {"the end itself", ini({"[Message]", "TimeOutAutoClose=0", "[Group]", "Time1=01:00"}), 60,
         lines("Elapse: 1:00", "OverTime: 0:00")},
        {"125 s of overtime", ini({"[Message]", "TimeOutAutoClose=0", "[Group]", "Time1=01:00"}),
         185, lines("Elapse: 3:05", "OverTime: 2:05")},
        {"the captions of [System]",
         ini({"elapse=已用时间：", "Remain=剩余时间：", "Over=超时：", "[Message]",
              "TimeOutAutoClose=0", "[Group]", "Time1=00:10"}),
         12, lines("已用时间： 0:12", "超时： 0:02")},
        {"a stage without time keeps its ready text", ini({"[Group]", "Time1=00:00"}), 30,
         lines("Elapse: 0:00", "Remain: 0:00")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        restartWith(c.ini);
        click(menu().N_start);
        run(c.seconds);
        EXPECT_EQ(text(), c.text);
        EXPECT_EQ(state().ElapsedSec, c.seconds);
        // However the text changes, the window encloses it.
        EXPECT_EQ(frm->size(), prompt().l->size() + QSize(2, 2));
    }
}

TEST_F(PromptModeTest, TheAlarmAndTheEndChangeTheColourTheOtherWayRoundToTheKeys) {
    // The defaults: yellow from the alarm (Color_Over), red from the end (Color_Alarm).
    startWith(ini({"Sound_Alarm=a.wav", "Sound_Over=o.wav", "[Message]", "TimeOutAutoClose=0",
                   "[Group]", "Time1=02:00", "Alarm1=01:30"}));
    click(menu().N_start);
    run(89);
    EXPECT_EQ(frm->Background(), 15780518);
    EXPECT_TRUE(sound.played.isEmpty());
    run(1);
    EXPECT_EQ(frm->Background(), 65535);
    EXPECT_EQ(sound.played, QStringList{"a.wav"});
    run(30);
    EXPECT_EQ(frm->Background(), 255);
    EXPECT_EQ(sound.played, QStringList({"a.wav", "o.wav"}));
    EXPECT_TRUE(frm->IsShown());
    EXPECT_TRUE(running());
    EXPECT_EQ(text(), lines("Elapse: 2:00", "OverTime: 0:00"));
    run(1);
    EXPECT_EQ(text(), lines("Elapse: 2:01", "OverTime: 0:01"));
    EXPECT_EQ(frm->Background(), 255);
    EXPECT_EQ(sound.played.size(), 2);

    // Chosen colours, and the start of a new run takes the window's own colour back.
    restartWith(ini({"BKColor=8421504", "[Message]", "TimeOutAutoClose=0", "Color_Over=16711680",
                     "Color_Alarm=65280", "[Group]", "Time1=00:20", "Alarm1=00:05"}));
    click(menu().N_start);
    run(5);
    EXPECT_EQ(frm->Background(), 16711680);
    run(15);
    EXPECT_EQ(frm->Background(), 65280);
    click(menu().N_stop);
    EXPECT_EQ(frm->Background(), 65280); // a stop leaves the colour and the text
    EXPECT_EQ(text(), lines("Elapse: 0:20", "OverTime: 0:00"));
    click(menu().N_start);
    EXPECT_EQ(frm->Background(), 8421504);
    EXPECT_EQ(state().ElapsedSec, 0);
    EXPECT_EQ(text(), lines("Elapse: 0:00", "Remain: 0:20"));
}

TEST_F(PromptModeTest, AtTheEndTheProgramClosesWhereTheWindowWas) {
    startWith(ini({"left2=300", "top2=200", "Sound_Over=o.wav", "[Group]", "Time1=00:30"}));
    frm->move(310, 220); // dragged meanwhile
    click(menu().N_start);
    run(29);
    EXPECT_FALSE(frm->IsClosed());
    run(1);
    EXPECT_TRUE(frm->IsClosed());
    EXPECT_FALSE(frm->isVisible());
    EXPECT_FALSE(running());
    EXPECT_FALSE(prompt().Timer_message2->isActive());
    EXPECT_EQ(sound.played, QStringList{"o.wav"});
    EXPECT_EQ(savedInt("LEFT2"), 310);
    EXPECT_EQ(savedInt("TOP2"), 220);
    // A tick still on its way does nothing to the closed window.
    second();
    EXPECT_FALSE(frm->isVisible());
}

TEST_F(PromptModeTest, StartHidesStopShowsPauseHoldsBoth) {
    startWith(
        ini({"Sound_Start=s.wav", "[Group]", "Name1=A", "Time1=05:00", "Name2=B", "Time2=01:00"}));
    click(menu().N_start);
    EXPECT_TRUE(running());
    EXPECT_TRUE(prompt().Timer_message2->isActive());
    EXPECT_EQ(sound.played, QStringList{"s.wav"});
    EXPECT_FALSE(menu().N_set->isEnabled());
    EXPECT_FALSE(menu().n_next->isEnabled());
    run(2);

    // Start while running hides and plays nothing; the text goes on while hidden.
    click(menu().N_start);
    EXPECT_FALSE(frm->IsShown());
    EXPECT_TRUE(running());
    EXPECT_EQ(sound.played, QStringList{"s.wav"});
    run(1);
    EXPECT_EQ(text(), lines("Elapse: 0:03", "Remain: 4:57"));
    // Stop while hidden only shows.
    click(menu().N_stop);
    EXPECT_TRUE(frm->IsShown());
    EXPECT_TRUE(running());

    // Pause: both timers off, the window stays as it is; going on switches the engine only.
    click(menu().N_pause);
    EXPECT_FALSE(running());
    EXPECT_FALSE(prompt().Timer_message2->isActive());
    EXPECT_EQ(frm->windowTitle(), QStringLiteral("暂停"));
    EXPECT_FALSE(menu().N_start->isEnabled());
    run(10);
    EXPECT_TRUE(frm->IsShown());
    EXPECT_EQ(state().ElapsedSec, 3);
    click(menu().N_pause);
    EXPECT_TRUE(running());
    EXPECT_FALSE(prompt().Timer_message2->isActive());
    EXPECT_EQ(sound.played, QStringList{"s.wav"});
    run(1);
    EXPECT_EQ(state().ElapsedSec, 4);
    // The next showing starts the hide timer again.
    run(16);
    EXPECT_TRUE(prompt().Timer_message2->isActive());
    run(5);
    EXPECT_FALSE(frm->IsShown());

    // Stop while the window is hidden shows it; the second stop stops.
    click(menu().N_stop);
    click(menu().N_stop);
    EXPECT_FALSE(running());
    EXPECT_FALSE(prompt().Timer_message2->isActive());
    EXPECT_TRUE(frm->IsShown());
    EXPECT_TRUE(menu().N_set->isEnabled());
    EXPECT_FALSE(menu().N_stop->isEnabled());
    // Stopped, the stage can change, and a start begins from zero with its cue.
    click(menu().n_next);
    EXPECT_EQ(text(), lines("Elapse: 0:00", "Remain: 1:00"));
    click(menu().N_start);
    EXPECT_EQ(sound.played, QStringList({"s.wav", "s.wav"}));
    run(1);
    EXPECT_EQ(text(), lines("Elapse: 0:01", "Remain: 0:59"));
}

// The colour of the screen over the window's first row, beside the text.
QColor cornerOnScreen(const QWidget& w) {
    const QImage img =
        QGuiApplication::primaryScreen()->grabWindow(0, w.x(), w.y(), 1, 1).toImage();
    return img.isNull() ? QColor() : img.pixelColor(0, 0);
}

TEST_F(PromptModeTest, OnTheScreen) {
    // Never hidden by itself: the hide timer runs on real time while the test waits.
    startWith(ini({"BKColor=65280", "left2=120", "top2=90", "[Message]", "FontColor=0",
                   "DisplaySec=0", "Color_Over=255", "[Group]", "Time1=05:00", "Alarm1=00:02"}));
    const QColor green(0, 255, 0), red(255, 0, 0);
    ASSERT_TRUE(Eventually([&] { return cornerOnScreen(*frm) == green; }));
    const auto onScreen = [this] {
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, frm->x(), frm->y(), frm->width(), frm->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    // The two lines in the font colour on the window's colour.
    const QImage ready = onScreen();
    int dark = 0;
    for (int y = 0; y < ready.height(); ++y)
        for (int x = 0; x < ready.width(); ++x)
            if (qGray(ready.pixel(x, y)) < 60) ++dark;
    EXPECT_GT(dark, 30);

    click(menu().N_start);
    run(1);
    click(menu().N_start); // hidden
    EXPECT_TRUE(Eventually([&] { return !frm->isVisible(); }));
    EXPECT_NE(cornerOnScreen(*frm), green);
    // The alarm while hidden turns it red, and the text goes on.
    run(2);
    EXPECT_EQ(frm->Background(), 255);
    click(menu().N_stop); // shown again
    // What comes up is the window as it is now, not as it was when it went.
    const QImage now = frm->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(Eventually([&] { return cornerOnScreen(*frm) == red && onScreen() == now; }));
    EXPECT_NE(onScreen(), ready);
}

} // namespace
