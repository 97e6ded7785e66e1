#include "timelabels.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

const CaptionLabels Defaults{
    "Elapse:", "Remain:", "OverTime:", "Standard Time:", "Alarm Time:", "Percent:"};

struct TextCase {
    const char* what;
    QString got;
    const char* expected;
};

void expectAll(std::initializer_list<TextCase> cases) {
    for (const TextCase& c : cases)
        EXPECT_EQ(c.got.toStdString(), c.expected) << c.what;
}

TEST(TimeLabels, SecondsInTheLabelForm) {
    constexpr qint64 most = std::numeric_limits<qint64>::max();
    constexpr qint64 least = std::numeric_limits<qint64>::min();
    expectAll({
        {"nothing", SecondsLabelText(0), " 0:00"},
        {"seconds only", SecondsLabelText(5), " 0:05"},
        {"a minute and more", SecondsLabelText(65), " 1:05"},
        {"two-digit minutes take no blank", SecondsLabelText(754), "12:34"},
        {"three-digit minutes are not cut", SecondsLabelText(6000), "100:00"},
        {"a negative count has its sign", SecondsLabelText(-65), "-1:05"},
        {"a negative count under a minute", SecondsLabelText(-5), "-0:05"},
        {"the largest count", SecondsLabelText(most), "153722867280912930:07"},
        {"the smallest count", SecondsLabelText(least), "-153722867280912930:08"},
    });
}

TEST(TimeLabels, PromptLines) {
    expectAll({
        {"ready, 5:00", PromptReadyText(Defaults, 5, 0), "Elapse: 0:00\r\nRemain: 5:00"},
        {"ready, 12:07", PromptReadyText(Defaults, 12, 7), "Elapse: 0:00\r\nRemain:12:07"},
        {"65 s of 5:00", PromptText(Defaults, 65, 300), "Elapse: 1:05\r\nRemain: 3:55"},
        {"one second left", PromptText(Defaults, 299, 300), "Elapse: 4:59\r\nRemain: 0:01"},
        {"the end itself", PromptText(Defaults, 300, 300), "Elapse: 5:00\r\nOverTime: 0:00"},
        {"125 s of overtime", PromptText(Defaults, 425, 300), "Elapse: 7:05\r\nOverTime: 2:05"},
        {"a stage far past its end", PromptText(Defaults, 4000000000LL, 60),
         "Elapse:66666666:40\r\nOverTime:66666665:40"},
    });
}

TEST(TimeLabels, HintsOfThePicturesAndTheBars) {
    const CaptionLabels own{"已用:", "剩余:", "超时:", "标准:", "报警:", "比例:"};
    expectAll({
        {"GIF, 65 s of 5:00", GifHintText(Defaults, 5, 0, 4, 0, 65, 300),
         "Standard Time: 5:00\r\nAlarm Time: 4:00\r\nElapse: 1:05\r\nRemain: 3:55"},
        {"GIF, own captions", GifHintText(own, 10, 30, 9, 5, 0, 630),
         "标准:10:30\r\n报警: 9:05\r\n已用: 0:00\r\n剩余:10:30"},
        {"bars, 3 s of 5:00 at 1 %", ProgressHintText(Defaults, "Talk", 5, 0, 1, 0, 3, 300, 1),
         "Talk\r\nStandard Time: 5:00\r\nAlarm Time: 1:00\r\n"
         "Elapse: 0:03  Percent: 1% \r\nRemain: 4:57  Percent:99% "},
        {"bars, at the end", ProgressHintText(Defaults, "", 0, 30, 0, 0, 30, 30, 100),
         "\r\nStandard Time: 0:30\r\nAlarm Time: 0:00\r\n"
         "Elapse: 0:30  Percent:100% \r\nRemain: 0:00  Percent: 0% "},
    });
}

} // namespace
