// The renderer's measuring and drawing, and the clock label's sizing and background.
#include "antialiasedlabel.h"
#include "colors.h"
#include "textrenderer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

namespace {
QFont clockFont(int points = 40) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSize(points);
    return f;
}

QImage canvasOf(QSize size, QRgb fill) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

// Sum of coverage in the top and the bottom half of a mask.
std::pair<long, long> halves(const Mask& m) {
    long top = 0, bottom = 0;
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x)
            (y < m.height / 2 ? top : bottom) += m.at(x, y);
    return {top, bottom};
}
} // namespace

TEST(TextRenderer, EmptyTextHasNoExtentAndDrawsNothing) {
    TextRenderer r;
    r.setFont(clockFont());
    r.effect().Shadow.Enabled = true;
    EXPECT_EQ(r.MeasureText(QString()), QSize(0, 0));
    QImage canvas = canvasOf({10, 10}, qRgb(1, 2, 3));
    r.RenderText(canvas, 0, 0, QString());
    EXPECT_EQ(canvas, canvasOf({10, 10}, qRgb(1, 2, 3)));
}

TEST(TextRenderer, UnsmoothedQualityGivesOnlyFullOrNoCoverage) {
    TextRenderer r;
    r.setFont(clockFont());
    r.SetQuality(aqNone);
    QImage canvas = canvasOf(r.MeasureText("8:8"), qRgb(255, 255, 255));
    r.RenderText(canvas, 0, 0, "8:8");
    const Mask& m = r.mask();
    int covered = 0;
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            ASSERT_TRUE(m.at(x, y) == 0 || m.at(x, y) == 255) << x << "," << y;
            covered += m.at(x, y) == 255;
        }
    EXPECT_GT(covered, 50);

    // Smoothed: intermediate levels appear, and a solid block reaches 254 (aqNormal) or 255.
    for (AAQuality q : {aqHigh, aqNormal, aqLow}) {
        r.SetQuality(q);
        r.RenderText(canvas, 0, 0, "8:8");
        int grey = 0, top = 0;
        for (int y = 0; y < r.mask().height; ++y)
            for (int x = 0; x < r.mask().width; ++x) {
                const int v = r.mask().at(x, y);
                grey += v > 0 && v < 250;
                top = std::max(top, v);
            }
        EXPECT_GT(grey, 10) << q;
        EXPECT_EQ(top, q == aqNormal ? 254 : 255) << q;
    }
}

TEST(TextRenderer, ShadowWidensTheExtentAndSitsOnTheOffsetSide) {
    struct Case {
        int dx, dy;
        QPoint text, shadow; // top-left corners inside the extent
    };
    const Case cases[] = {
        {2, 2, {0, 0}, {2, 2}}, {-2, -2, {2, 2}, {0, 0}}, {3, -1, {0, 1}, {3, 0}}};
    const QRgb background = qRgb(255, 255, 255), textColor = qRgb(255, 0, 0);
    const qint32 shadowValue = 0xFF0000; // blue as a colour value
    for (const Case& c : cases) {
        TextRenderer r;
        r.setFont(clockFont());
        r.SetQuality(aqNone);
        r.setColor(QColor::fromRgb(textColor));
        const QSize plain = r.MeasureText("88");
        r.effect().Shadow.Enabled = true;
        r.effect().Shadow.OffsetX = static_cast<qint8>(c.dx);
        r.effect().Shadow.OffsetY = static_cast<qint8>(c.dy);
        r.effect().Shadow.Blur = 0;
        r.effect().Shadow.Alpha = 100;
        r.effect().Shadow.Color = shadowValue;
        const QSize extent = r.MeasureText("88");
        EXPECT_EQ(extent, plain + QSize(std::abs(c.dx), std::abs(c.dy)));

        QImage canvas = canvasOf(extent, background);
        r.RenderText(canvas, 0, 0, "88");
        const Mask& m = r.mask();
        const QRgb shadowRgb = ColorFromValue(shadowValue).rgb();
        int shadowSeen = 0;
        for (int y = 0; y < m.height; ++y)
            for (int x = 0; x < m.width; ++x) {
                if (m.at(x, y) != 255) continue;
                ASSERT_EQ(canvas.pixel(c.text + QPoint(x, y)), textColor) << x << "," << y;
                const QPoint s = c.shadow + QPoint(x, y);
                const QPoint overText = s - c.text;
                const bool hidden = overText.x() >= 0 && overText.y() >= 0 &&
                                    overText.x() < m.width && overText.y() < m.height &&
                                    m.at(overText.x(), overText.y()) != 0;
                if (!hidden) {
                    ASSERT_EQ(canvas.pixel(s), shadowRgb) << x << "," << y;
                    ++shadowSeen;
                }
            }
        EXPECT_GT(shadowSeen, 10) << c.dx << "," << c.dy;
    }
}

TEST(TextRenderer, RightAngleSwapsTheExtentAndRunsUpwards) {
    TextRenderer r;
    r.setFont(clockFont());
    const QString text = QStringLiteral("8   "); // the ink is at the start of the text
    const QSize flat = r.MeasureText(text);
    r.effect().Angle = 90;
    const QSize upright = r.MeasureText(text);
    EXPECT_NEAR(upright.width(), flat.height(), 1);
    EXPECT_NEAR(upright.height(), flat.width(), 1);

    QImage canvas = canvasOf(upright, qRgb(255, 255, 255));
    r.RenderText(canvas, 0, 0, text);
    const auto [top, bottom] = halves(r.mask());
    EXPECT_GT(bottom, 4 * top); // the start of the text is at the bottom
    EXPECT_GT(bottom, 0);
}

TEST(TextRenderer, ItalicWidensTheMeasuredText) {
    TextRenderer r;
    QFont f = clockFont();
    f.setItalic(true);
    r.setFont(f);
    r.SetQuality(aqNone); // k = 1: the advance is taken as it is
    QImage device(1, 1, QImage::Format_RGB32);
    const int advance = QFontMetrics(f, &device).horizontalAdvance("88:88");
    EXPECT_EQ(r.MeasureText("88:88").width(), ItalicWidth(advance, 5));
}

TEST(TextRenderer, EffectsShapeTheDrawnText) {
    // Outline hollows the glyphs: fewer fully covered pixels than the solid text.
    TextRenderer r;
    r.setFont(clockFont(60));
    QImage canvas = canvasOf(r.MeasureText("8"), qRgb(255, 255, 255));
    auto covered = [](const Mask& m) {
        int n = 0;
        for (int y = 0; y < m.height; ++y)
            for (int x = 0; x < m.width; ++x)
                n += m.at(x, y) > 200;
        return n;
    };
    r.RenderText(canvas, 0, 0, "8");
    const int solid = covered(r.mask());
    r.effect().Outline = true;
    r.RenderText(canvas, 0, 0, "8");
    EXPECT_LT(covered(r.mask()), solid / 2);

    // A gradient fill: left and right of a gradient from red to blue differ.
    r.effect().Outline = false;
    r.effect().Gradual.Enabled = true;
    r.effect().Gradual.StartColor = 0x0000FF; // red
    r.effect().Gradual.EndColor = 0xFF0000;   // blue
    const QSize extent = r.MeasureText("88");
    canvas = canvasOf(extent, qRgb(255, 255, 255));
    r.RenderText(canvas, 0, 0, "88");
    int reddish = 0, bluish = 0;
    for (int y = 0; y < extent.height(); ++y)
        for (int x = 0; x < extent.width(); ++x) {
            const QRgb p = canvas.pixel(x, y);
            if (p == qRgb(255, 255, 255)) continue;
            if (x < extent.width() / 4 && qRed(p) > qBlue(p)) ++reddish;
            if (x >= 3 * extent.width() / 4 && qBlue(p) > qRed(p)) ++bluish;
        }
    EXPECT_GT(reddish, 10);
    EXPECT_GT(bluish, 10);
}

TEST(AntiAliasedLabel, NewLabelDefaults) {
    AntiAliasedLabel label;
    EXPECT_EQ(label.size(), QSize(46, 12));
    EXPECT_EQ(label.objectName(), "AALabel");
    EXPECT_TRUE(label.autoSize());
    EXPECT_TRUE(label.parentColor());
    EXPECT_EQ(label.quality(), aqNormal);
    EXPECT_EQ(label.alignment(), taLeftJustify);
    EXPECT_EQ(label.textLayout(), tlTop);
    EXPECT_EQ(label.border(), 0);
    EXPECT_FALSE(label.transparent());
    EXPECT_EQ(label.backgroundMode(), bmCenter);
}

TEST(AntiAliasedLabel, AutoSizeFollowsEveryChangeAtOnce) {
    QWidget window;
    auto* label = new AntiAliasedLabel(&window);
    label->setFont(clockFont(30));
    label->setCaption("4:59");
    const QSize text = label->textSize();
    EXPECT_GT(text.width(), 0);
    EXPECT_EQ(label->size(), text);

    label->setBorder(3);
    EXPECT_EQ(label->size(), text + QSize(6, 6));

    label->setCaption("12:59");
    EXPECT_GT(label->width(), text.width() + 6);

    TextEffect e = label->effect();
    e.Shadow.Enabled = true;
    const QSize before = label->size();
    label->setEffect(e);
    EXPECT_EQ(label->size(), before + QSize(2, 2));

    label->setFont(clockFont(60));
    EXPECT_GT(label->height(), before.height() + 10);

    label->setCaption(QString());
    EXPECT_EQ(label->size(), QSize(6, 6));
}

TEST(AntiAliasedLabel, BackgroundIsTheParentsColourAndFollowsIt) {
    QWidget window;
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(0xA6, 0xCA, 0xF0));
    window.setPalette(pal);
    auto* label = new AntiAliasedLabel(&window);
    label->setFont(clockFont(30));
    label->setFontColor(Qt::black);
    label->setBorder(2);
    label->setCaption("1:00");
    const QImage& img = label->image();
    ASSERT_EQ(img.size(), label->size());
    EXPECT_EQ(img.pixel(0, 0), qRgb(0xA6, 0xCA, 0xF0));
    bool dark = false;
    for (int y = 0; y < img.height() && !dark; ++y)
        for (int x = 0; x < img.width() && !dark; ++x)
            dark = qRed(img.pixel(x, y)) < 40;
    EXPECT_TRUE(dark);

    pal.setColor(QPalette::Window, QColor(255, 0, 0));
    window.setPalette(pal);
    EXPECT_EQ(label->image().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(label->image().pixel(label->width() - 1, label->height() - 1), qRgb(255, 0, 0));

    label->setParentColor(false);
    label->setBackgroundColor(QColor(0, 255, 0));
    EXPECT_EQ(label->image().pixel(0, 0), qRgb(0, 255, 0));
}

TEST(AntiAliasedLabel, AlignmentAndLayoutPlaceTheText) {
    AntiAliasedLabel label;
    label.setFont(clockFont(20));
    label.setCaption("0:00");
    const QSize text = label.textSize();
    label.setAutoSize(false);
    label.setBorder(4);
    label.resize(text + QSize(40, 20));
    struct Case {
        LabelAlignment a;
        LabelLayout l;
        QPoint at;
    };
    const Case cases[] = {
        {taLeftJustify, tlTop, {4, 4}},
        {taRightJustify, tlBottom, {36, 16}},
        {taCenter, tlCenter, {20, 10}},
    };
    for (const Case& c : cases) {
        label.setAlignment(c.a);
        label.setTextLayout(c.l);
        EXPECT_EQ(label.textPosition(), c.at) << c.a << "," << c.l;
    }
}
