// The settings dialog on the real main window: which pages it shows per display mode, what
// it loads, what its previews do to the window, and what OK and Cancel leave in js.ini.
#include "../platform/xclient.h"
#include "antialiasedlabel.h"
#include "appfixture.h"
#include "colorfield.h"
#include "colors.h"
#include "filefield.h"
#include "fonteffectdialog.h"
#include "hotkeyfield.h"
#include "modesettingspage.h"
#include "normalpage.h"
#include "progressfillbar.h"
#include "progresspage.h"
#include "shortcuttext.h"
#include "spinfield.h"
#include "tfrm_setsys.h"
#include "timefield.h"
#include "x11util.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <X11/keysym.h>
#include <functional>
#include <sys/stat.h>

namespace {

QByteArray ini(std::initializer_list<const char*> lines) {
    QByteArray text;
    for (const char* line : lines)
        text += QByteArray(line) + "\r\n";
    return text;
}

// The lines of one section as the file holds them, header included; empty when absent.
QByteArray sectionBytes(const QByteArray& file, const QByteArray& name) {
    const QByteArray lower = file.toLower();
    const qsizetype start = lower.indexOf("[" + name.toLower() + "]");
    if (start < 0) return {};
    qsizetype end = lower.indexOf("\n[", start);
    end = end < 0 ? file.size() : end + 1;
    // Without the blank line the file puts before a section added after it.
    QByteArray bytes = file.mid(start, end - start);
    while (bytes.endsWith("\r\n\r\n"))
        bytes.chop(2);
    return bytes;
}

// The key names of a section in the order the file holds them.
QStringList keysOf(const QByteArray& file, const QByteArray& name) {
    QStringList keys;
    const QList<QByteArray> lines = sectionBytes(file, name).split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype eq = lines[i].indexOf('=');
        if (eq > 0) keys << QString::fromUtf8(lines[i].left(eq)).trimmed();
    }
    return keys;
}

class SetsysTest : public AppFixture {
protected:
    QByteArray fileBytes() {
        QFile f(dir.filePath(QStringLiteral("js.ini")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString stored(const char* section, const char* key) {
        return frm->Settings().ReadString(QString::fromLatin1(section), QString::fromLatin1(key),
                                          QStringLiteral("<none>"));
    }

    // The dialog as the settings command makes it, shown without its own event loop.
    std::unique_ptr<Tfrm_setsys> open() {
        auto dialog = std::make_unique<Tfrm_setsys>(*frm, frm.get());
        dialog->show();
        // Active, as a dialog the user opens is: focus changes within it are exits.
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        return dialog;
    }

    // The settings command from the menu, the whole way: the modal dialog, then the
    // window's re-apply. act runs on the open dialog and ends it; a dialog it leaves open
    // is cancelled, so that a failing test never hangs.
    void runSettings(const std::function<void(Tfrm_setsys&)>& act) {
        bool ran = false;
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<Tfrm_setsys*>(QApplication::activeModalWidget());
            if (!dialog || ran) return;
            ran = true;
            act(*dialog);
            if (dialog->isVisible()) dialog->reject();
        });
        poll.start();
        click(menu().N_set);
        EXPECT_TRUE(ran) << "the settings dialog did not open";
    }

    template <class T> static T* control(QWidget& dialog, const char* name) {
        T* c = dialog.findChild<T*>(QString::fromLatin1(name));
        if (!c) ADD_FAILURE() << "no control " << name;
        return c;
    }

    // Types a time into a field and leaves it with Tab, as the user does.
    static void typeTime(TimeField* field, const char* text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, QString::fromLatin1(text).remove(QLatin1Char(':')));
        QTest::keyClick(field, Qt::Key_Tab);
        QTest::qWait(50);
    }
};

// ---- pages and loading ----

TEST_F(SetsysTest, ShowsTheRunningModesPageAndTheCommonOnes) {
    struct Case {
        int mode;
        QStringList tabs;
        const char* current;
    } const cases[] = {
        {0, {"普通", "通用", "时间", "热键", "效果"}, "普通"},
        {1, {"进度条", "通用", "时间", "热键", "效果"}, "进度条"},
        {2, {"提示窗", "通用", "时间", "热键", "效果"}, "提示窗"},
        {3, {"GIF", "通用", "时间", "热键", "效果"}, "GIF"},
        {7, {"通用", "时间", "热键", "效果"}, "通用"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        writeIni(QStringLiteral("[SYSTEM]\r\nStartMode=%1\r\n").arg(c.mode).toUtf8());
        start();
        auto dialog = open();
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("设置"));
        QTabWidget* page = dialog->page;
        ASSERT_EQ(page->count(), 8);
        const char* const sheets[] = {"TabSheet1", "TabSheet2",  "TabSheet7",  "TabSheet8",
                                      "TabSheet9", "TabSheet10", "TabSheet11", "TabSheet12"};
        QStringList visible;
        for (int i = 0; i < page->count(); ++i) {
            EXPECT_EQ(page->widget(i)->objectName(), QString::fromLatin1(sheets[i]));
            if (page->isTabVisible(i)) visible << page->tabText(i);
        }
        EXPECT_EQ(visible, c.tabs);
        EXPECT_EQ(page->tabText(page->currentIndex()), QString::fromUtf8(c.current));
        // The start mode shows the running mode; none for one the dialog does not know.
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(control<QRadioButton>(
                          *dialog, QStringLiteral("RG_StartMode_%1").arg(i).toLatin1().constData())
                          ->isChecked(),
                      i == c.mode);
        dialog.reset();
        frm.reset();
    }
}

TEST_F(SetsysTest, WithoutAFileTheStageTableShowsItsDefaultsAndTheTotalFollowsEdits) {
    start();
    auto dialog = open();
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(dialog->StageNames[n - 1]->text(), QStringLiteral("阶段%1").arg(n));
        EXPECT_EQ(dialog->StageTimes[n - 1]->text(), QStringLiteral("01:00"));
        EXPECT_EQ(dialog->StageAlarms[n - 1]->text(), QStringLiteral("00:20"));
        EXPECT_EQ(dialog->StageColors[n - 1]->value(), 15780518);
    }
    // The controls are bound by their tag: row 2's colour editor is StageColorEdit5, its
    // alarm MaskEdit3.
    EXPECT_EQ(dialog->StageColors[1]->objectName(), QStringLiteral("StageColorEdit5"));
    EXPECT_EQ(dialog->StageAlarms[1]->objectName(), QStringLiteral("MaskEdit3"));
    EXPECT_EQ(dialog->lbl_total->text(), QStringLiteral("08:00"));

    dialog->page->setCurrentWidget(dialog->findChild<QWidget*>(QStringLiteral("TabSheet10")));
    typeTime(dialog->StageTimes[2], "12:30");
    EXPECT_EQ(dialog->StageTimes[2]->text(), QStringLiteral("12:30"));
    EXPECT_EQ(dialog->lbl_total->text(), QStringLiteral("19:30"));
    // Minutes are never cut: eight times 99:99 are 805 minutes and 12 seconds.
    for (TimeField* st : dialog->StageTimes)
        typeTime(st, "99:99");
    EXPECT_EQ(dialog->lbl_total->text(), QStringLiteral("805:12"));
}

TEST_F(SetsysTest, ReadsTimeTextsAsTheStageTableDoes) {
    struct Case {
        const char* text;
        int seconds;
        const char* error; // the message when the text is refused
    } const cases[] = {
        {"", 0, nullptr},
        {":", 0, nullptr},
        {"12:30", 750, nullptr},
        {"1:5", 65, nullptr},
        {"01:75", 135, nullptr},
        {"01:234", 83, nullptr}, // at most two characters of seconds
        {"799:52", 47992, nullptr},
        {"7", 0, "'' is not a valid integer value"}, // minutes are what comes before ":"
        {"5:", 0, "'' is not a valid integer value"},
        {" 1:00", 60, nullptr}, // blanks before a number are allowed, after it not
        {"1 :00", 0, "'1 ' is not a valid integer value"},
        {"+2:-1", 119, nullptr},
        {"ab:00", 0, "'ab' is not a valid integer value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.error) {
            try {
                Tfrm_setsys::TimeTextSeconds(QString::fromLatin1(c.text));
                ADD_FAILURE() << "no error";
            } catch (const std::exception& e) {
                EXPECT_STREQ(e.what(), c.error);
            }
        } else {
            EXPECT_EQ(Tfrm_setsys::TimeTextSeconds(QString::fromLatin1(c.text)), c.seconds);
        }
    }
}

TEST_F(SetsysTest, AnUnreadableStoredTimeIsReportedOnceAndTheDialogStillOpens) {
    writeIni(ini({"[Group]", "Time2=5:", "Name2=讲话"}));
    start();
    MessageBoxCatcher boxes;
    auto dialog = open();
    ASSERT_TRUE(Eventually([&] { return boxes.seen > 0; }));
    QTest::qWait(100);
    EXPECT_EQ(boxes.seen, 1);
    EXPECT_EQ(boxes.text, QStringLiteral("'' is not a valid integer value"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->StageNames[1]->text(), QStringLiteral("讲话"));
}

TEST_F(SetsysTest, LoadsTheCommonPagesFromTheFileAndTheWindow) {
    writeIni(ini({"[System]", "BKCOLOR=-16777211", "Over=超时了", "Sound_Alarm=/tmp/a.wav",
                  "AutoNext=1", "Total=1", "[Hotkey]", "start=Shift+Ctrl+Alt+S", "pause=F8",
                  "[Normal]", "jsMode=1", "DJS=500", "BKCOLOR_Over=536870911", "Flash=1"}));
    start();
    auto dialog = open();
    EXPECT_EQ(dialog->ColorEdit_Bk->value(), -16777211); // a system colour, kept as such
    EXPECT_EQ(dialog->edt_over->text(), QStringLiteral("超时了"));
    EXPECT_EQ(dialog->edt_elapse->text(), QStringLiteral("Elapse:"));
    EXPECT_EQ(dialog->File_Alarm->value(), QStringLiteral("/tmp/a.wav"));
    EXPECT_TRUE(dialog->cb_AutoNext->isChecked());
    EXPECT_TRUE(control<QCheckBox>(*dialog, "cb_total")->isChecked());
    EXPECT_EQ(ShortCutToText(dialog->HotKey_start->shortcut()), QStringLiteral("Shift+Ctrl+Alt+S"));
    EXPECT_EQ(ShortCutToText(dialog->HotKey_pause->shortcut()), QStringLiteral("F8"));
    // The window uses F12 for these when the file has none; the dialog shows none.
    EXPECT_EQ(dialog->HotKey_stop->shortcut(), 0);
    EXPECT_EQ(dialog->HotKey_next->shortcut(), 0);
    EXPECT_FALSE(state().HotkeyChanged);

    auto* normal = static_cast<NormalPage*>(dialog->ModePage(0));
    EXPECT_TRUE(normal->RB_ZJS->isChecked());
    EXPECT_FALSE(normal->RB_DJS->isChecked());
    EXPECT_EQ(normal->SE_DJS->value(), 120);
    EXPECT_EQ(normal->C_over->value(), 536870911);
    EXPECT_EQ(normal->C_ALARM->value(), 65535);
    EXPECT_TRUE(normal->CheckBox_AutoStop->isChecked());
    EXPECT_TRUE(normal->CheckBox_Flash->isChecked());
    EXPECT_FALSE(normal->cb_maohao->isChecked());
}

TEST_F(SetsysTest, HotkeyFieldsAddAltToTheCombinationsTheyRefuse) {
    // The start key takes Shift+Ctrl+Alt only; the others refuse no modifier and Shift alone.
    struct Case {
        const char* field;
        Qt::KeyboardModifiers typed;
        const char* stored;
    } const cases[] = {
        {"HotKey_start", Qt::NoModifier, "Alt+F7"},
        {"HotKey_start", Qt::ControlModifier, "Ctrl+Alt+F7"},
        {"HotKey_start", Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier,
         "Shift+Ctrl+Alt+F7"},
        {"HotKey_pause", Qt::NoModifier, "Alt+F7"},
        {"HotKey_stop", Qt::ShiftModifier, "Shift+Alt+F7"},
        {"HotKey_pri", Qt::ControlModifier, "Ctrl+F7"},
        {"HotKey_next", Qt::ShiftModifier | Qt::ControlModifier, "Shift+Ctrl+F7"},
    };
    start();
    auto dialog = open();
    dialog->page->setCurrentWidget(dialog->findChild<QWidget*>(QStringLiteral("TabSheet11")));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.stored);
        auto* field = control<HotkeyField>(*dialog, c.field);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_F7, c.typed);
        EXPECT_EQ(ShortCutToText(field->shortcut()), QString::fromLatin1(c.stored));
    }
    EXPECT_TRUE(state().HotkeyChanged);
}

// ---- previews ----

TEST_F(SetsysTest, TranslucencyPreviewsAtOnceAndOutlivesCancel) {
    writeIni(ini({"[System]", "TransParent=10"}));
    start();
    const unsigned long window = frm->winId();
    runSettings([&](Tfrm_setsys& dialog) {
        // Limited to the slider's range, and through its change handler on the window too.
        EXPECT_EQ(dialog.Slider_Opacity->value(), 20);
        EXPECT_EQ(frm->Opacity(), 20);
        EXPECT_TRUE(Eventually([&] { return x11::windowOpacity(window) == 20; }))
            << x11::windowOpacity(window);
        dialog.Slider_Opacity->setFocus();
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(dialog.Slider_Opacity, Qt::Key_PageUp);
        EXPECT_EQ(dialog.Slider_Opacity->value(), 100);
        EXPECT_TRUE(Eventually([&] { return x11::windowOpacity(window) == 100; }));
        dialog.btncancel->click();
    });
    EXPECT_EQ(frm->Opacity(), 100);
    EXPECT_EQ(x11::windowOpacity(window), 100);
    EXPECT_EQ(stored("System", "TransParent"), QStringLiteral("10"));
}

TEST_F(SetsysTest, NoRunStartsBehindTheOpenDialog) {
    writeIni(ini({"[Group]", "Time1=05:00", "Time2=05:00"}));
    start();
    runSettings([&](Tfrm_setsys& dialog) {
        // As a hotkey or a remote command clicks them.
        for (QAction* item : {menu().N_start, menu().n_next, menu().N_pri, menu().N_stop})
            click(item);
        EXPECT_FALSE(running());
        EXPECT_EQ(state().StageNo, QStringLiteral("1"));
        dialog.btncancel->click();
    });
    EXPECT_TRUE(menu().N_start->isEnabled());
    EXPECT_TRUE(menu().n_next->isEnabled());
    EXPECT_FALSE(menu().N_pause->isEnabled());
    EXPECT_FALSE(menu().N_stop->isEnabled());
    click(menu().N_start);
    EXPECT_TRUE(running());
}

TEST_F(SetsysTest, BackgroundColourPreviewsOnTheScreen) {
    writeIni(ini({"[System]", "LEFT0=0", "TOP0=0"})); // clear of the centred dialog
    start();
    const unsigned long window = frm->winId();
    auto dialog = open();
    ColorField* bk = dialog->ColorEdit_Bk;
    bk->setFocus();
    QTest::keyClick(bk, Qt::Key_Down);
    ASSERT_NE(bk->value(), 15780518);
    const QColor expected = ColorFromValue(bk->value(), Qt::black);
    EXPECT_TRUE(Eventually([&] { return x11::pixel(window, 1, 1) == expected; }))
        << x11::pixel(window, 1, 1).name().toStdString() << " " << expected.name().toStdString();
}

TEST_F(SetsysTest, StageColoursPaintTheirBarOnlyInProgressModeWithTheTotalShown) {
    struct Case {
        const char* name;
        int mode;
        bool total;
        bool painted;
    } const cases[] = {
        {"progress bars, total shown", 1, true, true},
        {"progress bars, total hidden", 1, false, false},
        {"clock", 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeIni(QStringLiteral("[SYSTEM]\r\nStartMode=%1\r\nTotal=%2\r\n"
                                "[Group]\r\nTime1=01:00\r\nTime2=01:00\r\nTime3=01:00\r\n")
                     .arg(c.mode)
                     .arg(int(c.total))
                     .toUtf8());
        start();
        std::array<QColor, 8> before;
        const PreviewSurfaces s = frm->Surfaces();
        for (int i = 0; i < 8; ++i)
            if (s.stageBars[i]) before[i] = s.stageBars[i]->color();
        auto dialog = open();
        // StageColorEdit2 carries tag 3: it is stage 3's colour.
        auto* edit = control<ColorField>(*dialog, "StageColorEdit2");
        ASSERT_EQ(edit, dialog->StageColors[2]);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Down);
        ASSERT_NE(edit->value(), 15780518);
        for (int i = 0; i < 8; ++i) {
            if (!s.stageBars[i]) continue;
            const QColor want = c.painted && i == 2 ? ColorFromValue(edit->value()) : before[i];
            EXPECT_EQ(s.stageBars[i]->color(), want) << "F" << i + 1;
        }
        if (c.painted) {
            ProgressFillBar* f3 = s.stageBars[2];
            const QPoint inside = f3->mapTo(frm.get(), QPoint(3, f3->height() / 2));
            EXPECT_TRUE(Eventually([&] {
                return x11::pixel(frm->winId(), inside.x(), inside.y()) ==
                       ColorFromValue(edit->value());
            })) << x11::pixel(frm->winId(), inside.x(), inside.y()).name().toStdString()
                << " " << ColorFromValue(edit->value()).name().toStdString() << " at " << inside.x()
                << "," << inside.y();
        }
        dialog.reset();
        frm.reset();
    }
}

TEST_F(SetsysTest, AClockFontComesBackAfterCancelAndIsStoredAfterOk) {
    for (const bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        writeIni(ini({"[AALabel]", "FontName=DejaVu Sans", "FontSize=30"}));
        start();
        AntiAliasedLabel* clock = normal().AALabel;
        const QSize storedSize = clock->size();
        runSettings([&](Tfrm_setsys& dialog) {
            auto* page = static_cast<NormalPage*>(dialog.ModePage(0));
            QObject::connect(page->SmoothFontDialog, &SmoothFontDialog::shown,
                             [](FontEffectDialog* effects) {
                                 QTimer::singleShot(0, effects, [effects] {
                                     QFont font(QStringLiteral("DejaVu Serif"));
                                     font.setPointSize(60);
                                     font.setBold(true);
                                     effects->setSampleFont(font, Qt::red);
                                     effects->cbOutline->click();
                                     effects->btnOK->click();
                                 });
                             });
            page->btn_font->click();
            // The clock shows the choice at once and the window takes the label's size.
            EXPECT_EQ(clock->font().family(), QStringLiteral("DejaVu Serif"));
            EXPECT_TRUE(clock->effect().Outline);
            EXPECT_GT(clock->width(), storedSize.width());
            EXPECT_EQ(frm->size(), clock->size());
            (ok ? dialog.btnok : dialog.btncancel)->click();
        });
        if (ok) {
            EXPECT_EQ(stored("AALabel", "FontName"), QStringLiteral("DejaVu Serif"));
            EXPECT_EQ(stored("AALabel", "FontSize"), QStringLiteral("60"));
            EXPECT_EQ(stored("AALabel", "FontStyle"), QStringLiteral("[fsBold]"));
            EXPECT_EQ(stored("AALabel", "FontColor"), QStringLiteral("255"));
            EXPECT_EQ(stored("AALabel", "Outline"), QStringLiteral("1"));
            EXPECT_EQ(clock->font().family(), QStringLiteral("DejaVu Serif"));
        } else {
            EXPECT_EQ(stored("AALabel", "FontName"), QStringLiteral("DejaVu Sans"));
            EXPECT_EQ(stored("AALabel", "Outline"), QStringLiteral("<none>"));
            EXPECT_EQ(clock->font().family(), QStringLiteral("DejaVu Sans"));
            EXPECT_FALSE(clock->effect().Outline);
            EXPECT_EQ(clock->size(), storedSize);
        }
        frm.reset();
    }
}

// ---- saving ----

TEST_F(SetsysTest, OkWritesTheStageTableAndTheCommonKeysInTheirOrder) {
    start();
    runSettings([&](Tfrm_setsys& dialog) {
        dialog.StageNames[1]->setText(QStringLiteral("提问"));
        typeTime(dialog.StageAlarms[1], "02:05");
        dialog.btnok->click();
    });
    const QByteArray file = fileBytes();
    QStringList group;
    for (int n = 1; n <= 8; ++n)
        group << QStringLiteral("Time%1").arg(n) << QStringLiteral("Alarm%1").arg(n);
    for (int n = 1; n <= 8; ++n)
        group << QStringLiteral("Name%1").arg(n);
    for (int n : {1, 3, 4, 5, 2, 6, 7, 8})
        group << QStringLiteral("Color%1").arg(n);
    EXPECT_EQ(keysOf(file, "Group"), group);
    EXPECT_EQ(keysOf(file, "System"),
              QStringList({"TransParent", "BKCOLOR", "elapse", "Remain", "Over", "standard",
                           "Alarm", "Per", "Sound_Alarm", "Sound_Start", "Sound_Over", "AutoNext",
                           "Total", "StartMode"}));
    EXPECT_EQ(keysOf(file, "Hotkey"), QStringList({"start", "pause", "stop", "Pri", "Next"}));
    EXPECT_EQ(keysOf(file, "Normal"), QStringList({"jsMode", "maohao", "AutoStop", "DJS",
                                                   "BKCOLOR_Alarm", "BKCOLOR_over", "Flash"}));
    EXPECT_EQ(stored("Group", "Name2"), QStringLiteral("提问"));
    EXPECT_EQ(stored("Group", "Alarm2"), QStringLiteral("02:05"));
    EXPECT_EQ(stored("Group", "Time8"), QStringLiteral("01:00"));
    EXPECT_EQ(stored("Group", "Color5"), QStringLiteral("15780518"));
    EXPECT_EQ(stored("System", "TransParent"), QStringLiteral("255"));
    EXPECT_EQ(stored("Hotkey", "stop"), QString());
    // The window has re-read the plan: stage 1 again.
    EXPECT_EQ(state().StageNo, QStringLiteral("1"));
}

TEST_F(SetsysTest, OkLeavesTheSectionsOfTheOtherModesByteForByte) {
    const QByteArray others =
        ini({"[Normal]", "jsMode = 1", "; hand-written", "DJS=$1F", "[Progress]", "OptionText=7",
             "Height=x", "[Message]", "DisplaySec=4", "FontStyle=[fsItalic]", "[Gif]",
             "Interval=150", "H=0"});
    const char* const sections[] = {"Normal", "Progress", "Message", "Gif"};
    // 7: a mode the dialog does not know; none of the four pages is its own, and OK keeps
    // the stored start mode rather than ending the program.
    for (int mode : {0, 1, 2, 3, 7}) {
        SCOPED_TRACE(mode);
        const QByteArray before =
            QStringLiteral("[SYSTEM]\r\nStartMode=%1\r\n").arg(mode).toUtf8() + others;
        writeIni(before);
        start();
        runSettings([](Tfrm_setsys& dialog) {
            dialog.btnok->click();
            EXPECT_FALSE(dialog.isVisible());
        });
        const QByteArray after = fileBytes();
        for (int other = 0; other < 4; ++other) {
            if (other == mode) continue;
            EXPECT_EQ(sectionBytes(after, sections[other]), sectionBytes(before, sections[other]))
                << sections[other];
        }
        EXPECT_EQ(stored("SYSTEM", "StartMode"), QString::number(mode));
        EXPECT_FALSE(frm->IsClosed());
        frm.reset();
    }
}

TEST_F(SetsysTest, CancelEscAndTheCloseBoxWriteNothing) {
    const QByteArray before = ini({"[System]", "TransParent=200", "[Group]", "Name1=开场"});
    const std::function<void(Tfrm_setsys&)> ways[] = {
        [](Tfrm_setsys& d) { d.btncancel->click(); },
        [](Tfrm_setsys& d) { QTest::keyClick(&d, Qt::Key_Escape); },
        [](Tfrm_setsys& d) { x11::requestClose(d.winId()); },
    };
    start();
    for (const auto& end : ways) {
        writeIni(before);
        runSettings([&](Tfrm_setsys& dialog) {
            dialog.StageNames[0]->setText(QStringLiteral("闭幕"));
            dialog.Slider_Opacity->setValue(100);
            dialog.HotKey_pause->setFocus();
            QTest::keyClick(dialog.HotKey_pause, Qt::Key_F7);
            end(dialog);
            EXPECT_TRUE(Eventually([&] { return !dialog.isVisible(); }));
        });
        EXPECT_EQ(fileBytes(), before);
    }
}

TEST_F(SetsysTest, EmptiedHotkeysAreStoredEmptyAndNoneStaysRegistered) {
    writeIni(ini({"[Hotkey]", "start=Shift+Ctrl+Alt+S", "pause=F8", "stop=F9", "Pri=F10",
                  "Next=F11", "[Group]", "Time1=05:00"}));
    frm = std::make_unique<Tfrmmain>(AppServices{&clock, &sound, nullptr}); // real X11 hotkeys
    frm->show();
    ASSERT_TRUE(Eventually([this] { return !frm->HotkeyTimer()->isActive(); }));
    ASSERT_EQ(menu().N_stop->shortcut().toString(), QStringLiteral("F9"));
    runSettings([&](Tfrm_setsys& dialog) {
        for (HotkeyField* f : {dialog.HotKey_start, dialog.HotKey_pause, dialog.HotKey_stop,
                               dialog.HotKey_pri, dialog.HotKey_next}) {
            f->setFocus();
            QTest::keyClick(f, Qt::Key_Backspace);
            EXPECT_EQ(f->shortcut(), 0);
        }
        dialog.btnok->click();
    });
    for (const char* key : {"start", "pause", "stop", "Pri", "Next"})
        EXPECT_EQ(stored("Hotkey", key), QString()) << key;
    EXPECT_TRUE(state().HotkeyChanged);
    for (QAction* item :
         {menu().N_start, menu().N_pause, menu().N_stop, menu().N_pri, menu().n_next})
        EXPECT_TRUE(item->shortcut().isEmpty()) << item->objectName().toStdString();
    // The keys are free again: another program can take every one of them.
    OtherXClient other;
    for (const std::uint32_t keysym : {XK_F8, XK_F9, XK_F10, XK_F11})
        EXPECT_TRUE(other.grab(other.keycode(keysym), 0)) << keysym;
    EXPECT_TRUE(other.grab(other.keycode(XK_s),
                           XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1));
}

TEST_F(SetsysTest, AReadOnlyFileStopsTheSaveWithOneMessageAndTheDialogOpen) {
    const QByteArray before = ini({"[System]", "TransParent=200"});
    writeIni(before);
    const QString path = dir.filePath(QStringLiteral("js.ini"));
    start();
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0444), 0);
    auto dialog = open();
    dialog->Slider_Opacity->setValue(120);
    MessageBoxCatcher boxes;
    dialog->btnok->click();
    ASSERT_TRUE(Eventually([&] { return boxes.seen > 0; }));
    QTest::qWait(100);
    EXPECT_EQ(boxes.seen, 1);
    EXPECT_EQ(boxes.text,
              QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(path)));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(fileBytes(), before);
    chmod(QFile::encodeName(path).constData(), 0644);
}

} // namespace
