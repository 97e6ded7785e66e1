// The small texts of js.ini: a time, a shortcut, a font style and an integer each read
// from any text, and what is written of them reads back the same.
#include "fontstyle.h"
#include "settingsfile.h"
#include "shortcuttext.h"
#include "timetext.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
[[noreturn]] void fail(const char* what, const QString& text) {
    std::fprintf(stderr, "texts_fuzz: %s: '%s'\n", what, text.toUtf8().constData());
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // A time as the settings dialog stores it: two-digit minutes, ":", two-digit seconds.
    const TimeText t = ParseTimeText(text);
    if (t.minutes < 0 || t.minutes > MaxClockMinutes || t.seconds < 0 || t.seconds > 99)
        fail("time part out of range", text);
    (void)t.totalSeconds();
    if (t.present) {
        const QString stored = PadLeft(QString::number(t.minutes), QStringLiteral("0"), 2) +
                               QLatin1Char(':') +
                               PadLeft(QString::number(t.seconds), QStringLiteral("0"), 2);
        const TimeText back = ParseTimeText(stored);
        if (!back.present || back.minutes != t.minutes || back.seconds != t.seconds)
            fail("time does not read back", stored);
        (void)ClockText(t.minutes, QStringLiteral(":"), t.seconds);
        (void)LabelTimeText(t.minutes, t.seconds);
    }

    // A shortcut read from the text, and one made of the first two bytes.
    const quint16 read = TextToShortCut(text);
    if (read != 0 && TextToShortCut(ShortCutToText(read)) != read)
        fail("shortcut does not read back", ShortCutToText(read));
    if (size >= 2) {
        quint16 made = 0;
        std::memcpy(&made, data, 2);
        const QString written = ShortCutToText(made);
        if (!written.isEmpty() && ShortCutToText(TextToShortCut(written)) != written)
            fail("shortcut text does not read back", written);
    }

    // Font styles.
    const int styles = TextToFontStyle(text);
    if (TextToFontStyle(FontStyleToText(styles)) != styles) fail("font style", text);
    if (size >= 1 && TextToFontStyle(FontStyleToText(data[0] & 15)) != (data[0] & 15))
        fail("font style flags", FontStyleToText(data[0] & 15));

    // Integers: any text parses without overflow, and a written number reads back.
    (void)ParseSettingsInteger(text, 7);
    if (size >= 4) {
        qint32 n = 0;
        std::memcpy(&n, data, 4);
        if (ParseSettingsInteger(QString::number(n), 7) != n)
            fail("integer does not read back", QString::number(n));
    }
    return 0;
}
