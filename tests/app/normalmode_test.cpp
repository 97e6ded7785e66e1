#include "appfixture.h"
#include "colors.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWindow>

namespace {

using NormalModeTest = AppFixture;
const QString StartHide = QStringLiteral("开始/隐藏");
const QString Reset = QStringLiteral("清零");
const QString TimeUsed = QStringLiteral("实际用时:");
const QString Overtime = QStringLiteral("超 时:");

TEST_F(NormalModeTest, FiveSecondCountDownStopsByItselfAtZero) {
    writeIni("[Group]\r\nName1=Talk\r\nTime1=00:05\r\nAlarm1=00:02\r\n[System]\r\n"
             "Sound_Alarm=alarm.wav\r\nSound_Over=over.wav\r\nSound_Start=start.wav\r\n");
    start();
    EXPECT_EQ(clockText(), "0:05");
    click(menu().N_start);
    EXPECT_TRUE(running());
    EXPECT_EQ(sound.played, QStringList{"start.wav"});
    EXPECT_EQ(sound.prepared, 1); // before its first cue

    QStringList shown;
    for (int i = 0; i < 5; ++i) {
        seconds(1);
        shown << clockText();
    }
    EXPECT_EQ(shown, QStringList({"0:04", "0:03", "0:02", "0:01", "0:00"}));
    EXPECT_EQ(sound.played, QStringList({"start.wav", "alarm.wav", "over.wav"}));
    EXPECT_FALSE(running());
    EXPECT_EQ(frm->Background(), 255);
    EXPECT_EQ(frm->windowTitle(), Overtime);
    EXPECT_EQ(menu().N_start->text(), Reset);
    EXPECT_FALSE(menu().N_stop->isEnabled());
    EXPECT_TRUE(menu().N_set->isEnabled());
}

struct ResultCase {
    const char* name;
    bool countUp;
    bool autoStop;
    const char* stdTime;
    int secondsRun;
    QString caption;
    const char* clock;
};

TEST_F(NormalModeTest, StopShowsTheTimeUsedOrTheOvertime) {
    const ResultCase cases[] = {
        {"down, stopped early", false, true, "05:00", 75, TimeUsed, "1:15"},
        {"down, before the first second", false, true, "05:00", 0, TimeUsed, "0:00"},
        {"down, in overtime", false, false, "00:05", 47, Overtime, "0:42"},
        {"up, before the end", true, false, "05:00", 190, TimeUsed, "3:10"},
        {"up, past the end", true, false, "05:00", 320, Overtime, "0:20"},
        {"up, exactly at the end", true, false, "05:00", 300, Overtime, "0:00"},
        {"up, stage without time", true, false, "00:00", 65, TimeUsed, "1:05"},
    };
    for (const ResultCase& c : cases) {
        SCOPED_TRACE(c.name);
        frm.reset();
        writeIni(QByteArray("[Normal]\r\njsMode=") + (c.countUp ? "1" : "0") + "\r\nAutoStop=" +
                 (c.autoStop ? "1" : "0") + "\r\n[Group]\r\nTime1=" + c.stdTime + "\r\n");
        start();
        click(menu().N_start);
        seconds(c.secondsRun);
        click(menu().N_stop);
        EXPECT_FALSE(running());
        EXPECT_EQ(frm->windowTitle(), c.caption);
        EXPECT_EQ(clockText(), c.clock);
        EXPECT_EQ(menu().N_start->text(), Reset);
    }
}

TEST_F(NormalModeTest, ResetThenStartRunsTheStageAgain) {
    writeIni("[Group]\r\nTime1=05:00\r\nAlarm1=00:10\r\n[Normal]\r\nBKCOLOR_Alarm=65280\r\n");
    start();
    click(menu().N_start);
    seconds(12); // past the alarm
    EXPECT_EQ(frm->Background(), 65280);
    click(menu().N_stop);
    EXPECT_EQ(clockText(), "0:12");

    click(menu().N_start); // reset
    EXPECT_FALSE(running());
    EXPECT_EQ(clockText(), "5:00");
    EXPECT_EQ(frm->Background(), 15780518);
    EXPECT_EQ(menu().N_start->text(), StartHide);
    EXPECT_EQ(frm->windowTitle(), QString());
    EXPECT_FALSE(menu().N_pause->isEnabled());

    click(menu().N_start);
    EXPECT_TRUE(running());
    seconds(1);
    EXPECT_EQ(clockText(), "4:59");
}

TEST_F(NormalModeTest, StartHidesAndStopShowsBeforeItStops) {
    writeIni("[Group]\r\nTime1=01:00\r\n");
    start();
    click(menu().N_start);
    click(menu().N_start);
    EXPECT_TRUE(running());
    ASSERT_TRUE(Eventually([this] { return !frm->isVisible(); }));
    click(menu().N_stop);
    EXPECT_TRUE(frm->IsShown());
    EXPECT_TRUE(running());
    click(menu().N_stop);
    EXPECT_FALSE(running());
}

// What the X server shows where the window is, against what the window paints now.
class NormalModeOnScreen : public NormalModeTest {
protected:
    QImage onScreen() {
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, frm->x(), frm->y(), frm->width(), frm->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    bool screenIsCurrent() {
        if (!frm->IsShown() || !frm->mask().isEmpty()) return false;
        return onScreen() == frm->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // The window is back with the digits and the colour it has now, its appearance over.
    void expectShown(const char* clock, qint32 colour) {
        EXPECT_EQ(clockText(), clock);
        EXPECT_EQ(frm->Background(), colour);
        EXPECT_TRUE(Eventually([this] { return screenIsCurrent(); }, 3000)) << clock;
        EXPECT_EQ(onScreen().pixelColor(1, 1), ColorFromValue(colour, Qt::black)) << clock;
    }
    // Hidden, and gone from the X server's screen, as after a while of counting unseen.
    bool gone() { return !frm->isVisible() && !frm->windowHandle()->isExposed(); }
    void hide() {
        click(menu().N_start);
        ASSERT_TRUE(Eventually([this] { return gone(); }));
    }
};

TEST_F(NormalModeOnScreen, WindowComesBackFromHidingWithTheCurrentPicture) {
    writeIni("[Group]\r\nTime1=00:05\r\nAlarm1=00:02\r\n[Normal]\r\nAutoStop=1\r\n");
    start();
    expectShown("0:05", 15780518);
    click(menu().N_start);
    seconds(1);
    hide();
    seconds(1); // the alarm moment shows the window
    expectShown("0:03", 65535);

    click(menu().N_start); // hidden again, and a second counted while it shrinks
    seconds(1);
    ASSERT_TRUE(Eventually([this] { return gone(); }));
    click(menu().N_stop); // shows it
    expectShown("0:02", 65535);

    hide();
    seconds(2); // the over moment stops the run and shows the window on the result
    EXPECT_EQ(frm->windowTitle(), Overtime);
    expectShown("0:00", 255);
}

TEST_F(NormalModeTest, HiddenWindowComesBackBeforeTheEnd) {
    writeIni("[Group]\r\nTime1=01:00\r\n[Normal]\r\nDJS=30\r\n");
    start();
    click(menu().N_start);
    click(menu().N_start);
    ASSERT_TRUE(Eventually([this] { return !frm->isVisible(); }));
    seconds(29);
    EXPECT_FALSE(frm->isVisible());
    seconds(1);
    EXPECT_EQ(clockText(), "0:30");
    EXPECT_TRUE(frm->IsShown());
}

TEST_F(NormalModeTest, PauseFreezesTheClockWithItsColon) {
    writeIni("[Group]\r\nTime1=01:00\r\n[Normal]\r\nmaohao=1\r\n[System]\r\nSound_Start=s.wav\r\n");
    start();
    click(menu().N_start);
    seconds(1);
    tick(); // the blink phase
    EXPECT_EQ(clockText(), "0 59");
    click(menu().N_pause);
    EXPECT_FALSE(running());
    EXPECT_EQ(clockText(), "0:59");
    EXPECT_EQ(menu().N_pause->text(), QStringLiteral("继续"));
    EXPECT_EQ(frm->windowTitle(), QStringLiteral("暂停"));
    EXPECT_FALSE(menu().N_start->isEnabled());
    click(menu().N_start); // disabled: nothing happens
    EXPECT_FALSE(running());

    click(menu().N_pause);
    EXPECT_TRUE(running());
    EXPECT_EQ(frm->windowTitle(), QString());
    EXPECT_TRUE(menu().N_start->isEnabled());
    tick();
    EXPECT_EQ(clockText(), "0:58");
    EXPECT_EQ(sound.played, QStringList{"s.wav"}); // pause and continue play no start cue

    click(menu().N_stop);
    click(menu().N_start); // the reset plays none either
    EXPECT_EQ(sound.played, QStringList{"s.wav"});
    click(menu().N_start);
    EXPECT_EQ(sound.played, QStringList({"s.wav", "s.wav"}));
}

TEST_F(NormalModeTest, SeparatorBlinksOnlyWhenSet) {
    for (const bool blink : {false, true}) {
        frm.reset();
        writeIni(QByteArray("[Group]\r\nTime1=01:00\r\n[Normal]\r\nmaohao=") + (blink ? "1" : "0") +
                 "\r\n");
        start();
        click(menu().N_start);
        QStringList seen;
        for (int i = 0; i < 4; ++i) {
            tick();
            seen << clockText();
        }
        if (blink)
            EXPECT_EQ(seen, QStringList({"1 00", "0:59", "0 59", "0:58"}));
        else
            EXPECT_EQ(seen, QStringList({"1:00", "0:59", "0:59", "0:58"}));
    }
}

TEST_F(NormalModeTest, AlarmTimeAtOrPastTheEndComesWithTheOverMoment) {
    writeIni("[Group]\r\nTime1=00:03\r\nAlarm1=06:00\r\n[System]\r\nSound_Alarm=a.wav\r\nSound_"
             "Over=o.wav\r\n");
    start();
    click(menu().N_start);
    EXPECT_EQ(state().AlarmMin * 60 + state().AlarmSec, 3);
    seconds(3);
    EXPECT_EQ(sound.played, QStringList({"o.wav", "a.wav"}));
    EXPECT_EQ(frm->Background(), 65535); // the alarm colour wins
    EXPECT_EQ(frm->windowTitle(), Overtime);
}

TEST_F(NormalModeTest, AlarmFiresWhenItsTimeHasElapsed) {
    struct Case {
        bool countUp;
        const char* shownAtAlarm;
    };
    for (const Case c : {Case{false, "0:40"}, Case{true, "0:20"}}) {
        frm.reset();
        sound.played.clear();
        writeIni(QByteArray("[Group]\r\nTime1=01:00\r\nAlarm1=00:20\r\n[Normal]\r\njsMode=") +
                 (c.countUp ? "1" : "0") + "\r\n[System]\r\nSound_Alarm=a.wav\r\n");
        start();
        click(menu().N_start);
        seconds(19);
        EXPECT_TRUE(sound.played.isEmpty());
        seconds(1);
        EXPECT_EQ(clockText(), c.shownAtAlarm);
        EXPECT_EQ(sound.played, QStringList{"a.wav"});
        EXPECT_EQ(frm->Background(), 65535);
    }
}

TEST_F(NormalModeTest, OvertimeCountsOnAndFlashesSixStepsEndingOnTheOverColour) {
    writeIni("[Group]\r\nTime1=00:02\r\n[Normal]\r\nAutoStop=0\r\nFlash=1\r\n");
    start();
    click(menu().N_start);
    seconds(2);
    EXPECT_TRUE(running());
    EXPECT_TRUE(normal().Overtime);
    EXPECT_TRUE(normal().Timer_Flash->isActive());
    QList<qint32> colours;
    for (int i = 0; i < 6; ++i) {
        normal().Timer_FlashTimer();
        colours << frm->Background();
    }
    EXPECT_EQ(colours, QList<qint32>({65535, 255, 65535, 255, 65535, 255}));
    EXPECT_FALSE(normal().Timer_Flash->isActive());
    seconds(61);
    EXPECT_EQ(clockText(), "1:01");
}

TEST_F(NormalModeTest, OverMomentFlashesOnlyWhenTheRunGoesOn) {
    struct Case {
        const char* normal;
        bool running;
        bool flashing;
    };
    const Case cases[] = {
        {"AutoStop=1\r\nFlash=1\r\n", false, false},
        {"AutoStop=0\r\nFlash=0\r\n", true, false},
        {"AutoStop=0\r\nFlash=1\r\n", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.normal);
        frm.reset();
        writeIni(QByteArray("[Group]\r\nTime1=00:02\r\n[Normal]\r\n") + c.normal);
        start();
        click(menu().N_start);
        seconds(2);
        EXPECT_EQ(frm->Background(), 255);
        EXPECT_EQ(running(), c.running);
        EXPECT_EQ(normal().Timer_Flash->isActive(), c.flashing);
    }
}

TEST_F(NormalModeTest, ClockFontIsAtMost100Points) {
    for (const auto& [stored, used] : {std::pair{150, 100}, {101, 100}, {100, 100}, {60, 60}}) {
        frm.reset();
        writeIni("[AALabel]\r\nFontSize=" + QByteArray::number(stored) + "\r\n");
        start();
        EXPECT_EQ(normal().AALabel->font().pointSize(), used) << stored;
    }
}

TEST_F(NormalModeTest, StageWithoutTimeNeverShowsANegativeClock) {
    start(); // no js.ini at all
    EXPECT_EQ(clockText(), "0:00");
    EXPECT_EQ(frm->Background(), 15780518);
    click(menu().N_start);
    EXPECT_EQ(sound.prepared, 0); // no sounds: the media back end is never loaded
    seconds(1);
    EXPECT_EQ(clockText(), "0:00");
    EXPECT_EQ(frm->windowTitle(), Overtime);
    EXPECT_FALSE(running());
}

TEST_F(NormalModeTest, CountUpWrapsAfter59Minutes59) {
    writeIni("[Group]\r\nTime1=70:00\r\nAlarm1=00:01\r\n[Normal]\r\njsMode=1\r\n[System]\r\nSound_"
             "Alarm=a.wav\r\n");
    start();
    click(menu().N_start);
    normal().CurMin = 59;
    normal().CurSec = 59;
    seconds(1);
    EXPECT_EQ(clockText(), "0:00");
    seconds(1);
    EXPECT_EQ(sound.played, QStringList{"a.wav"}); // the alarm comes round again
}

// A time that is not there is no moment at all: when the count-up wraps to 0:00 at the hour,
// a stage without an alarm time gets no alarm, and one without a standard time no over
// moment, and no window comes back for either.
TEST_F(NormalModeTest, CountUpWrapGivesNoMomentForAMissingTime) {
    struct Case {
        const char* name;
        const char* group;
    };
    const Case cases[] = {
        {"no alarm time", "Time1=70:00\r\n"},
        {"alarm time 00:00", "Time1=70:00\r\nAlarm1=00:00\r\n"},
        {"no standard time", "Alarm1=70:00\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        frm.reset();
        sound.played.clear();
        writeIni(QByteArray("[Group]\r\n") + c.group +
                 "[Normal]\r\njsMode=1\r\nAutoStop=0\r\nFlash=1\r\nDJS=0\r\n"
                 "[System]\r\nSound_Alarm=a.wav\r\nSound_Over=o.wav\r\n");
        start();
        click(menu().N_start);
        seconds(1);
        click(menu().N_start); // hidden: nothing may bring it back
        ASSERT_TRUE(Eventually([this] { return !frm->isVisible(); }));
        normal().CurMin = 59;
        normal().CurSec = 59;
        seconds(2);
        EXPECT_EQ(clockText(), "0:01");
        EXPECT_TRUE(sound.played.isEmpty()) << sound.played.join(' ').toStdString();
        EXPECT_EQ(frm->Background(), 15780518);
        EXPECT_FALSE(normal().Timer_Flash->isActive());
        EXPECT_FALSE(frm->isVisible());
        EXPECT_TRUE(running());
    }
}

// Sums of minutes and seconds are formed in 64 bits: DJS at INT_MAX added to the counter
// passes the 32-bit range (the sanitized run stops on such an overflow), and the largest time
// a clock shows counts like any other.
TEST_F(NormalModeTest, ExtremeTimesDoNotOverflow) {
    for (const char* jsMode : {"1", "0"}) {
        SCOPED_TRACE(jsMode);
        frm.reset();
        writeIni(QByteArray("[Group]\r\nTime1=99999:59\r\nAlarm1=00:10\r\n[Normal]\r\njsMode=") +
                 jsMode + "\r\nDJS=2147483647\r\n");
        start();
        click(menu().N_start);
        EXPECT_EQ(state().AlarmMin * 60 + state().AlarmSec, 10); // not moved onto the end
        click(menu().N_start);
        ASSERT_TRUE(Eventually([this] { return !frm->isVisible(); }));
        seconds(1);
        EXPECT_FALSE(frm->isVisible()); // far from the end: no restore display yet
        seconds(2);
        click(menu().N_stop); // shows the window
        click(menu().N_stop);
        EXPECT_EQ(frm->windowTitle(), TimeUsed);
        EXPECT_EQ(clockText(), "0:03");
    }
}

TEST_F(NormalModeTest, LateTickCountsOneSecond) {
    writeIni("[Group]\r\nTime1=01:00\r\n");
    start();
    click(menu().N_start);
    clock.advanceMs(2500);
    frm->Mode().Engine()->Tick();
    EXPECT_EQ(clockText(), "0:59");
}

TEST_F(NormalModeTest, WindowEnclosesTheClockText) {
    writeIni("[Group]\r\nTime1=10:00\r\n");
    start();
    const int wide = frm->width();
    EXPECT_EQ(wide, normal().AALabel->width() + 4);
    EXPECT_EQ(frm->height(), normal().AALabel->height() + 4);
    EXPECT_EQ(normal().AALabel->pos(), QPoint(2, 2));
    click(menu().N_start);
    seconds(1);
    EXPECT_EQ(clockText(), "9:59");
    EXPECT_LT(frm->width(), wide);
    EXPECT_EQ(frm->width(), normal().AALabel->width() + 4);
}

TEST_F(NormalModeTest, StageCommandsActOnlyWhileStopped) {
    writeIni("[Group]\r\nName1=A\r\nTime1=05:00\r\nName2=B\r\nTime2=02:30\r\nName4=D\r\nTime4=09:"
             "00\r\n");
    start();
    EXPECT_TRUE(menu().StageItems[1]->isVisible());
    EXPECT_FALSE(menu().StageItems[2]->isVisible());
    EXPECT_EQ(menu().StageItems[3]->text(), "4 D");

    click(menu().N_start);
    click(menu().n_next); // disabled while running
    EXPECT_EQ(state().StageNo, "1");
    seconds(3);
    click(menu().N_stop);

    click(menu().n_next); // in the result: new stage, still "reset"
    EXPECT_EQ(state().StageNo, "2");
    EXPECT_EQ(clockText(), "2:30");
    EXPECT_EQ(menu().N_start->text(), Reset);
    EXPECT_EQ(menu().N_jd->defaultAction(), menu().StageItems[1]);
    click(menu().n_next); // stage 3 is unnamed
    EXPECT_EQ(state().StageNo, "1");
    click(menu().StageItems[3]);
    EXPECT_EQ(state().StageNo, "4");
    EXPECT_EQ(clockText(), "9:00");
    click(menu().N_pri); // stage 3 is unnamed
    EXPECT_EQ(state().StageNo, "1");
    EXPECT_EQ(clockText(), "5:00");
}

} // namespace
