// The settings dialog's hotkey field, typed into with real key presses through the tests'
// own X server (XTEST), as a user types.
#include "../platform/xclient.h"
#include "hotkeyfield.h"
#include "shortcuttext.h"

#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace Shortcut;

// Polls with the event loop running; QTRY_* would not fail a gtest test.
bool WaitUntil(const std::function<bool()>& done, int msecs = 5000) {
    for (int waited = 0; waited < msecs; waited += 10) {
        if (done()) return true;
        QTest::qWait(10);
    }
    return done();
}

class HotkeyFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&dialog);
        field = new HotkeyField(&dialog);
        field->setObjectName(QStringLiteral("HotKey_pause"));
        other = new HotkeyField(&dialog);
        ok = new QPushButton(QStringLiteral("确定"), &dialog);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        layout->addWidget(field);
        layout->addWidget(other);
        layout->addWidget(ok);
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        field->setFocus();
        ASSERT_TRUE(WaitUntil([&] { return field->hasFocus(); }));
        spy = std::make_unique<QSignalSpy>(field, &HotkeyField::changed);
    }

    // Types the keys and waits for the field's change signal (or, when none is expected, for
    // a marker key typed into the other field, which X delivers after them).
    void type(const QStringList& keys, bool expectChange = true) {
        const qsizetype before = spy->count();
        ASSERT_TRUE(PressKeys(keys));
        if (expectChange) {
            ASSERT_TRUE(WaitUntil([&] { return spy->count() > before; }));
        } else {
            QSignalSpy marker(other, &HotkeyField::changed);
            other->setFocus();
            ASSERT_TRUE(WaitUntil([&] { return other->hasFocus(); }));
            ASSERT_TRUE(PressKeys({"ctrl+alt+m"}));
            ASSERT_TRUE(WaitUntil([&] { return marker.count() == 1; }));
            field->setFocus();
            ASSERT_TRUE(WaitUntil([&] { return field->hasFocus(); }));
        }
    }

    QDialog dialog;
    HotkeyField* field = nullptr;
    HotkeyField* other = nullptr;
    QPushButton* ok = nullptr;
    std::unique_ptr<QSignalSpy> spy;
};

// Dark (text) pixels inside the frame of the widget, as the X server shows it.
int DarkPixelsOnScreen(QWidget* w) {
    QTest::qWait(50); // the repaint's round trip
    const QPoint at = w->mapToGlobal(QPoint(0, 0));
    const QImage shot = QGuiApplication::primaryScreen()
                            ->grabWindow(0, at.x(), at.y(), w->width(), w->height())
                            .toImage();
    int dark = 0;
    for (int y = 3; y < shot.height() - 3; ++y)
        for (int x = 3; x < shot.width() - 3; ++x)
            dark += qGray(shot.pixel(x, y)) < 96;
    return dark;
}

struct TypedCase {
    const char* keys;
    HotkeyCombinations invalid;
    quint16 value;
    const char* text;
};

TEST_F(HotkeyFieldTest, TypedCombinationsFollowTheFieldsRules) {
    const HotkeyCombinations standard = HotkeyField::NoneOrShift;
    const HotkeyCombinations start = HotkeyField::AllButShiftCtrlAlt;
    const TypedCase cases[] = {
        {"ctrl+alt+s", standard, Ctrl | Alt | 'S', "Ctrl+Alt+S"},
        {"ctrl+F5", standard, Ctrl | 0x74, "Ctrl+F5"},
        {"F12", standard, Alt | 0x7B, "Alt+F12"},                       // no modifier: Alt is added
        {"shift+Next", standard, Shift | Alt | 0x22, "Shift+Alt+PgDn"}, // Shift alone too
        {"shift+1", standard, Shift | Alt | '1', "Shift+Alt+1"},        // the key, not the "!"
        {"shift+ctrl+equal", standard, Shift | Ctrl | 0xBB, "Shift+Ctrl+="},
        {"alt+KP_Add", standard, Alt | 0x6B, "Alt+Num +"},
        {"ctrl+Delete", standard, Ctrl | 0x2E, "Ctrl+Del"},
        {"ctrl+s", start, Ctrl | Alt | 'S', "Ctrl+Alt+S"},
        {"shift+ctrl+alt+s", start, Shift | Ctrl | Alt | 'S', "Shift+Ctrl+Alt+S"},
        {"shift+F9", start, Shift | Alt | 0x78, "Shift+Alt+F9"},
        {"F9", start, Alt | 0x78, "Alt+F9"},
    };
    for (const TypedCase& c : cases) {
        SCOPED_TRACE(c.keys);
        field->setInvalidCombinations(c.invalid);
        type({QString::fromLatin1(c.keys)});
        EXPECT_EQ(field->shortcut(), c.value);
        EXPECT_EQ(field->text(), QString::fromLatin1(c.text));
        EXPECT_EQ(spy->last().at(0).value<quint16>(), c.value);
    }
}

TEST_F(HotkeyFieldTest, BackspaceOrDeleteAloneClearsToNone) {
    for (const char* key : {"BackSpace", "Delete"}) {
        SCOPED_TRACE(key);
        field->setShortcut(Ctrl | Alt | 'R');
        EXPECT_EQ(field->text(), QStringLiteral("Ctrl+Alt+R"));
        type({QString::fromLatin1(key)});
        EXPECT_EQ(field->shortcut(), 0);
        EXPECT_TRUE(field->text().isEmpty());
        EXPECT_EQ(field->placeholderText(), QStringLiteral("无"));
    }
    // On the screen: the combination in dark text, then only the pale "无".
    field->setShortcut(Shift | Ctrl | Alt | 'W');
    EXPECT_GT(DarkPixelsOnScreen(field), 40);
    type({"BackSpace"});
    EXPECT_LT(DarkPixelsOnScreen(field), 15);
}

TEST_F(HotkeyFieldTest, EachEditSignalsAndSettingAValueDoesNot) {
    field->setShortcut(0x7B); // as the dialog loads it: no change
    EXPECT_EQ(field->text(), QStringLiteral("F12"));
    field->setShortcut(Ctrl | 0xFF); // a key without a name cannot be stored: none
    EXPECT_EQ(field->shortcut(), 0);
    EXPECT_EQ(spy->count(), 0);
    type({"ctrl+alt+p"});
    type({"ctrl+alt+p"}); // the same again is still an edit
    EXPECT_EQ(spy->count(), 2);
}

TEST_F(HotkeyFieldTest, DialogKeysAndUnknownKeysLeaveTheValue) {
    field->setShortcut(Ctrl | Alt | 'S');
    type({"Super_L"}, false); // a key that cannot be stored
    EXPECT_EQ(field->shortcut(), Ctrl | Alt | 'S');
    // Tab moves on to the next field.
    ASSERT_TRUE(PressKeys({"Tab"}));
    ASSERT_TRUE(WaitUntil([&] { return other->hasFocus(); }));
    field->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return field->hasFocus(); }));
    // Enter is the dialog's: the default button takes it.
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    ASSERT_TRUE(PressKeys({"Return"}));
    ASSERT_TRUE(WaitUntil([&] { return accepted.count() == 1; }));
    // And so is Esc.
    dialog.show();
    dialog.activateWindow();
    field->setFocus();
    ASSERT_TRUE(WaitUntil([&] { return field->hasFocus(); }));
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    ASSERT_TRUE(PressKeys({"Escape"}));
    ASSERT_TRUE(WaitUntil([&] { return rejected.count() == 1; }));
    EXPECT_EQ(field->shortcut(), Ctrl | Alt | 'S');
    EXPECT_EQ(spy->count(), 0);
}

TEST_F(HotkeyFieldTest, HeldModifiersShowUntilReleased) {
    field->setShortcut(0x7B);
    ASSERT_TRUE(QProcess::execute("xdotool", {"keydown", "ctrl", "keydown", "alt"}) == 0);
    EXPECT_TRUE(WaitUntil([&] { return field->text() == QStringLiteral("Ctrl+Alt+"); }))
        << field->text().toStdString();
    ASSERT_TRUE(QProcess::execute("xdotool", {"keyup", "alt", "keyup", "ctrl"}) == 0);
    EXPECT_TRUE(WaitUntil([&] { return field->text() == QStringLiteral("F12"); }))
        << field->text().toStdString();
    EXPECT_EQ(field->shortcut(), 0x7B);
    EXPECT_EQ(spy->count(), 0);
}

TEST(HotkeyRules, InvalidCombinationsGetTheReplacementAdded) {
    struct Case {
        quint16 typed;
        HotkeyCombinations invalid;
        quint16 replacement;
        quint16 result;
    };
    const Case cases[] = {
        {'A', HotkeyField::NoneOrShift, Alt, Alt | 'A'},
        {Shift | 'A', HotkeyField::NoneOrShift, Alt, Shift | Alt | 'A'},
        {Ctrl | 'A', HotkeyField::NoneOrShift, Alt, Ctrl | 'A'},
        {Ctrl | 'A', HotkeyField::AllButShiftCtrlAlt, Alt, Ctrl | Alt | 'A'},
        {Alt | 'A', HotkeyField::AllButShiftCtrlAlt, Alt, Alt | 'A'}, // adding Alt changes nothing
        {Shift | Ctrl | Alt | 'A', HotkeyField::AllButShiftCtrlAlt, Alt, Shift | Ctrl | Alt | 'A'},
        {'A', HotkeyCombinations(), Alt, 'A'},
        {'A', HotkeyField::NoneOrShift, Ctrl | Alt, Ctrl | Alt | 'A'},
        {0, HotkeyField::AllButShiftCtrlAlt, Alt, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ApplyHotkeyRules(c.typed, c.invalid, c.replacement), c.result)
            << ShortCutToText(c.typed).toStdString();
}

} // namespace
