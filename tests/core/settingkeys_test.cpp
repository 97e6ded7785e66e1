#include "fontstyle.h"
#include "settingkeys.h"
#include "settingsfile.h"
#include "shortcuttext.h"

#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(SettingKeys, TableHasOneEntryPerKeyAndUsableDefaults) {
    QSet<QString> seen;
    for (const SettingKey* k : AllSettingKeys()) {
        const QString id = (k->sectionName() + QLatin1Char('/') + k->keyName(1)).toLower();
        EXPECT_FALSE(seen.contains(id)) << id.toStdString();
        seen.insert(id);
        const bool numeric = k->kind == SettingKind::Integer || k->kind == SettingKind::Colour ||
                             k->kind == SettingKind::Boolean;
        if (numeric && !k->defaultText().isEmpty())
            EXPECT_EQ(ParseSettingsInteger(k->defaultText(), -12345) == -12345, false)
                << id.toStdString();
    }
}

TEST(SettingKeys, ReadersUseTheTableDefaultsAndAnyLetterCase) {
    QTemporaryDir dir;
    SettingsFile f(dir.filePath(QStringLiteral("js.ini")));
    EXPECT_EQ(ReadInt(f, Key::BKCOLOR), 15780518);
    EXPECT_TRUE(ReadFlag(f, Key::AutoStop));
    EXPECT_EQ(ReadText(f, Key::FontName), QStringLiteral("宋体"));
    EXPECT_EQ(ReadText(f, Key::HotkeyStop), QStringLiteral("F12"));
    EXPECT_EQ(ReadText(f, Key::StageTime, 3), QStringLiteral(":"));
    EXPECT_EQ(ReadInt(f, Key::Left, 0, 512), 512);

    f.WriteString(QStringLiteral("system"), QStringLiteral("left0"), QStringLiteral("-5"));
    WriteInt(f, Key::Top, 100, 0);
    EXPECT_EQ(ReadInt(f, Key::Left, 0, 512), -5);
    EXPECT_EQ(f.ReadString(QStringLiteral("SYSTEM"), QStringLiteral("TOP0"), {}), "100");
    EXPECT_EQ(ReadInt(f, Key::Top, 2, 7), 7); // each display mode has its own position
}

struct ShortcutCase {
    const char* text;
    quint16 value;
    const char* written;
};

TEST(ShortcutText, ReadingAndWriting) {
    using namespace Shortcut;
    const ShortcutCase cases[] = {
        {"F12", 0x7B, "F12"},
        {"alt+shift+f5", Shift | Alt | 0x74, "Shift+Alt+F5"},
        {"^S", Ctrl | 'S', "Ctrl+S"},
        {"Ctrl+Shift+PgDn", Shift | Ctrl | 0x22, "Shift+Ctrl+PgDn"},
        {"Alt+R", 0x8052, "Alt+R"},
        {"5", '5', "5"},
        {"space", 0x20, "Space"},
        {"F24", 0x87, "F24"},
        {"Ctrl+", 0, ""},
        {"", 0, ""},
        {"F25", 0, ""},
        {"Hyper+A", 0, ""},
    };
    for (const ShortcutCase& c : cases) {
        EXPECT_EQ(TextToShortCut(QString::fromLatin1(c.text)), c.value) << c.text;
        EXPECT_EQ(ShortCutToText(c.value), QString::fromLatin1(c.written)) << c.text;
    }
    EXPECT_EQ(ShortCutToText(0x65), QStringLiteral("5")); // the numeric pad's 5
}

TEST(FontStyleText, BothDirections) {
    EXPECT_EQ(FontStyleToText(0), "[]");
    EXPECT_EQ(FontStyleToText(fsBold | fsItalic), "[fsBold,fsItalic]");
    EXPECT_EQ(FontStyleToText(fsItalic | fsStrikeOut), "[fsItalic,fsStrikeOut]");
    EXPECT_EQ(FontStyleToText(fsBold | fsItalic | fsUnderline | fsStrikeOut),
              "[fsBold,fsItalic,fsUnderline,fsStrikeOut]");
    EXPECT_EQ(TextToFontStyle("fsUnderline"), fsUnderline);
    EXPECT_EQ(TextToFontStyle("[fsItalic]xyz"), fsItalic);
    EXPECT_EQ(TextToFontStyle("[fsbold]"), 0);
    EXPECT_EQ(TextToFontStyle("[fsStrikeOut,fsBold]"), fsBold | fsStrikeOut);
}

} // namespace
