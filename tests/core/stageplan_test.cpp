#include "settingsfile.h"
#include "stageplan.h"
#include "timetext.h"
#include "wallclock.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TimeCase {
    const char* text;
    bool present;
    int seconds;
};

TEST(TimeText, ReadingRule) {
    const TimeCase cases[] = {
        {"05:30", true, 330},
        {"5:3", true, 303},
        {"05:305", true, 330},
        {"01:75", true, 135},
        {"00:00", true, 0},
        {"  :  ", false, 0},
        {"", false, 0},
        {":", false, 0},
        {"120:00", true, 7200},
        {"ab:cd", true, 0},
        {"05:xx", true, 300},
        {"5", true, 300},
        {" 05:30 ", true, 330},
        {"05:", true, 300},
        {":30", true, 30},
        // Negative parts would count below 0:00 for ever; huge minutes overflowed.
        {"-5:-5", true, 0},
        {"00:-5", true, 0},
        {"-5:30", true, 30},
        {"+5:07", true, 307},
        {"99999:99", true, MaxClockMinutes * 60 + 99},
        {"99999999:00", true, MaxClockMinutes * 60},
        {"99999999999999999999:59", true, MaxClockMinutes * 60 + 59},
        {"$1F:0x1F", true, 0},
    };
    for (const TimeCase& c : cases) {
        const TimeText t = ParseTimeText(QString::fromLatin1(c.text));
        EXPECT_EQ(t.present, c.present) << c.text;
        EXPECT_EQ(t.totalSeconds(), c.seconds) << c.text;
    }
}

TEST(TimeText, PadLeftAndTheTwoWrittenForms) {
    EXPECT_EQ(PadLeft("7", "0", 2), "07");
    EXPECT_EQ(PadLeft("123", "0", 2), "123");
    EXPECT_EQ(PadLeft(" 7 ", " ", 2), " 7");
    EXPECT_EQ(PadLeft("7", "", 2), "7");
    EXPECT_EQ(PadLeft("-1", "0", 2), "-1");
    EXPECT_EQ(PadLeft("7", "ab", 3), "abab7");
    EXPECT_EQ(PadLeft("7", "0", 0), "7");
    EXPECT_EQ(ClockText(5, ":", 7), "5:07");
    EXPECT_EQ(ClockText(12, " ", 30), "12 30");
    EXPECT_EQ(LabelTimeText(5, 7), " 5:07");
    EXPECT_EQ(LabelTimeText(12, 30), "12:30");
}

class StagePlanTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    SettingsFile file{dir.filePath(QStringLiteral("js.ini"))};
    void names(const QStringList& list) {
        for (int n = 1; n <= list.size(); ++n)
            file.WriteString("Group", "Name" + QString::number(n), list[n - 1]);
    }
};

TEST_F(StagePlanTest, WalkSkipsToStageOneAtAGap) {
    names({"A", "  ", "C"});
    EXPECT_EQ(NextStageNo(file, "1"), "1"); // stage 2 is unnamed
    EXPECT_EQ(NextStageNo(file, "3"), "1"); // stage 4 is missing
    EXPECT_EQ(PreviousStageNo(file, "3"), "1");
    EXPECT_EQ(PreviousStageNo(file, "1"), "1");
    EXPECT_TRUE(StageMenuVisible(StageMenuCaption(file, 3), 3));
    EXPECT_FALSE(StageMenuVisible(StageMenuCaption(file, 2), 2));
}

TEST_F(StagePlanTest, WalkThroughAllEightAndBack) {
    names({"1", "2", "3", "4", "5", "6", "7", "8"});
    QString s = "1";
    QStringList seen;
    for (int i = 0; i < 9; ++i)
        seen << (s = NextStageNo(file, s));
    EXPECT_EQ(seen, QStringList({"2", "3", "4", "5", "6", "7", "8", "1", "2"}));
    EXPECT_EQ(PreviousStageNo(file, "8"), "7");
}

TEST_F(StagePlanTest, EmptyPlanStaysOnStageOne) {
    EXPECT_EQ(NextStageNo(file, "1"), "1");
    EXPECT_EQ(StageMenuCaption(file, 1), "1 ");
    EXPECT_TRUE(StageMenuVisible("1 ", 1));
    EXPECT_EQ(ReadStageSeconds(file, "1"), 0);
}

TEST_F(StagePlanTest, SecondsAndPlanTotal) {
    file.WriteString("Group", "Time1", "05:30");
    file.WriteString("Group", "Time2", "  :  ");
    file.WriteString("Group", "Time5", "01:75");
    EXPECT_EQ(ReadStageSeconds(file, "1"), 330);
    EXPECT_EQ(ReadStageSeconds(file, "2"), 0);
    EXPECT_EQ(PlanTotalSeconds(file), 330 + 135);

    for (int n = 1; n <= StageCount; ++n)
        file.WriteString("Group", "Time" + QString::number(n), "2147483647:99");
    EXPECT_EQ(ReadStageSeconds(file, "8"), MaxClockMinutes * 60 + 99);
    EXPECT_EQ(PlanTotalSeconds(file), StageCount * (MaxClockMinutes * 60 + 99));
    EXPECT_EQ((TimeText{true, 2147483647, 59}.totalSeconds()), 2147483647);
}

TEST(SecondDetector, CountsAtMostOneSecondPerTick) {
    ManualWallClock clock(QDateTime(QDate(2026, 1, 1), QTime(9, 0, 0, 100)));
    QDateTime last = clock.now();
    clock.advanceMs(500);
    EXPECT_FALSE(IsNewSecond(clock, last));
    clock.advanceMs(500); // 9:00:01.100
    EXPECT_TRUE(IsNewSecond(clock, last));
    EXPECT_EQ(last, clock.now());
    clock.advanceMs(2500); // a tick 2.5 s late counts one second
    EXPECT_TRUE(IsNewSecond(clock, last));
    EXPECT_FALSE(IsNewSecond(clock, last));
    clock.advanceMs(-3000); // the clock set back: still one second
    EXPECT_TRUE(IsNewSecond(clock, last));
    EXPECT_FALSE(IsNewSecond(clock, last));
}

} // namespace
