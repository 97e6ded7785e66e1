// The one key table: names, Qt keys and X keysyms are all read from it, so these tests
// check that it is consistent with itself and with the shortcut text.
#include "shortcuttext.h"
#include "virtualkeys.h"

#include <QSet>
#include <QString>
#include <QtCore/qnamespace.h>
#include <gtest/gtest.h>

namespace {

bool IsPadDigit(int code) {
    return code >= 0x60 && code <= 0x69;
}

TEST(VirtualKeys, EveryNameReadsBackAsItsOwnKey) {
    QSet<QString> names;
    for (const VirtualKey& key : VirtualKeys()) {
        const QString name = QString::fromLatin1(key.name);
        SCOPED_TRACE(name.toStdString());
        ASSERT_FALSE(name.isEmpty());
        EXPECT_EQ(KeyCodeName(key.code), name);
        // The pad's digits are written as the main digits and so read back as those.
        const int expected = IsPadDigit(key.code) ? '0' + key.code - 0x60 : key.code;
        EXPECT_EQ(TextToShortCut(name), expected);
        EXPECT_EQ(TextToShortCut(QStringLiteral("Shift+Ctrl+Alt+") + name),
                  expected | Shortcut::Shift | Shortcut::Ctrl | Shortcut::Alt);
        if (!IsPadDigit(key.code)) {
            EXPECT_FALSE(names.contains(name.toLower())) << "two keys share a name";
            names.insert(name.toLower());
        }
    }
}

TEST(VirtualKeys, EveryOwnQtKeyLeadsBackToItsCode) {
    for (const VirtualKey& key : VirtualKeys()) {
        if (key.qtKeys[0] == 0 || key.code == 0x5C) continue; // both Windows keys are Meta
        SCOPED_TRACE(key.name);
        EXPECT_EQ(VirtualKeyFromQtKey(key.qtKeys[0], key.keypad), key.code);
    }
}

// The keys on which three separate tables once disagreed: each has a name, a Qt key and
// (but for the printer key, which X does not have) a keysym.
TEST(VirtualKeys, FormerlyDisputedKeysAreCompleteEverywhere) {
    for (int code :
         {0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F, 0xAD, 0xAE, 0xAF, 0xB0, 0xB1, 0xB2, 0xB3}) {
        SCOPED_TRACE(code);
        const VirtualKey* key = FindVirtualKey(code);
        ASSERT_NE(key, nullptr);
        EXPECT_NE(key->qtKeys[0], 0);
        if (code != 0x2A) {
            EXPECT_NE(key->keysyms[0], 0u);
        }
        EXPECT_EQ(ShortCutToText(quint16(code | Shortcut::Ctrl)),
                  QStringLiteral("Ctrl+") + QString::fromLatin1(key->name));
    }
    EXPECT_EQ(FindVirtualKey(0x2C)->keysyms[0], 0xff61u); // X's Print is Print Screen
    EXPECT_EQ(FindVirtualKey(0x07), nullptr);
    EXPECT_EQ(FindVirtualKey(0xFF), nullptr);
}

TEST(VirtualKeys, KeyPressesAsQtReportsThem) {
    struct Case {
        int qtKey;
        bool keypad;
        int code;
    };
    const Case cases[] = {
        {Qt::Key_S, false, 'S'},
        {Qt::Key_Exclam, false, '1'},     // Shift+1 on a US layout
        {Qt::Key_ParenRight, false, '0'}, // Shift+0
        {Qt::Key_Plus, false, 0xBB},      // Shift+=
        {Qt::Key_Plus, true, 0x6B},       // the pad's +
        {Qt::Key_Asterisk, false, '8'},   // Shift+8
        {Qt::Key_5, true, 0x65},          // the pad's 5 with NumLock on
        {Qt::Key_Home, true, 0x24},       // the pad's 7 with NumLock off
        {Qt::Key_Delete, true, 0x6E},     // the pad's decimal point with NumLock off
        {Qt::Key_Enter, true, 0x0D},      // the pad's Enter
        {Qt::Key_Backtab, false, 0x09},   // Shift+Tab
        {Qt::Key_Minus, false, 0xBD},
        {Qt::Key_F24, false, 0x87},
        {Qt::Key_MediaTogglePlayPause, false, 0xB3},
        {Qt::Key_Shift, false, 0}, // a modifier alone is no key
        {Qt::Key_unknown, false, 0},
        {0, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VirtualKeyFromQtKey(c.qtKey, c.keypad), c.code)
            << std::hex << c.qtKey << (c.keypad ? " on the pad" : "");
}

} // namespace
