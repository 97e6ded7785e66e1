// The progress-bar mode: where it docks the window and lays out the plan row, what it reads
// from js.ini, its engine (position, plan bar, hint, cues, the end of a stage), its run
// commands, and what the X server shows of it.
#include "appfixture.h"
#include "progressfillbar.h"
#include "progresslayout.h"
#include "progressmode.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QToolTip>
#include <QWindow>

#include <vector>

namespace {

QByteArray ini(std::initializer_list<const char*> lines) {
    QByteArray text;
    for (const char* line : lines)
        text += QByteArray(line) + "\r\n";
    return text;
}

QString rectText(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// ---- the layout, for any screen ----

TEST(ProgressLayout, DocksAndLaysOutThePlanRowByStageTimes) {
    const QRect xga(0, 0, 1024, 768), sxga(0, 0, 1280, 1024);
    const std::array<int, StageCount> talk{300, 600, 300}; // 5:00, 10:00, 5:00
    struct Case {
        const char* name;
        QRect screen;
        BarEdge edge;
        bool total;
        std::array<int, StageCount> seconds;
        QRect window, mainBar;
        std::vector<QRect> stageBars; // F1 onwards; the rest as the last one given
    };
    const Case cases[] = {
        {"top, plan row on a 1024-pixel screen",
         xga,
         BarEdge::Top,
         true,
         talk,
         QRect(0, 0, 1024, 40),
         QRect(0, 20, 1024, 20),
         {QRect(0, 0, 256, 20), QRect(256, 0, 512, 20), QRect(768, 0, 256, 20),
          QRect(1024, 0, 0, 20)}},
        {"right, plan row: F1 at the bottom",
         sxga,
         BarEdge::Right,
         true,
         talk,
         QRect(1240, 0, 40, 1024),
         QRect(20, 0, 20, 1024),
         {QRect(0, 768, 20, 256), QRect(0, 256, 20, 512), QRect(0, 0, 20, 256),
          QRect(0, 0, 20, 0)}},
        {"bottom, plan row",
         sxga,
         BarEdge::Bottom,
         true,
         talk,
         QRect(0, 984, 1280, 40),
         QRect(0, 20, 1280, 20),
         {QRect(0, 0, 320, 20), QRect(320, 0, 640, 20), QRect(960, 0, 320, 20),
          QRect(1280, 0, 0, 20)}},
        {"left, plan row",
         sxga,
         BarEdge::Left,
         true,
         talk,
         QRect(0, 0, 40, 1024),
         QRect(20, 0, 20, 1024),
         {QRect(0, 768, 20, 256), QRect(0, 256, 20, 512), QRect(0, 0, 20, 256),
          QRect(0, 0, 20, 0)}},
        {"bottom alone",
         sxga,
         BarEdge::Bottom,
         false,
         talk,
         QRect(0, 1004, 1280, 20),
         QRect(0, 0, 1280, 20),
         {}},
        {"right alone",
         sxga,
         BarEdge::Right,
         false,
         talk,
         QRect(1260, 0, 20, 1024),
         QRect(0, 0, 20, 1024),
         {}},
        {"shares truncated: the row ends short of the edge",
         QRect(0, 0, 1000, 768),
         BarEdge::Top,
         true,
         {60, 60, 60},
         QRect(0, 0, 1000, 40),
         QRect(0, 20, 1000, 20),
         {QRect(0, 0, 333, 20), QRect(333, 0, 333, 20), QRect(666, 0, 333, 20),
          QRect(999, 0, 0, 20)}},
        {"a plan without times leaves every bar empty",
         sxga,
         BarEdge::Top,
         true,
         {},
         QRect(0, 0, 1280, 40),
         QRect(0, 20, 1280, 20),
         {QRect(0, 0, 0, 20)}},
        {"the longest times do not overflow",
         sxga,
         BarEdge::Top,
         true,
         {5999999, 5999999, 5999999, 5999999, 5999999, 5999999, 5999999, 5999999},
         QRect(0, 0, 1280, 40),
         QRect(0, 20, 1280, 20),
         {QRect(0, 0, 160, 20), QRect(160, 0, 160, 20), QRect(320, 0, 160, 20),
          QRect(480, 0, 160, 20), QRect(640, 0, 160, 20), QRect(800, 0, 160, 20),
          QRect(960, 0, 160, 20), QRect(1120, 0, 160, 20)}},
        {"a primary screen beside another one",
         QRect(1920, 0, 1280, 1024),
         BarEdge::Bottom,
         false,
         talk,
         QRect(1920, 1004, 1280, 20),
         QRect(0, 0, 1280, 20),
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const BarLayout l = DockBars(c.screen, c.edge, 20, c.total, c.seconds);
        EXPECT_EQ(rectText(l.window), rectText(c.window));
        EXPECT_EQ(rectText(l.mainBar), rectText(c.mainBar));
        EXPECT_EQ(l.direction, IsVerticalEdge(c.edge) ? FillDirection::mdVerticalReverse
                                                      : FillDirection::mdHorizontal);
        for (int i = 0; i < StageCount && !c.stageBars.empty(); ++i) {
            const QRect& expected = c.stageBars[std::min<size_t>(i, c.stageBars.size() - 1)];
            EXPECT_EQ(rectText(l.stageBars[i]), rectText(expected)) << "F" << i + 1;
        }
    }
}

TEST(ProgressLayout, ThicknessAndTheWindowThatFollowsTheProgress) {
    const QRect screen(0, 0, 1280, 1024);
    struct Thickness {
        int height;
        BarEdge edge;
        int t;
    };
    for (const Thickness c : {Thickness{20, BarEdge::Top, 20}, Thickness{1, BarEdge::Top, 1},
                              Thickness{0, BarEdge::Top, 20}, Thickness{-5, BarEdge::Left, 20},
                              Thickness{40, BarEdge::Right, 40}, Thickness{600, BarEdge::Top, 512},
                              Thickness{700, BarEdge::Left, 640}})
        EXPECT_EQ(BarThickness(c.height, c.edge, screen), c.t) << c.height;

    struct Follow {
        const char* name;
        QRect docked;
        BarEdge edge;
        int percent;
        QRect window;
    };
    const Follow cases[] = {
        {"bottom, half", QRect(0, 1004, 1280, 20), BarEdge::Bottom, 50, QRect(0, 1004, 640, 20)},
        {"bottom, nothing yet", QRect(0, 1004, 1280, 20), BarEdge::Bottom, 0,
         QRect(0, 1004, 0, 20)},
        {"top, all", QRect(0, 0, 1280, 40), BarEdge::Top, 100, QRect(0, 0, 1280, 40)},
        {"left, a tenth, on the bottom", QRect(0, 0, 20, 1024), BarEdge::Left, 10,
         QRect(0, 922, 20, 102)},
        {"right, none", QRect(1240, 0, 40, 1024), BarEdge::Right, 0, QRect(1240, 1024, 40, 0)},
    };
    for (const Follow& c : cases)
        EXPECT_EQ(rectText(FollowingWindow(c.docked, c.edge, c.percent)), rectText(c.window))
            << c.name;
}

// ---- the mode in the real window ----

class ProgressModeTest : public AppFixture {
protected:
    ProgressMode& progress() { return mode<ProgressMode>(); }
    ProgressFillBar* bar() { return progress().ProgressFill; }
    ProgressFillBar* stage(int n) { return progress().StageBars[n - 1]; }
    std::vector<int> stagePositions() {
        std::vector<int> p;
        for (ProgressFillBar* b : progress().StageBars)
            p.push_back(b->position());
        return p;
    }
    void startWith(const QByteArray& text) {
        writeIni("[SYSTEM]\r\nStartMode=1\r\n" + text);
        start();
    }
    // Rewrites one key while the program runs, as the settings dialog would.
    void setKey(const char* section, const char* key, const QString& value) {
        frm->Settings().WriteString(QString::fromLatin1(section), QString::fromLatin1(key), value);
    }
    // The settings command, cancelled: the window re-reads the file as it is.
    void reapply() { settingsCancelled(); }
};

TEST_F(ProgressModeTest, SetUpDocksTheWindowAndDressesTheBars) {
    startWith(ini({"Total=1",
                   "left1=300",
                   "top1=300",
                   "[Progress]",
                   "Align=3",
                   "Height=20",
                   "OptionText=0",
                   "Caption=讲台",
                   "Caption_FName=DejaVu Sans",
                   "Caption_FSize=12",
                   "Caption_FColor=255",
                   "Color=65280",
                   "Style=1",
                   "Grident_Style=3",
                   "Grident_ColorCnt=7",
                   "Grident_Color=255",
                   "Grident_EndColor=16711680",
                   "Total_Color=65535",
                   "[Group]",
                   "Name1=开场",
                   "Time1=05:00",
                   "Color1=16711680",
                   "Name2=演讲",
                   "Time2=10:00",
                   "Time3=05:00"}));
    EXPECT_EQ(rectText(frm->geometry()), rectText(QRect(1240, 0, 40, 1024))); // no saved place
    ProgressFillBar* b = bar();
    EXPECT_TRUE(b->isVisible());
    EXPECT_EQ(rectText(b->geometry()), rectText(QRect(20, 0, 20, 1024)));
    EXPECT_EQ(b->direction(), FillDirection::mdVerticalReverse);
    EXPECT_EQ(b->bevel(), BevelStyle::bvNone);
    EXPECT_EQ(b->textOption(), TextOption::toCaption);
    EXPECT_EQ(b->text(), QStringLiteral("讲台"));
    EXPECT_EQ(b->font().family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(b->font().pointSize(), 12);
    EXPECT_EQ(b->fontColor(), QColor(255, 0, 0));
    EXPECT_EQ(b->color(), QColor(0, 255, 0));
    EXPECT_EQ(b->fillStyle(), FillStyle::sfGradient);
    EXPECT_EQ(b->gradient().style(), GradientStyle::gstHorizontal);
    EXPECT_EQ(b->gradient().colorCount(), 7);
    EXPECT_EQ(b->gradient().startColor(), qRgb(255, 0, 0));
    EXPECT_EQ(b->gradient().endColor(), qRgb(0, 0, 255));
    EXPECT_EQ(b->position(), 0);

    EXPECT_EQ(rectText(stage(1)->geometry()), rectText(QRect(0, 768, 20, 256)));
    EXPECT_EQ(rectText(stage(2)->geometry()), rectText(QRect(0, 256, 20, 512)));
    for (int n = 1; n <= StageCount; ++n) {
        SCOPED_TRACE(n);
        ProgressFillBar* f = stage(n);
        EXPECT_EQ(f->objectName(), QStringLiteral("F%1").arg(n));
        EXPECT_EQ(f->tag(), n);
        EXPECT_TRUE(f->isVisible());
        EXPECT_EQ(f->direction(), FillDirection::mdVerticalReverse);
        EXPECT_EQ(f->textOption(), TextOption::toCaption);
        EXPECT_EQ(f->fillStyle(), FillStyle::sfGradient);
        EXPECT_EQ(f->gradient().startColor(), qRgb(255, 255, 0));
        EXPECT_EQ(f->gradient().endColor(), qRgb(255, 255, 0));
        EXPECT_EQ(f->font(), b->font());
        EXPECT_EQ(f->toolTip(), QString()); // shows the window's
    }
    EXPECT_EQ(stage(1)->caption(), QStringLiteral("开场"));
    EXPECT_EQ(stage(1)->color(), QColor(0, 0, 255));
    EXPECT_EQ(stage(3)->caption(), QString());
    EXPECT_EQ(stage(3)->color(), QColor(0xA6, 0xCA, 0xF0));

    const PreviewSurfaces s = frm->Surfaces();
    EXPECT_EQ(s.mainBar, b);
    EXPECT_EQ(s.stageBars, progress().StageBars);
    EXPECT_EQ(s.clockLabel, nullptr);
    EXPECT_TRUE(frm->findChildren<AntiAliasedLabel*>().isEmpty()); // no clock is made
}

TEST_F(ProgressModeTest, DefaultsAndValuesOutsideTheLists) {
    // Without any [Progress] key, and with each key out of its range: the same bar.
    startWith("");
    const FillBarLook defaults = bar()->look();
    const QRect docked = frm->geometry();
    EXPECT_EQ(rectText(docked), rectText(QRect(0, 0, 1280, 20)));
    EXPECT_EQ(defaults.textOption, TextOption::toPercent);
    EXPECT_EQ(defaults.fill.style, FillStyle::sfGradient);
    EXPECT_EQ(defaults.fill.gradient.style(), GradientStyle::gstBottomLeft); // index 0
    EXPECT_EQ(defaults.fill.gradient.colorCount(), 20);
    EXPECT_EQ(defaults.fill.gradient.startColor(), qRgb(255, 255, 255));
    EXPECT_EQ(defaults.fill.gradient.endColor(), qRgb(0, 0, 255));
    EXPECT_EQ(defaults.color, qRgb(0xA6, 0xCA, 0xF0));
    EXPECT_EQ(bar()->font().pointSize(), 8);
    EXPECT_FALSE(stage(1)->isVisible());

    frm.reset();
    startWith(ini({"[Progress]", "Align=7", "Height=-3", "OptionText=9", "BitmapTile=4",
                   "Grident_Style=10", "Caption_FSize=0", "Style=1"}));
    EXPECT_EQ(rectText(frm->geometry()), rectText(docked));
    EXPECT_EQ(bar()->look().textOption, defaults.textOption);
    EXPECT_EQ(bar()->look().fill.tileMode, defaults.fill.tileMode);
    EXPECT_EQ(bar()->look().fill.gradient, defaults.fill.gradient);
    EXPECT_EQ(bar()->font().pointSize(), 8);

    // A style outside the list keeps the window definition's cross-hatch brush.
    frm.reset();
    startWith(ini({"[Progress]", "Style=5"}));
    EXPECT_EQ(bar()->fillStyle(), FillStyle::sfBrush);
    EXPECT_EQ(bar()->fillObject().brush.style, Qt::CrossPattern);

    // After the settings, an edge outside the list keeps the edge the bar has.
    frm.reset();
    startWith(ini({"[Progress]", "Align=2"}));
    EXPECT_EQ(rectText(frm->geometry()), rectText(QRect(0, 0, 20, 1024)));
    setKey("Progress", "Align", QStringLiteral("9"));
    setKey("Progress", "Height", QStringLiteral("30"));
    reapply();
    EXPECT_EQ(rectText(frm->geometry()), rectText(QRect(0, 0, 30, 1024)));
}

TEST_F(ProgressModeTest, EachSecondMovesTheBarsAndTheHint) {
    startWith(ini({"Total=1", "Sound_Alarm=a.wav", "[Group]", "Name1=Talk", "Time1=05:00",
                   "Alarm1=00:02", "Name2=Q&A", "Time2=01:00"}));
    click(menu().N_start);
    EXPECT_TRUE(running());
    EXPECT_EQ(progress().Timer_progress.Interval(), 1000);
    seconds(2); // 2 of 300 s
    EXPECT_EQ(bar()->position(), 0);
    EXPECT_EQ(sound.played, QStringList{"a.wav"});
    seconds(1); // 3 of 300 s
    EXPECT_EQ(bar()->position(), 1);
    EXPECT_EQ(stagePositions(), (std::vector<int>{1, 0, 0, 0, 0, 0, 0, 0}));
    const QString hint = QStringLiteral("Talk\r\nStandard Time: 5:00\r\nAlarm Time: 0:02\r\n"
                                        "Elapse: 0:03  Percent: 1% \r\nRemain: 4:57  Percent:99% ");
    EXPECT_EQ(frm->toolTip(), hint);
    EXPECT_EQ(bar()->toolTip(), hint);
    EXPECT_EQ(stage(1)->toolTip(), QString());

    // The stage's name is read again with every second.
    setKey("Group", "Name1", QStringLiteral("Keynote"));
    seconds(147);
    EXPECT_EQ(bar()->position(), 50);
    EXPECT_TRUE(frm->toolTip().startsWith(QStringLiteral("Keynote\r\n")));
    EXPECT_TRUE(frm->toolTip().endsWith(QStringLiteral("Remain: 2:30  Percent:50% ")));
    EXPECT_EQ(sound.played, QStringList{"a.wav"});
    EXPECT_EQ(rectText(frm->geometry()), rectText(QRect(0, 0, 1280, 40))); // Full by default
}

TEST_F(ProgressModeTest, WithoutFullTheWindowGrowsWithTheProgress) {
    // Along the bottom edge the window grows from the left.
    startWith(ini({"[Progress]", "Full=0", "Align=1", "[Group]", "Time1=05:00"}));
    EXPECT_EQ(rectText(frm->geometry()), rectText(QRect(0, 1004, 1280, 20)));
    click(menu().N_start);
    seconds(1);
    EXPECT_EQ(frm->width(), 0);
    seconds(149);
    EXPECT_EQ(rectText(frm->geometry()), rectText(QRect(0, 1004, 640, 20)));
    EXPECT_EQ(bar()->geometry().topLeft(), QPoint(0, 0));

    // Along the left edge it stands on the bottom of the screen and grows upwards; the bar
    // keeps its place on the screen, so what shows is its filled part.
    frm.reset();
    startWith(ini({"[Progress]", "Full=0", "Align=2", "OptionText=1", "Grident_Color=255",
                   "Grident_EndColor=255", "Color=65280", "[Group]", "Time1=05:00"}));
    click(menu().N_start);
    seconds(30);
    EXPECT_EQ(rectText(frm->geometry()), rectText(QRect(0, 922, 20, 102)));
    EXPECT_EQ(bar()->mapToGlobal(QPoint(0, 0)), QPoint(0, 0));
    ASSERT_TRUE(Eventually([this] {
        const QImage seen = QGuiApplication::primaryScreen()
                                ->grabWindow(0, 0, 922, 20, 102)
                                .toImage()
                                .convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < seen.height(); ++y)
            for (int x = 0; x < seen.width(); ++x)
                if (seen.pixel(x, y) != qRgb(255, 0, 0)) return false;
        return true;
    }));

    // The settings bring the whole length back.
    click(menu().N_stop);
    reapply();
    EXPECT_EQ(rectText(frm->geometry()), rectText(QRect(0, 0, 20, 1024)));
    EXPECT_EQ(bar()->geometry().topLeft(), QPoint(0, 0));
}

TEST_F(ProgressModeTest, StageNameAsTheBarsText) {
    startWith(ini({"[Progress]", "OptionText=3", "Caption=讲台", "[Group]", "Name1=开场",
                   "Time1=01:00", "Name2=演讲", "Time2=02:00"}));
    EXPECT_EQ(bar()->textOption(), TextOption::toCaption);
    EXPECT_EQ(bar()->text(), QStringLiteral("开场"));
    click(menu().n_next);
    EXPECT_EQ(bar()->text(), QStringLiteral("演讲"));
    // After the settings stage 1 is current, and the bar shows its name, not the caption.
    reapply();
    EXPECT_EQ(state().StageNo, QStringLiteral("1"));
    EXPECT_EQ(bar()->text(), QStringLiteral("开场"));

    setKey("Progress", "OptionText", QStringLiteral("0"));
    reapply();
    EXPECT_EQ(bar()->text(), QStringLiteral("讲台"));
    click(menu().n_next);
    EXPECT_EQ(bar()->text(), QStringLiteral("讲台"));
}

TEST_F(ProgressModeTest, AutoNextWalksTheNamedStagesWithoutEnd) {
    startWith(
        ini({"AutoNext=1", "Total=1", "Sound_Start=s.wav", "Sound_Over=o.wav", "[Group]", "Name1=A",
             "Time1=00:02", "Name2=B", "Time2=00:03", "Name3=C", "Time3=00:02", "Time4=00:09"}));
    click(menu().N_start);
    QStringList stages;
    for (int second : {2, 3, 2}) {
        seconds(second);
        stages << state().StageNo;
        EXPECT_TRUE(running());
        EXPECT_EQ(bar()->position(), 0);
    }
    EXPECT_EQ(stages, QStringList({"2", "3", "1"}));
    // The over cue of each stage, then the start cue of the next.
    EXPECT_EQ(sound.played,
              QStringList({"s.wav", "o.wav", "s.wav", "o.wav", "s.wav", "o.wav", "s.wav"}));
    EXPECT_EQ(state().TotalSec, 2);
    // Stage 1 again: the bars of the stages before it are empty.
    EXPECT_EQ(stagePositions(), (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0}));
    seconds(1);
    EXPECT_EQ(stagePositions(), (std::vector<int>{50, 0, 0, 0, 0, 0, 0, 0}));
    click(menu().N_stop);
    EXPECT_FALSE(running());
}

TEST_F(ProgressModeTest, AtTheEndOfTheStage) {
    struct Case {
        const char* name;
        const char* option;
        bool running;
        int position;
        QStringList played;
    };
    const Case cases[] = {
        {"stop", "Recycle=0", false, 100, {"s.wav", "o.wav"}},
        {"start again without a start cue", "Recycle=1", true, 0, {"s.wav", "o.wav"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        frm.reset();
        sound.played.clear();
        startWith(ini({"Total=1", "Sound_Start=s.wav", "Sound_Over=o.wav", "[Progress]", c.option,
                       "[Group]", "Name1=A", "Time1=00:03", "Name2=B", "Time2=00:03"}));
        click(menu().N_start);
        seconds(3);
        EXPECT_EQ(running(), c.running);
        EXPECT_EQ(sound.played, c.played);
        EXPECT_EQ(bar()->position(), c.position);
        EXPECT_EQ(stage(1)->position(), 100); // follows the main bar from the next second
        EXPECT_EQ(state().StageNo, QStringLiteral("1"));
        // The menu of a run, or of a stopped one.
        EXPECT_EQ(menu().N_start->isEnabled(), !c.running);
        EXPECT_EQ(menu().N_pause->isEnabled(), c.running);
        EXPECT_EQ(menu().N_stop->isEnabled(), c.running);
        EXPECT_EQ(menu().N_set->isEnabled(), !c.running);
        EXPECT_EQ(menu().n_next->isEnabled(), !c.running);
        if (!c.running) continue;
        seconds(1);
        EXPECT_EQ(bar()->position(), 33);
        EXPECT_EQ(stage(1)->position(), 33);
        seconds(2);
        EXPECT_TRUE(running());
        EXPECT_EQ(sound.played, QStringList({"s.wav", "o.wav", "o.wav"}));
    }
}

TEST_F(ProgressModeTest, PauseHoldsTheBarsAndAStartBeginsAgain) {
    startWith(ini({"Sound_Start=s.wav", "[Group]", "Time1=00:10"}));
    click(menu().N_start);
    seconds(4);
    click(menu().N_pause);
    EXPECT_FALSE(running());
    EXPECT_EQ(menu().N_pause->text(), QStringLiteral("继续"));
    EXPECT_EQ(frm->windowTitle(), QStringLiteral("暂停"));
    EXPECT_FALSE(menu().N_start->isEnabled());
    EXPECT_EQ(bar()->position(), 40);

    click(menu().N_pause);
    EXPECT_TRUE(running());
    EXPECT_EQ(frm->windowTitle(), QString());
    EXPECT_TRUE(menu().N_start->isEnabled());
    seconds(1);
    EXPECT_EQ(bar()->position(), 50);
    EXPECT_EQ(sound.played, QStringList{"s.wav"}); // continuing plays no start cue

    click(menu().N_start); // from zero, with its cue
    EXPECT_EQ(bar()->position(), 0);
    EXPECT_EQ(state().ElapsedSec, 0);
    EXPECT_EQ(sound.played, QStringList({"s.wav", "s.wav"}));
    seconds(1);
    EXPECT_EQ(bar()->position(), 10);

    // A pause, then a stop: the caption stays until the next start clears it.
    click(menu().N_pause);
    click(menu().N_stop);
    EXPECT_EQ(frm->windowTitle(), QStringLiteral("暂停"));
    EXPECT_EQ(menu().N_pause->text(), QStringLiteral("暂停"));
    EXPECT_EQ(bar()->position(), 10); // the bars keep what they showed
    click(menu().N_start);
    EXPECT_EQ(frm->windowTitle(), QString());
    EXPECT_TRUE(running());
}

TEST_F(ProgressModeTest, ChangingTheStageMarksThePlanRow) {
    startWith(ini({"Total=1", "[Group]", "Name1=A", "Time1=01:00", "Name2=B", "Time2=01:00",
                   "Name3=C", "Time3=01:00", "Name4=D", "Time4=01:00"}));
    click(menu().StageItems[3]); // stage 4
    EXPECT_EQ(stagePositions(), (std::vector<int>{100, 100, 100, 0, 0, 0, 0, 0}));
    EXPECT_EQ(bar()->position(), 0);
    click(menu().N_pri);
    EXPECT_EQ(stagePositions(), (std::vector<int>{100, 100, 0, 0, 0, 0, 0, 0}));
    click(menu().N_start);
    seconds(30);
    EXPECT_EQ(stagePositions(), (std::vector<int>{100, 100, 50, 0, 0, 0, 0, 0}));
    click(menu().N_stop);
    click(menu().n_next);
    EXPECT_EQ(stagePositions(), (std::vector<int>{100, 100, 100, 0, 0, 0, 0, 0}));

    // Without the plan row the bars are left alone.
    frm.reset();
    startWith(ini({"[Group]", "Name1=A", "Time1=00:10", "Name2=B", "Time2=01:00"}));
    click(menu().N_start);
    seconds(5);
    click(menu().N_stop);
    click(menu().n_next);
    EXPECT_EQ(bar()->position(), 50);
}

TEST_F(ProgressModeTest, StageWithoutTimeSaysSoOnceASecondAndNeverEnds) {
    startWith(ini({"[Group]", "Name1=Zero", "Time1=00:00"}));
    int boxes = 0, mostOpen = 0;
    QStringList texts;
    QTimer catcher;
    catcher.setInterval(20);
    QObject::connect(&catcher, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        ++boxes;
        texts << box->text();
        // The engine ticks on while the box is open: those ticks are dropped.
        tick();
        tick();
        int open = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QMessageBox*>(w) && w->isVisible()) ++open;
        mostOpen = std::max(mostOpen, open);
        box->accept();
    });
    catcher.start();
    click(menu().N_start);
    for (int i = 0; i < 3; ++i)
        tick();
    catcher.stop();
    EXPECT_EQ(boxes, 3);
    EXPECT_EQ(mostOpen, 1);
    EXPECT_EQ(texts, QStringList(3, QStringLiteral("div by 0!")));
    EXPECT_EQ(state().ElapsedSec, 3);
    EXPECT_TRUE(running());
    EXPECT_EQ(bar()->position(), 0);
    click(menu().N_stop);
    EXPECT_FALSE(running());
}

TEST_F(ProgressModeTest, TheDockedWindowIsNotDragged) {
    startWith(ini({"Total=1", "[Progress]", "Align=1", "[Group]", "Time1=00:10"}));
    ASSERT_TRUE(Eventually([this] { return frm->isVisible(); }));
    const QRect docked = frm->geometry();
    struct Case {
        QWidget* target;
        Qt::MouseButton button;
    };
    for (const Case c : {Case{bar(), Qt::LeftButton}, Case{bar(), Qt::MiddleButton},
                         Case{stage(1), Qt::LeftButton}, Case{frm.get(), Qt::LeftButton}}) {
        const QPoint at(5, 5);
        QTest::mousePress(c.target, c.button, {}, at);
        QTest::mouseMove(c.target, at + QPoint(30, -20));
        QTest::mouseRelease(c.target, c.button, {}, at + QPoint(30, -20));
        EXPECT_EQ(rectText(frm->geometry()), rectText(docked))
            << c.target->objectName().toStdString();
    }
}

TEST_F(ProgressModeTest, TheBitmapComesFromAFileThatExists) {
    const QString good = dir.filePath(QStringLiteral("fill.bmp"));
    QImage picture(6, 4, QImage::Format_RGB32);
    picture.fill(qRgb(10, 20, 30));
    ASSERT_TRUE(picture.save(good, "BMP"));
    QFile broken(dir.filePath(QStringLiteral("broken.bmp")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray(300, '\x5a'));
    broken.close();

    startWith(ini({"[Progress]", "Style=0", "Bitmap=missing.bmp"}));
    const QImage builtIn = bar()->fillObject().bitmap;
    EXPECT_EQ(builtIn.size(), QSize(16, 16));
    EXPECT_EQ(bar()->fillStyle(), FillStyle::sfBitmap);

    MessageBoxCatcher catcher;
    setKey("Progress", "Bitmap", QStringLiteral("fill.bmp")); // beside js.ini
    reapply();
    EXPECT_EQ(bar()->fillObject().bitmap, picture);
    setKey("Progress", "Bitmap", QStringLiteral("missing.bmp"));
    reapply();
    EXPECT_EQ(bar()->fillObject().bitmap, picture); // the previous one stays
    EXPECT_EQ(catcher.seen, 0);

    setKey("Progress", "Bitmap", broken.fileName());
    reapply();
    EXPECT_EQ(bar()->fillObject().bitmap, picture);
    EXPECT_EQ(catcher.seen, 1);
    EXPECT_EQ(catcher.title, QStringLiteral("提示"));
    EXPECT_TRUE(catcher.text.contains(broken.fileName())) << catcher.text.toStdString();
    reapply(); // the same file again: said once is enough
    EXPECT_EQ(catcher.seen, 1);
}

// What the X server shows: the colours of the bars, and the hint under the mouse.
TEST_F(ProgressModeTest, OnTheScreen) {
    startWith(ini({"Total=1", "[Progress]", "Align=1", "OptionText=1", "Grident_Style=3",
                   "Grident_ColorCnt=20", "Color=255", "Total_Color=8388736", "[Group]",
                   "Time1=00:10", "Color1=65280", "Time2=00:10", "Color2=16776960"}));
    click(menu().N_start);
    seconds(5);
    const auto grab = [] {
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, 0, 984, 1280, 40)
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    struct Spot {
        const char* what;
        int x, y;
        QRgb colour;
    };
    const Spot spots[] = {
        {"main bar, first of 20 stripes: the start colour", 0, 30, qRgb(255, 255, 255)},
        {"main bar, first stripe's end", 31, 30, qRgb(255, 255, 255)},
        {"main bar, last stripe: the end colour", 639, 30, qRgb(0, 0, 255)},
        {"main bar, unfilled", 640, 30, qRgb(255, 0, 0)},
        {"F1, filled", 319, 10, qRgb(0x80, 0, 0x80)},
        {"F1, unfilled", 320, 10, qRgb(0, 255, 0)},
        {"F2, unfilled", 1279, 10, qRgb(0, 255, 255)},
    };
    QImage seen;
    const bool all = Eventually([&] {
        seen = grab();
        for (const Spot& s : spots)
            if (seen.pixel(s.x, s.y) != s.colour) return false;
        return true;
    });
    for (const Spot& s : spots)
        EXPECT_EQ(seen.pixel(s.x, s.y), s.colour) << s.what;
    ASSERT_TRUE(all);
    // The 20 stripes of 32 pixels each.
    for (int x = 0; x < 640; ++x)
        EXPECT_EQ(seen.pixel(x, 30), seen.pixel(x / 32 * 32, 30)) << x;

    // The mouse resting on the plan row shows the window's hint; it follows the run.
    QCursor::setPos(frm->mapToGlobal(QPoint(400, 10)));
    ASSERT_TRUE(
        Eventually([this] { return QToolTip::isVisible() && QToolTip::text() == frm->toolTip(); }));
    EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("Elapse: 0:05")));
    seconds(1);
    EXPECT_TRUE(Eventually([] {
        return QToolTip::text().contains(QStringLiteral("Elapse: 0:06"));
    })) << QToolTip::text().toStdString();
    QToolTip::hideText();
    QCursor::setPos(0, 0);
}

} // namespace
