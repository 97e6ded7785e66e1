// The font-and-effect dialog on a real X server: its controls, the enabling of the three
// groups, the live preview on the sample label (in the effect and on the screen), the
// texture picture, the font button, and what OK and Cancel hand back to the caller.
#include "antialiasedlabel.h"
#include "colorfield.h"
#include "dialogtesting.h"
#include "fontcolordialog.h"
#include "fonteffectdialog.h"
#include "fonts.h"
#include "jpegio.h"
#include "spinfield.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace dialogtesting;

namespace {

QImage picture(int w, int h, QRgb color) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// An effect with a value of its own in every field.
TextEffect distinctEffect() {
    TextEffect e;
    e.Alpha = 90;
    e.Blur = 7;
    e.Noise = 11;
    e.Spray = 3;
    e.Angle = -45;
    e.Outline = true;
    e.HorzMirror = false;
    e.VertMirror = true;
    e.Shadow.Enabled = false;
    e.Shadow.Alpha = 55;
    e.Shadow.Blur = 33;
    e.Shadow.Color = static_cast<qint32>(0xFF000010u); // a system colour stays one
    e.Shadow.OffsetX = -4;
    e.Shadow.OffsetY = 5;
    e.Gradual.Enabled = false;
    e.Gradual.StartColor = 0x0000FF;
    e.Gradual.EndColor = 0xFF0000;
    e.Gradual.Style = gsBottomToTop;
    e.Texture.Enabled = false;
    e.Texture.Mode = tmCenter;
    e.Texture.Picture = picture(8, 8, qRgb(200, 20, 20));
    return e;
}

void expectSameEffect(const TextEffect& a, const TextEffect& b) {
    EXPECT_EQ(a.Alpha, b.Alpha);
    EXPECT_EQ(a.Blur, b.Blur);
    EXPECT_EQ(a.Noise, b.Noise);
    EXPECT_EQ(a.Spray, b.Spray);
    EXPECT_EQ(a.Angle, b.Angle);
    EXPECT_EQ(a.Outline, b.Outline);
    EXPECT_EQ(a.HorzMirror, b.HorzMirror);
    EXPECT_EQ(a.VertMirror, b.VertMirror);
    EXPECT_EQ(a.Shadow.Enabled, b.Shadow.Enabled);
    EXPECT_EQ(a.Shadow.Alpha, b.Shadow.Alpha);
    EXPECT_EQ(a.Shadow.Blur, b.Shadow.Blur);
    EXPECT_EQ(a.Shadow.Color, b.Shadow.Color);
    EXPECT_EQ(a.Shadow.OffsetX, b.Shadow.OffsetX);
    EXPECT_EQ(a.Shadow.OffsetY, b.Shadow.OffsetY);
    EXPECT_EQ(a.Gradual.Enabled, b.Gradual.Enabled);
    EXPECT_EQ(a.Gradual.StartColor, b.Gradual.StartColor);
    EXPECT_EQ(a.Gradual.EndColor, b.Gradual.EndColor);
    EXPECT_EQ(a.Gradual.Style, b.Gradual.Style);
    EXPECT_EQ(a.Texture.Enabled, b.Texture.Enabled);
    EXPECT_EQ(a.Texture.Mode, b.Texture.Mode);
    EXPECT_EQ(a.Texture.Picture, b.Texture.Picture);
}

template <class T> T* child(QWidget* dialog, const char* name) {
    T* w = dialog->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Counts how often the sample label is painted.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// Runs body on the dialog once Execute has shown it; the body closes it. A body that stops
// early (a failed assertion) leaves the dialog open, and it is cancelled.
bool executeWith(SmoothFontDialog& component, const std::function<void(FontEffectDialog*)>& body) {
    auto connection =
        QObject::connect(&component, &SmoothFontDialog::shown, [&](FontEffectDialog* dialog) {
            QTimer::singleShot(0, dialog, [&, dialog] {
                dialog->activateWindow();
                if (QTest::qWaitForWindowActive(dialog)) body(dialog);
                if (dialog->isVisible()) {
                    ADD_FAILURE() << "the dialog was left open";
                    dialog->reject();
                }
            });
        });
    const bool ok = component.Execute();
    QObject::disconnect(connection);
    return ok;
}

// Reddish and bluish text pixels in the left and right third of a screen grab.
struct Sides {
    int leftRed = 0, leftBlue = 0, rightRed = 0, rightBlue = 0;
};
Sides sidesOf(const QImage& shot) {
    Sides s;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb p = shot.pixel(x, y);
            const bool red = qRed(p) > qBlue(p) + 80, blue = qBlue(p) > qRed(p) + 80;
            if (x < shot.width() / 3) {
                s.leftRed += red;
                s.leftBlue += blue;
            } else if (x >= 2 * shot.width() / 3) {
                s.rightRed += red;
                s.rightBlue += blue;
            }
        }
    return s;
}

// Pixels within a few steps of a colour: fully covered text is one step short of it.
int countColor(const QImage& shot, QRgb color) {
    int n = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb p = shot.pixel(x, y);
            n += std::abs(qRed(p) - qRed(color)) + std::abs(qGreen(p) - qGreen(color)) +
                     std::abs(qBlue(p) - qBlue(color)) <
                 12;
        }
    return n;
}

QFont bigFont() {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(40);
    f.setBold(true);
    return f;
}

class FontEffectDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterFontSubstitutions(); }
};

} // namespace

TEST_F(FontEffectDialogTest, ControlsCarryTheirNamesCaptionsAndRanges) {
    FontEffectDialog dialog;
    EXPECT_EQ(dialog.objectName(), "FontEffectDialog");
    EXPECT_EQ(dialog.windowTitle(), "平滑特效字体");

    struct Texted {
        const char* name;
        const char* text;
    };
    const Texted groups[] = {{"gbShadow", "阴影(&S)"},
                             {"gbGradual", "渐变(&G)"},
                             {"gbTexture", "字体纹理(&T)"},
                             {"gbOther", "其它效果(&O)"}};
    for (const Texted& t : groups)
        if (auto* g = child<QGroupBox>(&dialog, t.name)) {
            EXPECT_EQ(g->title(), t.text) << t.name;
        }
    const Texted buttons[] = {
        {"cbShadow", "显示阴影"},
        {"cbGradual", "允许渐变绘制"},
        {"rbLeftToRight", "从左到右渐变"},
        {"rbRightToLeft", "从右到左渐变"},
        {"rbTopToBottom", "从上到下渐变"},
        {"rbBottomToTop", "从下到上渐变"},
        {"rbCenterToLR", "从中间到左右"},
        {"rbCenterToTB", "从中间到上下"},
        {"cbTexture", "允许字体纹理"},
        {"rbTile", "平铺"},
        {"rbStretched", "缩放"},
        {"rbCenter", "中心"},
        {"rbNormal", "默认"},
        {"btnOpenPic", "选择图片(&P)..."},
        {"btnClearPic", "清除图片(&L)"},
        {"cbOutline", "轮廓效果"},
        {"cbHorzMirror", "水平镜象效果"},
        {"cbVertMirror", "垂直镜象效果"},
        {"btnFont", "字体(&F)..."},
        {"btnOK", "确定(&O)"},
        {"btnCancel", "取消(&C)"},
    };
    for (const Texted& t : buttons)
        if (auto* b = child<QAbstractButton>(&dialog, t.name)) {
            EXPECT_EQ(b->text(), t.text) << t.name;
        }

    struct Ranged {
        const char* name;
        const char* label;
        int minimum, maximum;
    };
    const Ranged spins[] = {
        {"seShadowBlur", "模糊度:", 0, 100}, {"seShadowAlpha", "不透明度:", 0, 100},
        {"seOffsetX", "水平偏移:", -20, 20}, {"seOffsetY", "垂直偏移:", -20, 20},
        {"seBlur", "模糊度:", 0, 100},       {"seAlpha", "不透明度:", 0, 100},
        {"seNoise", "噪声点:", 0, 255},      {"seSpray", "喷溅效果:", 0, 255},
        {"seAngle", "旋转角度:", -360, 360},
    };
    const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
    auto labelOf = [&](QWidget* w) -> QLabel* {
        for (QLabel* l : labels)
            if (l->buddy() == w) return l;
        return nullptr;
    };
    for (const Ranged& r : spins) {
        auto* s = child<SpinField>(&dialog, r.name);
        if (!s) continue;
        EXPECT_EQ(s->minimum(), r.minimum) << r.name;
        EXPECT_EQ(s->maximum(), r.maximum) << r.name;
        QLabel* l = labelOf(s);
        ASSERT_NE(l, nullptr) << r.name;
        EXPECT_EQ(l->text(), r.label) << r.name;
    }
    const Texted swatches[] = {
        {"spShadow", "阴影颜色:"}, {"spStartColor", "起始颜色:"}, {"spEndColor", "结束颜色:"}};
    for (const Texted& t : swatches) {
        auto* s = child<ColorSwatch>(&dialog, t.name);
        ASSERT_NE(s, nullptr);
        ASSERT_NE(labelOf(s), nullptr) << t.name;
        EXPECT_EQ(labelOf(s)->text(), t.text) << t.name;
    }
    child<QFrame>(&dialog, "Panel1");

    // The sample: its text and font, a Kai face for the Chinese characters.
    AntiAliasedLabel* sample = dialog.sample();
    EXPECT_EQ(sample->caption(), "平滑特效字体 Pendra");
    EXPECT_EQ(sample->font().pixelSize(), 19);
    EXPECT_EQ(QFontInfo(sample->font()).family(), "AR PL UKai CN");
    EXPECT_FALSE(sample->autoSize());
    EXPECT_EQ(sample->alignment(), taCenter);
    EXPECT_EQ(sample->textLayout(), tlCenter);
    EXPECT_EQ(sample->backgroundColor(), QColor(Qt::white));
    EXPECT_EQ(sample->parentWidget(), dialog.Panel1);
}

// Laid out on the screen: every label beside its control and level with it, no text cut
// off, everything inside the dialog, and the dialog within a 1280 x 800 screen. The next
// test runs this one again at 150 %.
TEST_F(FontEffectDialogTest, LayoutReadsOnASmallScreen) {
    FontEffectDialog dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const qreal ratio = dialog.devicePixelRatio();
    EXPECT_LE(dialog.frameGeometry().width() * ratio, 1280);
    EXPECT_LE(dialog.frameGeometry().height() * ratio, 800 - 48); // a task bar
    EXPECT_EQ(QFontInfo(dialog.btnOK->font()).family(), "AR PL UMing CN");
    const QRect inside = dialog.rect();
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&dialog) || w->parentWidget() == nullptr) continue;
        const QRect r(w->mapTo(&dialog, QPoint(0, 0)), w->size());
        EXPECT_TRUE(inside.contains(r)) << w->objectName().toStdString();
        if (auto* l = qobject_cast<QLabel*>(w)) {
            EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
            if (QWidget* buddy = l->buddy()) {
                const QRect b(buddy->mapTo(&dialog, QPoint(0, 0)), buddy->size());
                EXPECT_LE(r.right(), b.left()) << l->text().toStdString();
                EXPECT_LE(b.left() - r.right(), 40) << l->text().toStdString();
                EXPECT_LE(std::abs(r.center().y() - b.center().y()), 3) << l->text().toStdString();
            }
        }
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
        }
    }
}

TEST_F(FontEffectDialogTest, LayoutReadsOnASmallScreenAt150Percent) {
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) GTEST_SKIP() << "this is the scaled run";
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_SCALE_FACTOR", "1.5");
    run.setProcessEnvironment(env);
    run.start(QCoreApplication::applicationFilePath(),
              {"--gtest_filter=FontEffectDialogTest.LayoutReadsOnASmallScreen"});
    ASSERT_TRUE(run.waitForFinished(120000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardOutput().toStdString();
}

TEST_F(FontEffectDialogTest, LoadingSetsEveryControlAndPreviewsNothing) {
    FontEffectDialog dialog;
    QSignalSpy written(&dialog, &FontEffectDialog::previewWritten);
    TextEffect e = distinctEffect();
    e.Alpha = 200; // out of the field's range, as a hand-edited js.ini may give
    dialog.LoadEffect(e);
    EXPECT_EQ(written.count(), 0);
    expectSameEffect(dialog.sample()->effect(), e); // the sample shows it unchanged

    EXPECT_FALSE(dialog.cbShadow->isChecked());
    EXPECT_EQ(dialog.seShadowBlur->value(), 33);
    EXPECT_EQ(dialog.seShadowAlpha->value(), 55);
    EXPECT_EQ(dialog.seOffsetX->value(), -4);
    EXPECT_EQ(dialog.seOffsetY->value(), 5);
    EXPECT_EQ(dialog.spShadow->value(), static_cast<qint32>(0xFF000010u));
    EXPECT_EQ(dialog.spStartColor->value(), 0x0000FF);
    EXPECT_EQ(dialog.spEndColor->value(), 0xFF0000);
    EXPECT_TRUE(dialog.rbBottomToTop->isChecked());
    EXPECT_TRUE(dialog.rbCenter->isChecked());
    EXPECT_EQ(dialog.seBlur->value(), 7);
    EXPECT_EQ(dialog.seAlpha->value(), 100); // limited to the range
    EXPECT_EQ(dialog.seNoise->value(), 11);
    EXPECT_EQ(dialog.seSpray->value(), 3);
    EXPECT_EQ(dialog.seAngle->value(), -45);
    EXPECT_TRUE(dialog.cbOutline->isChecked());
    EXPECT_FALSE(dialog.cbHorzMirror->isChecked());
    EXPECT_TRUE(dialog.cbVertMirror->isChecked());
    EXPECT_EQ(dialog.lblPicture->text(), "图片 8 × 8");

    // Numbers outside the lists check the first choice rather than none.
    e.Gradual.Style = 9;
    e.Texture.Mode = 7;
    dialog.LoadEffect(e);
    EXPECT_TRUE(dialog.rbLeftToRight->isChecked());
    EXPECT_TRUE(dialog.rbTile->isChecked());
    EXPECT_EQ(written.count(), 0);
}

TEST_F(FontEffectDialogTest, GroupCheckBoxesEnableTheRestOfTheirGroup) {
    FontEffectDialog dialog;
    dialog.LoadEffect(distinctEffect());
    dialog.setSampleFont(bigFont(), Qt::black);
    ASSERT_TRUE(showActive(&dialog));

    struct Case {
        QGroupBox* group;
        QCheckBox* box;
        std::function<bool(const TextEffect&)> enabled;
    };
    const Case cases[] = {
        {dialog.gbShadow, dialog.cbShadow, [](const TextEffect& e) { return e.Shadow.Enabled; }},
        {dialog.gbGradual, dialog.cbGradual, [](const TextEffect& e) { return e.Gradual.Enabled; }},
        {dialog.gbTexture, dialog.cbTexture, [](const TextEffect& e) { return e.Texture.Enabled; }},
    };
    for (const Case& c : cases) {
        const QList<QWidget*> others = c.group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        ASSERT_GT(others.size(), 4);
        for (QWidget* w : others)
            if (w != c.box) {
                EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
            }
        click(c.box);
        ASSERT_TRUE(waitUntil([&] { return c.enabled(dialog.sample()->effect()); }))
            << c.group->objectName().toStdString();
        for (QWidget* w : others)
            EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    }
    // Enabled, they previewed with the values they kept while disabled.
    const TextEffect& shown = dialog.sample()->effect();
    EXPECT_EQ(shown.Shadow.Blur, 33);
    EXPECT_EQ(shown.Shadow.OffsetX, -4);
    EXPECT_EQ(shown.Gradual.Style, gsBottomToTop);
    EXPECT_EQ(shown.Texture.Mode, tmCenter);
    for (QWidget* w : dialog.gbOther->findChildren<QWidget*>())
        EXPECT_TRUE(w->isEnabled());

    click(dialog.cbShadow);
    ASSERT_TRUE(waitUntil([&] { return !dialog.sample()->effect().Shadow.Enabled; }));
    EXPECT_FALSE(dialog.seShadowBlur->isEnabled());
    EXPECT_EQ(dialog.seShadowBlur->value(), 33);
}

TEST_F(FontEffectDialogTest, CheckingTheShadowShowsItOnTheScreenAtOnce) {
    FontEffectDialog dialog;
    TextEffect e;
    e.Shadow.Color = 0x00C000; // green
    e.Shadow.Blur = 0;
    e.Shadow.Alpha = 100;
    e.Shadow.OffsetX = e.Shadow.OffsetY = 6;
    dialog.LoadEffect(e);
    dialog.setSampleFont(bigFont(), Qt::black);
    ASSERT_TRUE(showActive(&dialog));
    const QRgb green = qRgb(0, 0xC0, 0);
    ASSERT_TRUE(
        waitUntil([&] { return countColor(screenOf(dialog.sample()), qRgb(0, 0, 0)) > 50; }));
    EXPECT_EQ(countColor(screenOf(dialog.sample()), green), 0);
    click(dialog.cbShadow);
    EXPECT_TRUE(waitUntil([&] { return countColor(screenOf(dialog.sample()), green) > 50; }));
}

TEST_F(FontEffectDialogTest, EachChangeWritesThePreviewOnce) {
    QTemporaryDir dir;
    FontEffectDialog dialog;
    TextEffect start = distinctEffect();
    start.Shadow.Enabled = start.Gradual.Enabled = start.Texture.Enabled = true;
    dialog.LoadEffect(start);
    ASSERT_TRUE(showActive(&dialog));
    QTest::qWait(100);
    PaintCounter counter;
    dialog.sample()->installEventFilter(&counter);
    QSignalSpy written(&dialog, &FontEffectDialog::previewWritten);
    ModalDriver driver;
    int paintsBefore = 0;

    struct Case {
        const char* what;
        std::function<void()> act;
        std::function<bool(const TextEffect&)> done;
    };
    const Case cases[] = {
        {"outline off", [&] { click(dialog.cbOutline); },
         [](const TextEffect& e) { return !e.Outline; }},
        {"style centre to top and bottom", [&] { click(dialog.rbCenterToTB); },
         [](const TextEffect& e) { return e.Gradual.Style == gsCenterToTB; }},
        {"mode stretched", [&] { click(dialog.rbStretched); },
         [](const TextEffect& e) { return e.Texture.Mode == tmStretched; }},
        {"blur one up",
         [&] {
             click(dialog.seBlur);
             keys({"Up"});
         },
         [](const TextEffect& e) { return e.Blur == 8; }},
        {"shadow colour",
         [&] {
             driver.on("ColorDialog", [&](QWidget* w) {
                 // Out of the sample's way, so that closing it does not repaint the sample.
                 w->move(0, 0);
                 QTest::qWait(200);
                 paintsBefore = counter.paints;
                 static_cast<QColorDialog*>(w)->setCurrentColor(QColor(0, 0, 255));
                 static_cast<QDialog*>(w)->accept();
             });
             click(dialog.spShadow);
         },
         [](const TextEffect& e) { return e.Shadow.Color == 0xFF0000; }},
        {"picture cleared", [&] { click(dialog.btnClearPic); },
         [](const TextEffect& e) { return e.Texture.Picture.isNull(); }},
        {"shadow off", [&] { click(dialog.cbShadow); },
         [](const TextEffect& e) { return !e.Shadow.Enabled; }},
    };
    for (const Case& c : cases) {
        paintsBefore = counter.paints;
        written.clear();
        c.act();
        ASSERT_TRUE(waitUntil([&] { return c.done(dialog.sample()->effect()); })) << c.what;
        QTest::qWait(150); // time for a second write or paint to show up
        EXPECT_EQ(written.count(), 1) << c.what;
        EXPECT_EQ(counter.paints - paintsBefore, 1) << c.what;
    }
}

TEST_F(FontEffectDialogTest, CentreToLeftAndRightIsStoredAsStyle4) {
    SmoothFontDialog component;
    TextEffect start;
    start.Gradual.Enabled = true;
    start.Gradual.Style = gsTopToBottom;
    component.setEffect(start);
    const bool ok = executeWith(component, [](FontEffectDialog* dialog) {
        click(dialog->rbCenterToLR);
        ASSERT_TRUE(waitUntil([&] { return dialog->rbCenterToLR->isChecked(); }));
        click(dialog->btnOK);
        waitUntil([&] { return !dialog->isVisible(); });
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(component.effect().Gradual.Style, 4);
    EXPECT_TRUE(component.effect().Gradual.Enabled);
}

TEST_F(FontEffectDialogTest, CancelAfterManyChangesLeavesTheCallerAsItWas) {
    const QFont callerFont = bigFont();
    const QColor callerColor(200, 0, 0);
    const TextEffect callerEffect = distinctEffect();
    struct Close {
        const char* how;
        std::function<void(FontEffectDialog*)> close;
    };
    const Close closes[] = {
        {"Cancel", [](FontEffectDialog* d) { click(d->btnCancel); }},
        {"Esc",
         [](FontEffectDialog* d) {
             // Without a window manager nobody gives the keyboard back after the font
             // dialog closed.
             d->activateWindow();
             EXPECT_TRUE(QTest::qWaitForWindowActive(d));
             keys({"Escape"});
         }},
        {"close box", [](FontEffectDialog* d) { x11::requestClose(d->window()->winId()); }},
    };
    for (const Close& c : closes) {
        SCOPED_TRACE(c.how);
        SmoothFontDialog component;
        component.setAllowChangeFont(true);
        component.setFont(callerFont);
        component.setFontColor(callerColor);
        component.setEffect(callerEffect);
        ModalDriver driver;
        driver.on("FontDialog", [](QWidget* w) {
            auto* fonts = static_cast<FontColorDialog*>(w);
            QFont f(QStringLiteral("DejaVu Serif"));
            f.setPointSize(20);
            fonts->setCurrentFont(f);
            fonts->setCurrentColor(QColor(0, 0, 200));
            fonts->accept();
        });
        bool sawChanges = false;
        const bool ok = executeWith(component, [&](FontEffectDialog* d) {
            for (QWidget* w : std::initializer_list<QWidget*>{
                     d->cbShadow, d->cbGradual, d->rbCenterToTB, d->cbOutline, d->cbHorzMirror,
                     d->cbTexture, d->btnClearPic})
                click(w);
            click(d->seAngle);
            keys({"Up", "Up", "Up"});
            click(d->btnFont);
            ASSERT_TRUE(waitUntil([&] { return d->sample()->effect().Angle == -42; }));
            ASSERT_TRUE(waitUntil([&] { return driver.answered("FontDialog") == 1; }));
            const TextEffect& shown = d->sample()->effect();
            sawChanges = shown.Shadow.Enabled && shown.Gradual.Enabled && shown.Texture.Enabled &&
                         !shown.Outline && shown.HorzMirror && shown.Texture.Picture.isNull() &&
                         shown.Gradual.Style == gsCenterToTB &&
                         d->sample()->font().family() == "DejaVu Serif" &&
                         d->sample()->fontColor() == QColor(0, 0, 200);
            c.close(d);
            waitUntil([&] { return !d->isVisible(); });
        });
        EXPECT_TRUE(sawChanges) << c.how;
        EXPECT_FALSE(ok) << c.how;
        expectSameEffect(component.effect(), callerEffect);
        EXPECT_EQ(component.font(), callerFont) << c.how;
        EXPECT_EQ(component.fontColor(), callerColor) << c.how;
    }
}

TEST_F(FontEffectDialogTest, FontButtonOnlyWhenTheFontMayChange) {
    const QFont callerFont = bigFont();
    for (const bool allow : {false, true}) {
        SmoothFontDialog component;
        component.setAllowChangeFont(allow);
        component.setFont(callerFont);
        component.setFontColor(QColor(0, 100, 0));
        ModalDriver driver;
        driver.on("FontDialog", [](QWidget* w) {
            auto* fonts = static_cast<FontColorDialog*>(w);
            QFont f(QStringLiteral("DejaVu Serif"));
            f.setPointSize(24);
            fonts->setCurrentFont(f);
            fonts->accept();
        });
        const bool ok = executeWith(component, [&](FontEffectDialog* d) {
            EXPECT_EQ(d->btnFont->isVisible(), allow);
            // The sample shows the caller's font only when it may be changed.
            EXPECT_EQ(d->sample()->font() == callerFont, allow);
            if (allow) {
                click(d->btnFont);
                EXPECT_TRUE(waitUntil([&] { return driver.answered("FontDialog") == 1; }));
                EXPECT_TRUE(
                    waitUntil([&] { return d->sample()->font().family() == "DejaVu Serif"; }));
            }
            click(d->btnOK);
            waitUntil([&] { return !d->isVisible(); });
        });
        EXPECT_TRUE(ok);
        if (allow) {
            EXPECT_EQ(component.font().family(), "DejaVu Serif");
            EXPECT_EQ(component.font().pointSize(), 24);
            EXPECT_EQ(component.fontColor(), QColor(0, 100, 0)); // the colour was left
        } else {
            EXPECT_EQ(component.font(), callerFont);
        }
    }
}

TEST_F(FontEffectDialogTest, UnreadablePictureIsReportedAndChangesNothing) {
    QTemporaryDir dir;
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    const QStringList bad = {
        write("truncated.jpg", QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10)),
        write("text.png", "this is no picture"),
        write("empty.bmp", ""),
    };
    FontEffectDialog dialog;
    TextEffect start = distinctEffect();
    start.Texture.Enabled = true;
    dialog.LoadEffect(start);
    ASSERT_TRUE(showActive(&dialog));
    QSignalSpy written(&dialog, &FontEffectDialog::previewWritten);
    for (const QString& file : bad) {
        ModalDriver driver;
        QString message;
        driver.on("OpenPictureDialog", [&](QWidget* w) { chooseFile(w, file); });
        driver.on("PictureError", [&](QWidget* w) {
            message = static_cast<QMessageBox*>(w)->text();
            static_cast<QDialog*>(w)->accept();
        });
        click(dialog.btnOpenPic);
        ASSERT_TRUE(waitUntil([&] {
            return !message.isEmpty() && !QApplication::activeModalWidget();
        })) << file.toStdString();
        EXPECT_TRUE(message.startsWith("无法读取图片文件")) << message.toStdString();
        EXPECT_TRUE(message.contains(QFileInfo(file).fileName())) << message.toStdString();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.sample()->effect().Texture.Picture, start.Texture.Picture);
        EXPECT_EQ(dialog.lblPicture->text(), "图片 8 × 8");
        EXPECT_EQ(written.count(), 0);
    }

    // A readable picture, in each format, replaces it and is previewed.
    const QImage wanted = picture(10, 6, qRgb(0, 0, 255));
    ASSERT_TRUE(WriteJpeg(dir.filePath("good.jpg"), wanted));
    ASSERT_TRUE(wanted.save(dir.filePath("good.png")));
    ASSERT_TRUE(wanted.save(dir.filePath("good.bmp")));
    for (const char* name : {"good.jpg", "good.png", "good.bmp"}) {
        written.clear();
        ModalDriver driver;
        driver.on("OpenPictureDialog",
                  [&](QWidget* w) { chooseFile(w, dir.filePath(QString::fromLatin1(name))); });
        click(dialog.btnOpenPic);
        ASSERT_TRUE(waitUntil([&] { return written.count() == 1; })) << name;
        const QImage& shown = dialog.sample()->effect().Texture.Picture;
        EXPECT_EQ(shown.size(), QSize(10, 6)) << name;
        EXPECT_GT(qBlue(shown.pixel(5, 3)), 200) << name;
        EXPECT_EQ(dialog.lblPicture->text(), "图片 10 × 6") << name;
        dialog.LoadEffect(start); // back to the first picture for the next one
    }
}

TEST_F(FontEffectDialogTest, ScreenShowsTheGradientTurnAround) {
    FontEffectDialog dialog;
    TextEffect e;
    e.Gradual.Enabled = true;
    e.Gradual.StartColor = 0x0000FF; // red
    e.Gradual.EndColor = 0xFF0000;   // blue
    e.Gradual.Style = gsLeftToRight;
    dialog.LoadEffect(e);
    dialog.setSampleFont(bigFont(), Qt::black);
    ASSERT_TRUE(showActive(&dialog));
    Sides before;
    ASSERT_TRUE(waitUntil([&] {
        before = sidesOf(screenOf(dialog.sample()));
        return before.leftRed > 50 && before.rightBlue > 50;
    }));
    EXPECT_LT(before.leftBlue, before.leftRed / 4);

    click(dialog.rbRightToLeft);
    Sides after;
    EXPECT_TRUE(waitUntil([&] {
        after = sidesOf(screenOf(dialog.sample()));
        return after.leftBlue > 50 && after.rightRed > 50;
    }));
    EXPECT_LT(after.leftRed, after.leftBlue / 4);
}

// The weight and slant of the font it is opened on come back from OK unchanged, also in
// families whose first style is an italic or condensed face and whose regular one is not
// called "Normal".
TEST_F(FontEffectDialogTest, FontDialogKeepsTheWeightAndSlantItIsOpenedOn) {
    for (const char* family : {"DejaVu Serif", "DejaVu Sans", "Liberation Serif"}) {
        for (const bool bold : {false, true}) {
            for (const bool italic : {false, true}) {
                QFont font{QString::fromLatin1(family)};
                font.setPointSize(12);
                font.setBold(bold);
                font.setItalic(italic);
                FontColorDialog dialog;
                dialog.setCurrentFont(font);
                const QFont chosen = dialog.selectedFont();
                EXPECT_EQ(chosen.family(), family);
                EXPECT_EQ(chosen.bold(), bold)
                    << family << " bold " << bold << " italic " << italic;
                EXPECT_EQ(chosen.italic(), italic)
                    << family << " bold " << bold << " italic " << italic;
                EXPECT_EQ(chosen.pointSize(), 12);
            }
        }
    }
}

TEST_F(FontEffectDialogTest, FontDialogKeepsAWindowsFaceNameUnlessAnotherIsChosen) {
    FontColorDialog dialog;
    QFont song(QStringLiteral("宋体"));
    song.setPointSize(12);
    song.setBold(true);
    dialog.setCurrentFont(song);
    dialog.setCurrentColor(QColor(0, 0, 128));
    // The list shows the installed face that stands in for it...
    EXPECT_EQ(dialog.fontChooser()->currentFont().family(), "AR PL UMing CN");
    // ...and an unchanged choice gives the Windows name back, for js.ini.
    EXPECT_EQ(dialog.selectedFont().family(), "宋体");
    EXPECT_EQ(dialog.selectedFont().pointSize(), 12);
    EXPECT_EQ(dialog.selectedColor(), QColor(0, 0, 128));

    QFont serif(QStringLiteral("DejaVu Serif"));
    serif.setPointSize(20);
    dialog.fontChooser()->setCurrentFont(serif);
    EXPECT_EQ(dialog.selectedFont().family(), "DejaVu Serif");
    EXPECT_EQ(dialog.selectedFont().pointSize(), 20);

    // A font sized in pixels, like the sample's, is offered in points.
    dialog.setCurrentFont(SampleFont());
    EXPECT_GT(dialog.fontChooser()->currentFont().pointSizeF(), 0);
    EXPECT_EQ(dialog.selectedFont().family(), SampleFont().family());
}
