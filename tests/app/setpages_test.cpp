// The settings dialog's pages of the display modes 进度条, 提示窗 and GIF, each made on the
// real main window and driven the way the dialog drives it: what a page loads, which of
// its handlers the loading runs, what it saves and in which order, and what its previews
// do to the window and the bars, read from the window and from the screen.
#include "../widgets/dialogtesting.h"
#include "appfixture.h"
#include "colorfield.h"
#include "colors.h"
#include "filefield.h"
#include "fillobject.h"
#include "fontcolordialog.h"
#include "gifpage.h"
#include "progressfillbar.h"
#include "progressmode.h"
#include "progresspage.h"
#include "promptpage.h"
#include "spinfield.h"
#include "tfrm_setsys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>

#include <functional>
#include <vector>

namespace {

QByteArray ini(std::initializer_list<const char*> lines) {
    QByteArray text;
    for (const char* line : lines)
        text += QByteArray(line) + "\r\n";
    return text;
}

std::string rectText(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4")
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .toStdString();
}

// The "key=value" lines of a section, in the order the file holds them.
QStringList linesOf(const QString& path, const QString& section) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList lines;
    bool inside = false;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inside = line.compare(QStringLiteral("[%1]").arg(section), Qt::CaseInsensitive) == 0;
        } else if (inside && !line.isEmpty()) {
            lines << line;
        }
    }
    return lines;
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The user's choice of a list item: the lists preview only what is picked, never what is
// loaded.
void choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void pick(ColorField* field, qint32 value) {
    field->setValue(value);
    emit field->valueChanged(value);
}

QImage screenAt(const QRect& r) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, r.x(), r.y(), r.width(), r.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

struct Spot {
    QPoint at; // on the screen
    QRgb colour;
};

// Waits until the screen shows every spot's colour; reports those it does not.
bool screenShows(const std::vector<Spot>& spots) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QImage seen;
    const bool all = Eventually([&] {
        seen = screenAt(screen);
        for (const Spot& s : spots)
            if (seen.pixel(s.at) != s.colour) return false;
        return true;
    });
    for (const Spot& s : spots)
        EXPECT_EQ(QColor(seen.pixel(s.at)).name().toStdString(),
                  QColor(s.colour).name().toStdString())
            << s.at.x() << "," << s.at.y();
    return all;
}

class SettingsPagesTest : public AppFixture {
protected:
    void startIn(int mode, const QByteArray& text) {
        frm.reset();
        writeIni(QByteArray("[SYSTEM]\r\nStartMode=") + QByteArray::number(mode) + "\r\n" + text);
        start();
    }
    QString iniPath() { return dir.filePath(QStringLiteral("js.ini")); }
    // The file with nothing of the page's section, so that a save shows its order.
    void clearIni(int mode) {
        writeIni(QByteArray("[SYSTEM]\r\nStartMode=") + QByteArray::number(mode) + "\r\n");
    }
    ProgressMode& progress() { return mode<ProgressMode>(); }
    ProgressFillBar* bar() { return progress().ProgressFill; }

    // The progress page as the dialog makes and loads it: the page, then the dialog's own
    // 显示总进度, then the end of the loading.
    std::unique_ptr<ProgressPage> openProgressPage() {
        auto page = std::make_unique<ProgressPage>(*frm, nullptr);
        page->Load();
        page->cb_total->setChecked(frm->Settings().ReadBool("System", "Total", false));
        page->Loaded();
        return page;
    }
};

// ---- 进度条 ----

TEST_F(SettingsPagesTest, ProgressPageShowsTheFileAndSavesInItsOrder) {
    startIn(1, ini({"[Progress]", "OptionText=7", "Style=2", "Bitmap=pic.bmp", "BitmapTile=3",
                    "Grident_ColorCnt=150", "Grident_Color=-16777201", // the system's button face
                    "Grident_EndColor=536870911",                      // no colour
                    "Total_Color=255", "Grident_Style=9", "Align=1", "Caption=讲台",
                    "Caption_FName=DejaVu Sans", "Caption_FSize=11", "Caption_FColor=65280",
                    "Color=16711680", "Height=1", "Full=0", "Recycle=1"}));
    auto page = openProgressPage();
    EXPECT_EQ(page->objectName(), "TabSheet2");
    EXPECT_EQ(page->PageControl2->tabPosition(), QTabWidget::West);
    EXPECT_EQ(page->PageControl2->currentWidget(), page->TabSheet5);
    EXPECT_EQ(page->PageControl2->tabText(0), "系统");
    EXPECT_EQ(page->PageControl2->tabText(1), "效果");
    EXPECT_EQ(page->CB_OptionText->currentIndex(), -1); // 7 is no item
    EXPECT_EQ(page->CB_OptionText->currentText(), "");
    EXPECT_EQ(page->cb_style->currentText(), "BrushBitmap/画刷位图");
    EXPECT_EQ(page->FileEdit_Bitmap->value(), "pic.bmp");
    EXPECT_EQ(page->cb_bitmap_tile->currentText(), "tmTile/平铺");
    EXPECT_EQ(page->SpinEdit_ColorCnt->value(), 100); // limited to 0..100
    EXPECT_EQ(page->ColorEdit->value(), -16777201);
    EXPECT_EQ(page->ColorEdit_End->value(), 536870911);
    EXPECT_EQ(page->cb_grident->currentText(), "gstVertical");
    EXPECT_EQ(page->CB_Align->currentText(), "Bottom/底部");
    EXPECT_EQ(page->edt_caption->text(), "讲台");
    EXPECT_EQ(page->SpinEdit_Height->value(), 2); // limited to 2..40
    EXPECT_FALSE(page->CheckBox_full->isChecked());
    EXPECT_TRUE(page->CheckBox_Recycle->isChecked());

    clearIni(1);
    page->Save();
    const QStringList expected = {"OptionText=-1",
                                  "Style=2",
                                  "Bitmap=pic.bmp",
                                  "BitmapTile=3",
                                  "Grident_ColorCnt=100",
                                  "Grident_Color=-16777201",
                                  "Grident_EndColor=536870911",
                                  "Total_Color=255",
                                  "Grident_Style=9",
                                  "Align=1",
                                  "Caption=讲台",
                                  "Caption_FSize=11",
                                  "Caption_FName=DejaVu Sans",
                                  "Caption_FColor=65280",
                                  "Color=16711680",
                                  "Height=2",
                                  "Full=0",
                                  "Recycle=1"};
    EXPECT_EQ(linesOf(iniPath(), "Progress"), expected);
    EXPECT_TRUE(bytesOf(iniPath()).startsWith("[SYSTEM]\r\nStartMode=1\r\n"));
}

// Loading sets the controls by program: the check box, the spin and the text fields run
// their previews when the file's value differs from the control's first one (20, 20,
// empty, unchecked); the lists, the colours and the bitmap name run none.
TEST_F(SettingsPagesTest, ProgressPageLoadingRunsOnlyThePreviewsOfChangedValues) {
    const QString good = dir.filePath(QStringLiteral("fill.bmp"));
    QImage picture(6, 4, QImage::Format_RGB32);
    picture.fill(qRgb(10, 20, 30));
    ASSERT_TRUE(picture.save(good, "BMP"));
    QImage mark(3, 3, QImage::Format_RGB32);
    mark.fill(qRgb(200, 0, 0));
    const QRect moved(100, 100, 300, 30);
    struct Case {
        const char* name;
        QByteArray progress;
        int colorCount;
        QString caption;
        QRect window;
    };
    const Case cases[] = {
        {"the first values: nothing previews",
         ini({"Height=20", "Grident_ColorCnt=20", "Full=0", "OptionText=0", "Style=0",
              "Grident_Style=3", "Color=255", "Grident_EndColor=65280"}),
         77, "标记", moved},
        {"Full differs: the window takes the whole width", ini({"Full=1", "Align=0"}), 77, "标记",
         QRect(100, 100, 1280, 30)},
        {"height, colours and caption differ",
         ini({"Height=10", "Grident_ColorCnt=5", "Caption=讲台", "Full=0", "Align=1"}), 5, "讲台",
         QRect(0, 1014, 1280, 10)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        startIn(1, "[Progress]\r\nBitmap=" + good.toUtf8() + "\r\n" + c.progress);
        // What the loading may change, set apart from every stored value.
        bar()->setCaption(QStringLiteral("标记"));
        bar()->setGradientColorCount(77);
        bar()->setTextOption(TextOption::toNoText);
        bar()->setFillStyle(FillStyle::sfBrush);
        bar()->setGradientStyle(GradientStyle::gstElliptic);
        bar()->setColor(Qt::white);
        bar()->setGradientEndColor(Qt::black);
        bar()->setBitmap(mark);
        frm->setGeometry(moved);
        ProgressPage page(*frm, nullptr);
        page.Load();
        EXPECT_EQ(bar()->gradient().colorCount(), c.colorCount);
        EXPECT_EQ(bar()->caption(), c.caption);
        EXPECT_EQ(rectText(frm->geometry()), rectText(c.window));
        EXPECT_EQ(bar()->textOption(), TextOption::toNoText);
        EXPECT_EQ(bar()->fillStyle(), FillStyle::sfBrush);
        EXPECT_EQ(bar()->gradient().style(), GradientStyle::gstElliptic);
        EXPECT_EQ(bar()->color(), QColor(Qt::white));
        EXPECT_EQ(QColor(bar()->gradient().endColor()), QColor(Qt::black));
        EXPECT_EQ(bar()->fillObject().bitmap, mark); // the window has loaded the file itself
        EXPECT_EQ(page.FileEdit_Bitmap->value(), good);
    }
}

// The preview lays the bars out along the whole screen side, the plan row as eight equal
// bars, whatever the running layout was.
TEST_F(SettingsPagesTest, PreviewBarLayoutOnTheWindowAndTheScreen) {
    const QRgb stageColours[8] = {qRgb(255, 0, 0),     qRgb(0, 255, 0),   qRgb(0, 0, 255),
                                  qRgb(255, 255, 0),   qRgb(255, 0, 255), qRgb(0, 255, 255),
                                  qRgb(128, 128, 128), qRgb(128, 0, 0)};
    const QRgb mainColour = qRgb(0, 0, 128);
    const QByteArray look =
        ini({"OptionText=1", "Color=8388608", "[Group]", "Color1=255", "Color2=65280",
             "Color3=16711680", "Color4=65535", "Color5=16711935", "Color6=16776960",
             "Color7=8421504", "Color8=128"});
    struct Case {
        const char* name;
        const char* total;                       // [System] Total
        const char* placement;                   // [Progress] Align
        std::function<void(ProgressPage&)> edit; // what the user does in the page
        QRect window, mainBar;
        bool stageBars;
        std::vector<QRect> bars; // on the screen
    };
    std::vector<QRect> bottomRow, none;
    for (int i = 0; i < 8; ++i)
        bottomRow.push_back(QRect(160 * i, 984, 160, 20));
    const Case cases[] = {
        {"bottom, 20, plan row: 40 pixels high on the bottom edge", "1", "1", nullptr,
         QRect(0, 984, 1280, 40), QRect(0, 20, 1280, 20), true, bottomRow},
        {"right, 20, no plan row: 20 pixels wide, the whole height", "0", "3", nullptr,
         QRect(1260, 0, 20, 1024), QRect(0, 0, 20, 1024), false, none},
        {"from the left with the plan row to the top without it", "1", "2",
         [](ProgressPage& page) {
             page.cb_total->click();
             choose(page.CB_Align, 0);
         },
         QRect(0, 0, 1280, 20), QRect(0, 0, 1280, 20), false, none},
        {"a thicker bar picked in the spin field", "0", "0",
         [](ProgressPage& page) { page.SpinEdit_Height->setValue(33); }, QRect(0, 0, 1280, 33),
         QRect(0, 0, 1280, 33), false, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        startIn(1, QByteArray("Total=") + c.total +
                       "\r\n[Progress]\r\nHeight=20\r\nAlign=" + c.placement + "\r\n" + look);
        auto page = openProgressPage();
        if (c.edit) c.edit(*page);
        EXPECT_EQ(rectText(frm->geometry()), rectText(c.window));
        EXPECT_EQ(rectText(bar()->geometry()), rectText(c.mainBar));
        EXPECT_EQ(bar()->direction(), c.window.width() < c.window.height()
                                          ? FillDirection::mdVerticalReverse
                                          : FillDirection::mdHorizontal);
        for (int i = 0; i < 8; ++i) {
            ProgressFillBar* f = progress().StageBars[i];
            EXPECT_EQ(f->isVisible(), c.stageBars) << i;
            if (c.stageBars) {
                EXPECT_EQ(rectText(QRect(f->mapToGlobal(QPoint(0, 0)), f->size())),
                          rectText(c.bars[i]))
                    << "F" << i + 1;
            }
        }
        // On the screen: the main bar over its whole length, and each stage bar's colour.
        const QRect main(bar()->mapToGlobal(QPoint(0, 0)), bar()->size());
        std::vector<Spot> spots = {{main.topLeft(), mainColour},
                                   {main.bottomRight(), mainColour},
                                   {main.center(), mainColour}};
        if (c.stageBars)
            for (int i = 0; i < 8; ++i) {
                spots.push_back({c.bars[i].topLeft() + QPoint(1, 1), stageColours[i]});
                spots.push_back({c.bars[i].bottomRight() - QPoint(1, 1), stageColours[i]});
            }
        EXPECT_TRUE(screenShows(spots));
    }
}

TEST_F(SettingsPagesTest, FullWidthClickSetsOnlyTheWindowsLength) {
    struct Case {
        const char* align;
        QSize checked, unchecked;
    };
    const Case cases[] = {
        {"0", QSize(1280, 20), QSize(640, 20)}, // top: the width
        {"1", QSize(1280, 20), QSize(640, 20)},
        {"2", QSize(20, 1024), QSize(20, 512)}, // left: the height
        {"3", QSize(20, 1024), QSize(20, 512)},
        {"9", QSize(), QSize()}, // no placement: nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.align);
        startIn(1, QByteArray("[Progress]\r\nFull=0\r\nAlign=") + c.align + "\r\n");
        auto page = openProgressPage();
        const QRect before = frm->geometry();
        page->CheckBox_full->click();
        EXPECT_EQ(frm->pos(), before.topLeft());
        EXPECT_EQ(frm->size(), c.checked.isValid() ? c.checked : before.size());
        page->CheckBox_full->click();
        EXPECT_EQ(frm->pos(), before.topLeft());
        EXPECT_EQ(frm->size(), c.unchecked.isValid() ? c.unchecked : before.size());
    }
}

TEST_F(SettingsPagesTest, ProgressPagePreviewsOnTheMainBar) {
    startIn(1, ini({"[Progress]", "OptionText=2", "Style=1", "Caption=讲台"}));
    auto page = openProgressPage();
    struct Case {
        const char* what;
        std::function<void()> edit;
        std::function<bool()> shows;
    };
    const Case cases[] = {
        {"caption typed", [&] { page->edt_caption->setText(QStringLiteral("主题")); },
         [&] { return bar()->caption() == "主题"; }},
        {"text: caption", [&] { choose(page->CB_OptionText, 0); },
         [&] { return bar()->textOption() == TextOption::toCaption && bar()->text() == "主题"; }},
        {"text: none", [&] { choose(page->CB_OptionText, 1); },
         [&] { return bar()->textOption() == TextOption::toNoText; }},
        {"text: percentage", [&] { choose(page->CB_OptionText, 2); },
         [&] { return bar()->textOption() == TextOption::toPercent; }},
        {"text: the stage name's stand-in, the option kept",
         [&] { choose(page->CB_OptionText, 3); },
         [&] {
             return bar()->caption() == "阶段名称" && bar()->textOption() == TextOption::toPercent;
         }},
        {"style: bitmap", [&] { choose(page->cb_style, 0); },
         [&] { return bar()->fillStyle() == FillStyle::sfBitmap; }},
        {"style: brush bitmap", [&] { choose(page->cb_style, 2); },
         [&] { return bar()->fillStyle() == FillStyle::sfBrushBitmap; }},
        {"style: gradient", [&] { choose(page->cb_style, 1); },
         [&] { return bar()->fillStyle() == FillStyle::sfGradient; }},
        {"tile: centred", [&] { choose(page->cb_bitmap_tile, 1); },
         [&] { return bar()->tileMode() == TileMode::tmCenter; }},
        {"tile: tiled", [&] { choose(page->cb_bitmap_tile, 3); },
         [&] { return bar()->tileMode() == TileMode::tmTile; }},
        {"tile: none", [&] { choose(page->cb_bitmap_tile, 0); },
         [&] { return bar()->tileMode() == TileMode::tmNone; }},
        // The alphabetical list names the style: its index is not the style's number.
        {"gradient: the first item", [&] { choose(page->cb_grident, 0); },
         [&] { return bar()->gradient().style() == GradientStyle::gstBottomLeft; }},
        {"gradient: gstHorizontal", [&] { choose(page->cb_grident, 3); },
         [&] { return bar()->gradient().style() == GradientStyle::gstHorizontal; }},
        {"gradient: gstVertical", [&] { choose(page->cb_grident, 9); },
         [&] { return bar()->gradient().style() == GradientStyle::gstVertical; }},
        {"colour steps", [&] { page->SpinEdit_ColorCnt->setValue(7); },
         [&] { return bar()->gradient().colorCount() == 7; }},
        {"end colour", [&] { pick(page->ColorEdit_End, 65280); },
         [&] { return QColor(bar()->gradient().endColor()) == QColor(0, 255, 0); }},
        {"background", [&] { pick(page->ColorEdit_Fill, 255); },
         [&] { return bar()->color() == QColor(255, 0, 0); }},
    };
    for (const Case& c : cases) {
        c.edit();
        EXPECT_TRUE(c.shows()) << c.what;
    }
    // Colours without a preview.
    const QRgb start = bar()->gradient().startColor();
    pick(page->ColorEdit, 65535);
    pick(page->ColorEdit_Total, 65535);
    EXPECT_EQ(bar()->gradient().startColor(), start);

    // The picked background on the screen, the unfilled bar at position 0.
    const QRect main(bar()->mapToGlobal(QPoint(0, 0)), bar()->size());
    EXPECT_TRUE(screenShows(
        {{main.topLeft(), qRgb(255, 0, 0)}, {main.bottomRight() - QPoint(2, 0), qRgb(255, 0, 0)}}));
}

// A bitmap name is tried once it is complete; a file that cannot be used is reported once,
// the bar keeps its picture, and the page stays.
TEST_F(SettingsPagesTest, BitmapPreviewReportsAMissingOrBrokenFile) {
    const QString good = dir.filePath(QStringLiteral("fill.bmp"));
    QImage picture(6, 4, QImage::Format_RGB32);
    picture.fill(qRgb(10, 20, 30));
    ASSERT_TRUE(picture.save(good, "BMP"));
    const QString broken = dir.filePath(QStringLiteral("broken.bmp"));
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(300, '\x5a'));
    }
    const QString cut = dir.filePath(QStringLiteral("cut.bmp"));
    {
        QFile f(cut);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytesOf(good).left(60));
    }
    startIn(1, ini({"[Progress]", "Style=0"}));
    auto page = openProgressPage();
    ASSERT_TRUE(dialogtesting::showActive(page.get()));
    const QImage builtIn = bar()->fillObject().bitmap;
    MessageBoxCatcher catcher;

    QLineEdit* edit = page->FileEdit_Bitmap->lineEdit();
    edit->setFocus();
    ASSERT_TRUE(Eventually([&] { return edit->hasFocus(); }));
    QTest::keyClicks(edit, QStringLiteral("missing.bmp"));
    QTest::qWait(100);
    EXPECT_EQ(catcher.seen, 0); // no box for every keystroke
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_TRUE(Eventually([&] { return catcher.seen == 1; }));
    EXPECT_TRUE(catcher.text.contains(QStringLiteral("missing.bmp"))) << catcher.text.toStdString();
    EXPECT_TRUE(catcher.text.contains(QStringLiteral("不存在"))) << catcher.text.toStdString();
    EXPECT_EQ(bar()->fillObject().bitmap, builtIn);

    // As the file dialog puts names in.
    ASSERT_TRUE(dialogtesting::showActive(page.get())); // the box took the activation
    page->cb_bitmap_tile->setFocus();
    ASSERT_TRUE(Eventually([&] { return page->cb_bitmap_tile->hasFocus(); }));
    struct Case {
        QString path;
        bool loads;
    };
    for (const Case& c : {Case{broken, false}, Case{cut, false}, Case{good, true}}) {
        SCOPED_TRACE(c.path.toStdString());
        const int seen = catcher.seen;
        page->FileEdit_Bitmap->setValue(c.path);
        if (c.loads) {
            EXPECT_EQ(bar()->fillObject().bitmap, picture);
            QTest::qWait(100);
            EXPECT_EQ(catcher.seen, seen);
        } else {
            ASSERT_TRUE(Eventually([&] { return catcher.seen == seen + 1; }));
            EXPECT_TRUE(catcher.text.contains(c.path)) << catcher.text.toStdString();
            EXPECT_TRUE(catcher.text.contains(QStringLiteral("无法读取")))
                << catcher.text.toStdString();
            EXPECT_EQ(bar()->fillObject().bitmap, builtIn);
        }
        EXPECT_TRUE(page->isVisible());
    }
    // Leaving the field with the same name tries nothing again.
    ASSERT_TRUE(dialogtesting::showActive(page.get())); // the boxes took the activation
    edit->setFocus();
    ASSERT_TRUE(Eventually([&] { return edit->hasFocus(); }));
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::qWait(100);
    EXPECT_EQ(catcher.seen, 3);

    clearIni(1);
    page->Save();
    EXPECT_TRUE(linesOf(iniPath(), "Progress").contains("Bitmap=" + good));
}

TEST_F(SettingsPagesTest, CaptionFontComesFromTheFontDialogAndIsSavedFromTheBar) {
    startIn(1, ini({"[Progress]", "Caption_FName=DejaVu Sans", "Caption_FSize=9",
                    "Caption_FColor=255"}));
    auto page = openProgressPage();
    dialogtesting::ModalDriver driver;
    driver.on("FontDialog", [](QWidget* w) {
        auto* fonts = static_cast<FontColorDialog*>(w);
        QFont f(QStringLiteral("DejaVu Serif"));
        f.setPointSize(20);
        fonts->setCurrentFont(f);
        fonts->reject();
    });
    page->btn_CaptionFont->click();
    EXPECT_EQ(driver.answered("FontDialog"), 1);
    EXPECT_EQ(bar()->font().family(), "DejaVu Sans");
    EXPECT_EQ(bar()->fontColor(), QColor(255, 0, 0));

    driver.on("FontDialog", [](QWidget* w) {
        auto* fonts = static_cast<FontColorDialog*>(w);
        QFont f(QStringLiteral("DejaVu Serif"));
        f.setPointSize(14);
        fonts->setCurrentFont(f);
        fonts->setCurrentColor(QColor(0, 0, 200));
        fonts->accept();
    });
    page->btn_CaptionFont->click();
    EXPECT_EQ(driver.answered("FontDialog"), 2);
    EXPECT_EQ(bar()->font().family(), "DejaVu Serif");
    EXPECT_EQ(bar()->fontColor(), QColor(0, 0, 200));

    clearIni(1);
    page->Save();
    const QStringList lines = linesOf(iniPath(), "Progress");
    const int at = lines.indexOf("Caption_FSize=14");
    ASSERT_GE(at, 0) << lines.join(" ").toStdString();
    EXPECT_EQ(lines.mid(at, 3), (QStringList{"Caption_FSize=14", "Caption_FName=DejaVu Serif",
                                             QStringLiteral("Caption_FColor=%1").arg(200 << 16)}));
}

// ---- 提示窗 ----

TEST_F(SettingsPagesTest, PromptPageLoadsAndSavesInItsOrder) {
    startIn(2, ini({"[Message]", "DisplaySec=99", "DisplayInterval=-5", "TimeOutAutoClose=0",
                    "Color_Over=-16777201", "Color_Alarm=536870911", "DJS=301"}));
    PromptPage page(*frm, nullptr);
    page.Load();
    EXPECT_EQ(page.SpinEdit_disp->value(), 30);
    EXPECT_EQ(page.SpinEdit_interval->value(), 0);
    EXPECT_EQ(page.SE_DJS_MESS->value(), 300);
    EXPECT_FALSE(page.CheckBox_Over->isChecked());
    EXPECT_EQ(page.Color_Over_message->value(), -16777201);
    EXPECT_EQ(page.Color_Alarm_message->value(), 536870911);
    EXPECT_EQ(page.SpinEdit_disp->toolTip(), "设置为0一直显示");

    QLabel* l = frm->Surfaces().promptLabel;
    clearIni(2);
    page.Save();
    QStringList expected;
    if (l) {
        const QFont font = l->font();
        expected << "Fontname=" + font.family()
                 << QStringLiteral("FontColor=%1")
                        .arg(ValueFromColor(l->palette().color(QPalette::WindowText)))
                 << QStringLiteral("Fontsize=%1").arg(font.pointSize()) << "FontStyle=[]";
    }
    expected << "DisplaySec=30"
             << "DisplayInterval=0"
             << "TimeOutAutoClose=0"
             << "Color_Over=-16777201"
             << "Color_Alarm=536870911"
             << "DJS=300";
    EXPECT_EQ(linesOf(iniPath(), "Message"), expected);
}

// Until the window has the prompt label, the font button does nothing and the save keeps
// the stored font.
TEST_F(SettingsPagesTest, PromptPageWithoutTheLabelKeepsTheStoredFont) {
    startIn(2, ini({"[Message]", "Fontname=黑体", "Fontsize=20"}));
    if (frm->Surfaces().promptLabel) GTEST_SKIP() << "the window shows the prompt label";
    PromptPage page(*frm, nullptr);
    page.Load();
    dialogtesting::ModalDriver driver;
    driver.on("FontDialog", [](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    page.Button1->click();
    QTest::qWait(100);
    EXPECT_EQ(driver.answered("FontDialog"), 0);
    page.Save();
    EXPECT_EQ(frm->Settings().ReadString("Message", "Fontname", ""), "黑体");
    EXPECT_EQ(frm->Settings().ReadString("Message", "Fontsize", ""), "20");
    EXPECT_EQ(frm->Settings().ReadString("Message", "FontStyle", "<none>"), "<none>");
}

TEST_F(SettingsPagesTest, PromptFontButtonDressesTheLabelAndSizesTheWindow) {
    startIn(2, ini({"[Message]", "Fontname=DejaVu Sans", "Fontsize=12"}));
    QLabel* l = frm->Surfaces().promptLabel;
    if (!l) GTEST_SKIP() << "the window has no prompt label yet";
    PromptPage page(*frm, nullptr);
    page.Load();
    dialogtesting::ModalDriver driver;
    driver.on("FontDialog", [](QWidget* w) {
        auto* fonts = static_cast<FontColorDialog*>(w);
        QFont f(QStringLiteral("DejaVu Serif"));
        f.setPointSize(30);
        f.setBold(true);
        fonts->setCurrentFont(f);
        fonts->setCurrentColor(QColor(0, 0, 200));
        fonts->accept();
    });
    page.Button1->click();
    ASSERT_EQ(driver.answered("FontDialog"), 1);
    EXPECT_EQ(l->font().family(), "DejaVu Serif");
    EXPECT_EQ(l->palette().color(QPalette::WindowText), QColor(0, 0, 200));
    // The window closely encloses the label, which keeps its place.
    EXPECT_EQ(frm->size(), l->size() + QSize(2 * l->x(), 2 * l->y()));
    // The text on the screen in the chosen colour.
    const QRect shown(l->mapToGlobal(QPoint(0, 0)), l->size());
    EXPECT_TRUE(Eventually([&] {
        const QImage seen = screenAt(shown);
        for (int y = 0; y < seen.height(); ++y)
            for (int x = 0; x < seen.width(); ++x)
                if (seen.pixel(x, y) == qRgb(0, 0, 200)) return true;
        return false;
    }));
    clearIni(2);
    page.Save();
    EXPECT_EQ(linesOf(iniPath(), "Message").mid(0, 4),
              (QStringList{"Fontname=DejaVu Serif", QStringLiteral("FontColor=%1").arg(200 << 16),
                           "Fontsize=30", "FontStyle=[fsBold]"}));
}

// ---- GIF ----

TEST_F(SettingsPagesTest, GifPageLoadsAndSavesInItsOrder) {
    struct Case {
        const char* name;
        QByteArray text;
        int interval;
        int direction; // the item shown
        int choose;    // the item chosen before the save, or -2 for none
        QStringList saved;
    };
    const Case cases[] = {
        {"150 shows as 120; H=1 is 横向",
         ini({"[Gif]", "Interval=150", "GIfFile=a.gif", "SoundFile=b.wav", "H=1", "AutoClose=1"}),
         120,
         0,
         -2,
         {"Interval=120", "GIfFile=a.gif", "SoundFile=b.wav", "H=1", "AutoClose=1"}},
        {"H=0 is 纵向",
         ini({"[Gif]", "Interval=-3", "H=0"}),
         0,
         1,
         -2,
         {"Interval=0", "GIfFile=", "SoundFile=", "H=0", "AutoClose=0"}},
        {"nothing stored: 60, 横向, no file",
         QByteArray(),
         60,
         0,
         -2,
         {"Interval=60", "GIfFile=", "SoundFile=", "H=1", "AutoClose=0"}},
        {"no direction chosen saves vertical",
         ini({"[Gif]", "H=1"}),
         60,
         0,
         -1,
         {"Interval=60", "GIfFile=", "SoundFile=", "H=0", "AutoClose=0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        startIn(0, c.text); // the page needs only the file
        GifPage page(*frm, nullptr);
        page.Load();
        EXPECT_EQ(page.sp_interval->value(), c.interval);
        EXPECT_EQ(page.CB_direct_gif->currentIndex(), c.direction);
        EXPECT_EQ(page.file_sound->toolTip(), "每隐藏一个Gif动画时播放");
        if (c.choose != -2) page.CB_direct_gif->setCurrentIndex(c.choose);
        clearIni(0);
        page.Save();
        EXPECT_EQ(linesOf(iniPath(), "Gif"), c.saved);
    }
}

// ---- the pages inside the dialog ----

// The bytes of a section, from its heading to the next one.
QByteArray sectionBytes(const QByteArray& file, const QByteArray& name) {
    const QByteArray heading = "[" + name.toLower() + "]";
    int start = -1;
    qsizetype at = 0;
    while (at < file.size()) {
        qsizetype end = file.indexOf('\n', at);
        if (end < 0) end = file.size() - 1;
        const QByteArray line = file.mid(at, end - at + 1).trimmed();
        if (line.startsWith('[')) {
            if (start >= 0) return file.mid(start, at - start);
            if (line.toLower() == heading) start = int(at);
        }
        at = end + 1;
    }
    return start >= 0 ? file.mid(start) : QByteArray();
}

TEST_F(SettingsPagesTest, InTheDialogModeOneOpensOnTheProgressPagesEffects) {
    startIn(1, QByteArray());
    Tfrm_setsys dialog(*frm, frm.get());
    auto* progressPage = static_cast<ProgressPage*>(dialog.ModePage(1));
    EXPECT_EQ(dialog.page->currentWidget(), progressPage);
    EXPECT_EQ(dialog.page->tabText(dialog.page->currentIndex()), "进度条");
    EXPECT_EQ(progressPage->PageControl2->currentWidget(), progressPage->TabSheet5);
    for (int mode : {0, 2, 3})
        EXPECT_FALSE(dialog.page->isTabVisible(dialog.page->indexOf(dialog.ModePage(mode))))
            << mode;
}

TEST_F(SettingsPagesTest, InTheDialogOkInModeTwoWritesOnlyItsOwnModePage) {
    const QByteArray others = "[Normal]\r\n jsMode = 1 \r\n;a note\r\nAutoStop=0\r\n"
                              "[Progress]\r\nAlign=3\r\nheight=7\r\nOptionText=7\r\n"
                              "[Gif]\r\nInterval=150\r\nH=0\r\n";
    startIn(2, others + "[Message]\r\nDisplaySec=3\r\n");
    const QByteArray before = bytesOf(iniPath());
    {
        Tfrm_setsys dialog(*frm, frm.get());
        dialog.btnokClick();
    }
    const QByteArray after = bytesOf(iniPath());
    for (const char* section : {"Normal", "Progress", "Gif"})
        EXPECT_EQ(sectionBytes(after, section), sectionBytes(before, section)) << section;
    const QStringList message = linesOf(iniPath(), "Message");
    EXPECT_TRUE(message.contains("DisplaySec=3"));
    EXPECT_TRUE(message.contains("DisplayInterval=20"));
    EXPECT_TRUE(message.contains("DJS=10"));
}

// 显示总进度 is loaded by the dialog in every mode; in mode 1 it decides whether a stage's
// colour paints its bar at once.
TEST_F(SettingsPagesTest, InTheDialogTheStageColourPaintsItsBarOnlyWithTheOverallProgress) {
    startIn(1, ini({"Total=1", "[Progress]", "Align=0", "Height=20", "OptionText=1", "[Group]",
                    "Color3=65535"}));
    Tfrm_setsys dialog(*frm, frm.get());
    auto* progressPage = static_cast<ProgressPage*>(dialog.ModePage(1));
    ASSERT_TRUE(progressPage->cb_total->isChecked());
    ProgressFillBar* f3 = progress().StageBars[2];
    // The preview's eight equal bars: F3 is the third along the top.
    EXPECT_EQ(rectText(QRect(f3->mapToGlobal(QPoint(0, 0)), f3->size())),
              rectText(QRect(320, 0, 160, 20)));
    EXPECT_TRUE(screenShows({{QPoint(330, 5), qRgb(255, 255, 0)}}));

    pick(dialog.StageColors[2], 255);
    EXPECT_EQ(f3->color(), QColor(255, 0, 0));
    EXPECT_TRUE(
        screenShows({{QPoint(330, 5), qRgb(255, 0, 0)}, {QPoint(470, 15), qRgb(255, 0, 0)}}));

    progressPage->cb_total->click();
    pick(dialog.StageColors[2], 65280);
    EXPECT_EQ(f3->color(), QColor(255, 0, 0));
    QTest::qWait(100);
    EXPECT_TRUE(screenShows({{QPoint(330, 5), qRgb(255, 0, 0)}}));
}

} // namespace
