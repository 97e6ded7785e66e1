// The settings dialog's field widgets on a real X server: colour values kept exactly, the
// file filter and file choice, the time mask's refusal of an incomplete change, and spin
// fields and the slider limited to their ranges.
#include "colorfield.h"
#include "colorvalue.h"
#include "dialogtesting.h"
#include "filefield.h"
#include "spinfield.h"
#include "timefield.h"

#include <QAbstractItemView>
#include <QColorDialog>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace dialogtesting;

namespace {

qint32 sys(int index) {
    return static_cast<qint32>(0xFF000000u | quint32(index));
}

int indexOfValue(const ColorField& f, qint32 value) {
    for (int i = 0; i < f.count(); ++i)
        if (f.itemData(i).isValid() && f.itemData(i).toInt() == value) return i;
    return -1;
}

// Picks an entry of the drop-down the way a user does: open the list, click the entry.
void pickFromList(ColorField& field, int index) {
    field.showPopup();
    QAbstractItemView* view = field.view();
    ASSERT_TRUE(waitUntil([&] { return view->isVisible(); }));
    const QModelIndex item = view->model()->index(index, 0);
    view->scrollTo(item);
    // A release within the double-click time of opening belongs to the opening click.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    click(view->viewport(), view->visualRect(item).center());
    ASSERT_TRUE(waitUntil([&] { return !view->isVisible(); }));
}

} // namespace

TEST(ColorField, EveryLoadedValueSurvivesUntouchedAndIsNamed) {
    struct Case {
        qint32 value;
        const char* shown;
    };
    const Case cases[] = {
        {0, "黑色"},
        {255, "红色"},
        {65535, "黄色"},
        {16711680, "蓝色"},
        {15780518, "天蓝色"},
        {0x00563412, "#123456"},          // a plain colour outside the list
        {sys(15), "按钮表面"},            // clBtnFace
        {sys(8), "窗口文本"},             // clWindowText
        {sys(30), "菜单栏"},              //
        {sys(25), "系统颜色 25"},         // an index that names no colour
        {sys(0x40), "系统颜色 64"},       // beyond the system colours
        {ColorValue::None, "无"},         // 536870911
        {0x20000000, "颜色值 536870912"}, // some other stored value
        {-1, "颜色值 -1"},
    };
    ColorField field;
    const int plainCount = field.count();
    QSignalSpy picked(&field, &ColorField::valueChanged);
    for (const Case& c : cases) {
        field.setValue(c.value);
        EXPECT_EQ(field.value(), c.value) << c.value;
        EXPECT_EQ(field.currentText(), QString::fromUtf8(c.shown)) << c.value;
        EXPECT_EQ(field.currentData().toInt(), c.value) << c.value;
    }
    EXPECT_EQ(picked.count(), 0); // loading is not a pick
    // Back to a listed value: the extra entry for an unlisted one is gone again.
    field.setValue(255);
    EXPECT_EQ(field.count(), plainCount);
}

TEST(ColorField, OffersTheSystemColoursNoColourAndCustom) {
    ColorField field;
    for (int i = 0; i <= 30; ++i) {
        if (i == 25) continue;
        const int at = indexOfValue(field, sys(i));
        ASSERT_GE(at, 0) << i;
        EXPECT_EQ(field.itemText(at), SystemColorName(i));
        EXPECT_FALSE(SystemColorName(i).isEmpty());
    }
    const int none = indexOfValue(field, ColorValue::None);
    ASSERT_GE(none, 0);
    EXPECT_EQ(field.itemText(none), "无");
    EXPECT_EQ(field.itemText(field.count() - 1), "自定义…");
    // Every choice shows its sample.
    EXPECT_FALSE(field.itemIcon(none).isNull());
    EXPECT_FALSE(field.itemIcon(indexOfValue(field, sys(15))).isNull());
}

TEST(ColorField, UserPicksAnEntryOrACustomColour) {
    QWidget window;
    auto* field = new ColorField(&window);
    (new QVBoxLayout(&window))->addWidget(field);
    field->setValue(sys(15));
    ASSERT_TRUE(showActive(&window));
    QSignalSpy picked(field, &ColorField::valueChanged);

    pickFromList(*field, indexOfValue(*field, ColorValue::None));
    EXPECT_EQ(field->value(), ColorValue::None);
    ASSERT_EQ(picked.count(), 1);
    EXPECT_EQ(picked.takeFirst().at(0).toInt(), ColorValue::None);

    // "自定义…": the colour dialog; Cancel keeps the value and its entry.
    ModalDriver driver;
    driver.on("ColorDialog", [](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    pickFromList(*field, field->count() - 1);
    ASSERT_TRUE(waitUntil([&] { return driver.answered("ColorDialog") == 1; }));
    EXPECT_EQ(field->value(), ColorValue::None);
    EXPECT_EQ(field->currentText(), "无");
    EXPECT_EQ(picked.count(), 0);

    // OK takes the chosen colour as a plain value, shown by its code.
    driver.on("ColorDialog", [](QWidget* w) {
        auto* dialog = static_cast<QColorDialog*>(w);
        dialog->setCurrentColor(QColor(0x12, 0x34, 0x56));
        dialog->accept();
    });
    pickFromList(*field, field->count() - 1);
    ASSERT_TRUE(waitUntil([&] { return picked.count() == 1; }));
    EXPECT_EQ(field->value(), 0x563412);
    EXPECT_EQ(field->currentText(), "#123456");
}

TEST(ColorField, KeysAndTheWheelStepThroughColoursButNeverOpenTheDialog) {
    QWidget window;
    auto* field = new ColorField(&window);
    auto* other = new QLineEdit(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(field);
    layout->addWidget(other);
    field->setValue(0x0000FF); // 红色
    ASSERT_TRUE(showActive(&window));
    QSignalSpy picked(field, &ColorField::valueChanged);
    ModalDriver driver;
    driver.on("ColorDialog", [](QWidget* w) { static_cast<QDialog*>(w)->reject(); });

    // Over a field without the focus the wheel changes nothing.
    other->setFocus();
    ASSERT_TRUE(waitUntil([&] { return other->hasFocus(); }));
    const QPoint g = field->mapToGlobal(field->rect().center());
    x11::xdotool({"mousemove", QString::number(g.x()), QString::number(g.y()), "click", "5"});
    QTest::qWait(200);
    EXPECT_EQ(field->value(), 0x0000FF);

    field->setFocus();
    ASSERT_TRUE(waitUntil([&] { return field->hasFocus(); }));
    keys({"Down"});
    ASSERT_TRUE(waitUntil([&] { return picked.count() == 1; }));
    EXPECT_EQ(field->value(), 0x00FF00); // the next one, 亮绿色
    keys({"End"});                       // onto "自定义…"
    QTest::qWait(300);
    EXPECT_EQ(driver.answered("ColorDialog"), 0);
    EXPECT_EQ(field->value(), 0x00FF00);
    EXPECT_EQ(field->currentText(), "亮绿色");
    EXPECT_EQ(picked.count(), 1);
}

TEST(ColorSwatch, LeftPressOpensTheColourDialogOnItsValue) {
    QWidget window;
    auto* swatch = new ColorSwatch(&window);
    (new QVBoxLayout(&window))->addWidget(swatch);
    swatch->setValue(0x0000FF);
    ASSERT_TRUE(showActive(&window));
    QSignalSpy picked(swatch, &ColorSwatch::valueChanged);
    ModalDriver driver;
    QColor offered;
    driver.on("ColorDialog", [&](QWidget* w) {
        auto* dialog = static_cast<QColorDialog*>(w);
        offered = dialog->currentColor();
        dialog->setCurrentColor(QColor(0, 128, 0));
        dialog->accept();
    });
    const QPoint g = swatch->mapToGlobal(swatch->rect().center());
    x11::xdotool({"mousemove", QString::number(g.x()), QString::number(g.y()), "click",
                  "3"}); // the right button does nothing
    QTest::qWait(200);
    EXPECT_EQ(driver.answered("ColorDialog"), 0);
    click(swatch);
    ASSERT_TRUE(waitUntil([&] { return picked.count() == 1; }));
    EXPECT_EQ(offered, QColor(255, 0, 0));
    EXPECT_EQ(swatch->value(), 0x008000);
}

TEST(FileField, WindowsFiltersBecomeQtFilters) {
    struct Case {
        const char* windows;
        const char* qt;
    };
    const Case cases[] = {
        {"Sound files (*.*)|*.wav;*.mid;*.wma", "Sound files (*.wav *.mid *.wma)"},
        {"bmpfiles (*.*)|*.bmp", "bmpfiles (*.bmp)"},
        {"Gif files (*.*)|*.gif", "Gif files (*.gif)"},
        {"Pictures|*.jpg; *.png|Text (*.txt)|*.txt", "Pictures (*.jpg *.png);;Text (*.txt)"},
        {"All files (*.*)|*.*", "All files (*)"},
        {"*.wav;*.mid", "(*.wav *.mid)"},
        {"Sound files|", ""},
        {"Sound files|*.wav|dangling", "Sound files (*.wav)"},
        {"no patterns at all", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QtFileFilter(QString::fromUtf8(c.windows)), QString::fromUtf8(c.qt)) << c.windows;
}

TEST(FileField, BrowseOffersTheFilterAndTakesTheFullPath) {
    QTemporaryDir dir;
    for (const char* name : {"start.wav", "alarm.mid", "notes.txt"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QWidget window;
    auto* field = new FileField(&window);
    (new QVBoxLayout(&window))->addWidget(field);
    field->setFilter("Sound files (*.*)|*.wav;*.mid;*.wma");
    field->setValue(dir.filePath("start.wav"));
    ASSERT_TRUE(showActive(&window));
    QSignalSpy changed(field, &FileField::valueChanged);

    ModalDriver driver;
    QStringList filters;
    QString startDir;
    driver.on("FileDialog", [&](QWidget* w) {
        auto* dialog = static_cast<QFileDialog*>(w);
        filters = dialog->nameFilters();
        startDir = dialog->directory().absolutePath();
        chooseFile(dialog, dir.filePath("alarm.mid"));
    });
    click(field->browseButton());
    ASSERT_TRUE(waitUntil([&] { return changed.count() == 1; }));
    EXPECT_EQ(filters, QStringList{"Sound files (*.wav *.mid *.wma)"});
    EXPECT_EQ(startDir, QDir(dir.path()).absolutePath());
    EXPECT_EQ(field->value(), QDir(dir.path()).absoluteFilePath("alarm.mid"));
    EXPECT_EQ(changed.takeFirst().at(0).toString(), field->value());

    // Typing is a change too, and the value is what the field holds.
    field->lineEdit()->setFocus();
    field->lineEdit()->selectAll();
    keys({"slash", "t", "m", "p"});
    ASSERT_TRUE(waitUntil([&] { return field->value() == "/tmp"; }));
    EXPECT_GE(changed.count(), 1);
}

// A time field between two other controls of a dialog with a default OK button.
class TimeFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        TimeField::setBeeper([this] { ++beeps; });
        auto* layout = new QVBoxLayout(&dialog);
        dialog.setWindowTitle("设置");
        before = new QLineEdit(&dialog);
        field = new TimeField(&dialog);
        after = new QLineEdit(&dialog);
        ok = new QPushButton("确定", &dialog);
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        for (QWidget* w : {static_cast<QWidget*>(before), static_cast<QWidget*>(field),
                           static_cast<QWidget*>(after), static_cast<QWidget*>(ok)})
            layout->addWidget(w);
        field->setText("01:00");
        driver.onEvery("InvalidInputMessage", [this](QWidget* w) {
            auto* box = static_cast<QMessageBox*>(w);
            messages << box->text();
            box->accept();
        });
        dialog.setModal(false);
        ASSERT_TRUE(showActive(&dialog));
        field->setFocus();
        ASSERT_TRUE(waitUntil([&] { return field->hasFocus(); }));
        field->setCursorPosition(0);
    }
    void TearDown() override { TimeField::setBeeper(nullptr); }

    // Waits for the refusal and its message box to be over.
    bool refused() {
        return waitUntil([&] { return !messages.isEmpty() && !QApplication::activeModalWidget(); });
    }

    QDialog dialog;
    QLineEdit* before;
    TimeField* field;
    QLineEdit* after;
    QPushButton* ok;
    ModalDriver driver;
    QStringList messages;
    int beeps = 0;
};

TEST_F(TimeFieldTest, MaskAndFaceAreThoseOfATime) {
    EXPECT_EQ(field->inputMask(), "99:99;_");
    EXPECT_EQ(field->displayText(), "01:00");
    EXPECT_EQ(field->font().family(), "Arial");
    field->setText("5");
    EXPECT_FALSE(field->hasAcceptableInput());
    EXPECT_EQ(field->displayText(), "5_:__");
}

TEST_F(TimeFieldTest, CompleteChangeLeavesQuietly) {
    keys({"1", "2", "3", "0", "Tab"});
    ASSERT_TRUE(waitUntil([&] { return after->hasFocus(); }));
    EXPECT_EQ(field->text(), "12:30");
    EXPECT_EQ(beeps, 0);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(TimeFieldTest, IncompleteChangeBeepsWarnsAndKeepsTheFocus) {
    keys({"Delete", "Tab"});
    ASSERT_TRUE(refused());
    EXPECT_EQ(messages, QStringList{"Invalid input value.  Use escape key to abandon changes"});
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(waitUntil([&] { return field->hasFocus(); }));
    EXPECT_TRUE(field->displayText().contains('_')) << field->displayText().toStdString();

    // Completing it lets the focus go.
    keys({"ctrl+a", "0", "2", "0", "0", "Tab"});
    ASSERT_TRUE(waitUntil([&] { return after->hasFocus(); }));
    EXPECT_EQ(field->text(), "02:00");
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(TimeFieldTest, EscapeAbandonsTheChange) {
    keys({"Delete", "Delete", "Escape"});
    ASSERT_TRUE(waitUntil([&] { return field->displayText() == "01:00"; }));
    EXPECT_TRUE(dialog.isVisible()); // Esc went to the field, not to the dialog
    keys({"Tab"});
    ASSERT_TRUE(waitUntil([&] { return after->hasFocus(); }));
    EXPECT_EQ(beeps, 0);
    EXPECT_TRUE(messages.isEmpty());

    // Without a change to abandon, Esc is the dialog's again.
    field->setFocus();
    ASSERT_TRUE(waitUntil([&] { return field->hasFocus(); }));
    keys({"Escape"});
    EXPECT_TRUE(waitUntil([&] { return !dialog.isVisible(); }));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(TimeFieldTest, IncompleteChangeIsNotSavedByEnterOrAClickOnOk) {
    keys({"Delete", "Return"});
    ASSERT_TRUE(refused());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(waitUntil([&] { return field->hasFocus(); }));

    click(ok);
    ASSERT_TRUE(
        waitUntil([&] { return messages.size() == 2 && !QApplication::activeModalWidget(); }));
    QTest::qWait(100);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_TRUE(waitUntil([&] { return field->hasFocus(); }));
    EXPECT_EQ(beeps, 2);
}

TEST_F(TimeFieldTest, LoadedIncompleteTextIsNotRefused) {
    field->setText("5"); // as read from a broken js.ini; not the user's change
    keys({"Tab"});
    ASSERT_TRUE(waitUntil([&] { return after->hasFocus(); }));
    QTest::qWait(50);
    EXPECT_EQ(beeps, 0);
    EXPECT_TRUE(messages.isEmpty());
}

TEST(SpinFields, ValuesOutsideTheRangeBecomeTheNearestBound) {
    struct Case {
        int minimum, maximum, loaded, shown;
    };
    const Case cases[] = {
        {0, 120, 150, 120}, {0, 120, -5, 0},     {0, 120, 30, 30},      {2, 40, 0, 2},
        {-20, 20, 255, 20}, {-20, 20, -21, -20}, {-360, 360, 720, 360},
    };
    for (const Case& c : cases) {
        SpinField spin(c.minimum, c.maximum);
        spin.setValue(c.loaded);
        EXPECT_EQ(spin.value(), c.shown) << c.minimum << ".." << c.maximum << " " << c.loaded;
    }
    const Case slides[] = {{20, 255, 10, 20}, {20, 255, 300, 255}, {20, 255, 128, 128}};
    for (const Case& c : slides) {
        SliderField slider(c.minimum, c.maximum, 5);
        slider.setValue(c.loaded);
        EXPECT_EQ(slider.value(), c.shown) << c.loaded;
        EXPECT_EQ(slider.singleStep(), 5);
    }
}

TEST(SpinFields, TypedValueBelowTheRangeBecomesTheLowerBoundOnLeaving) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* spin = new SpinField(2, 40, &window);
    auto* other = new QLineEdit(&window);
    layout->addWidget(spin);
    layout->addWidget(other);
    spin->setValue(20);
    ASSERT_TRUE(showActive(&window));
    spin->setFocus();
    ASSERT_TRUE(waitUntil([&] { return spin->hasFocus(); }));
    spin->selectAll();
    keys({"1", "Tab"});
    ASSERT_TRUE(waitUntil([&] { return other->hasFocus(); }));
    EXPECT_EQ(spin->value(), 2);
    EXPECT_EQ(spin->text(), "2");
}
