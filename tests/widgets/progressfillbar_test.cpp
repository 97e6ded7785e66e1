// The progress fill bar: what it draws for each fill style and text option, its position
// and repaint rule, its bitmap file, and the real widget on the X screen.
#include "progressfillbar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {
const QRgb Bar = qRgb(0, 200, 0);
const QRgb Blue = qRgb(0, 0, 200);
const QRgb Red = qRgb(200, 0, 0);

QFont barFont(int pixels = 11, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// A frameless bar of the program's kind, without text, filled with a solid brush.
FillBarLook plainLook(int position) {
    FillBarLook look;
    look.position = position;
    look.bevel = BevelStyle::bvNone;
    look.textOption = TextOption::toNoText;
    look.color = Bar;
    look.fill.style = FillStyle::sfBrush;
    look.fill.brush = {Qt::SolidPattern, QColor::fromRgb(Blue)};
    return look;
}

QImage draw(const FillBarLook& look, QSize size, const QFont& font = barFont()) {
    QImage image(size, QImage::Format_RGB32);
    DrawFillBar(image, look, font, QGuiApplication::palette());
    return image;
}

// Every pixel of image against expected(x, y); reports the first that differs.
::testing::AssertionResult pixelsAre(const QImage& image,
                                     const std::function<QRgb(int, int)>& expected) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != expected(x, y))
                return ::testing::AssertionFailure()
                       << "at " << x << "," << y << ": " << std::hex << image.pixel(x, y)
                       << " instead of " << expected(x, y);
    return ::testing::AssertionSuccess();
}

int mod(int n, int d) {
    return ((n % d) + d) % d;
}

// A bitmap whose every pixel has its own colour.
QImage distinctBitmap(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(10 + x * 9, 10 + y * 9, 77));
    return image;
}

QImage grabFromScreen(QWidget& w) {
    return QGuiApplication::primaryScreen()->grabWindow(w.winId()).toImage().convertToFormat(
        QImage::Format_RGB32);
}

// Polls the X screen until the window shows what the bar draws (or the time is up).
QImage waitForScreen(ProgressFillBar& bar, const std::function<bool(const QImage&)>& done) {
    QImage seen;
    QDeadlineTimer deadline(10000);
    do {
        QApplication::processEvents();
        seen = grabFromScreen(bar);
        if (done(seen)) break;
        QTest::qWait(20);
    } while (!deadline.hasExpired());
    return seen;
}
} // namespace

TEST(FillBar, ThirtySevenPercentOfA153PixelBar) {
    FillBarLook look = plainLook(37);
    EXPECT_TRUE(pixelsAre(draw(look, {153, 20}), [](int x, int) { return x < 56 ? Blue : Bar; }));
    look.textOption = TextOption::toPercent;
    EXPECT_EQ(FillBarText(look), "37%");
    look.textOption = TextOption::toCaption;
    look.caption = QStringLiteral("第一阶段");
    EXPECT_EQ(FillBarText(look), "第一阶段");
    look.textOption = TextOption::toNoText;
    EXPECT_EQ(FillBarText(look), "");
}

TEST(FillBar, VerticalReverseFillsFromTheBottom) {
    FillBarLook look = plainLook(50);
    look.direction = FillDirection::mdVerticalReverse;
    EXPECT_TRUE(pixelsAre(draw(look, {20, 500}), [](int, int y) { return y >= 250 ? Blue : Bar; }));
}

TEST(FillBar, TheFrameNarrowsTheBar) {
    FillBarLook look = plainLook(50);
    look.bevel = BevelStyle::bvLowered;
    look.bevelWidth = 2;
    const QPalette palette = QGuiApplication::palette();
    const QImage image = draw(look, {84, 20});
    EXPECT_EQ(image.pixel(0, 0), palette.color(QPalette::Dark).rgb());
    EXPECT_EQ(image.pixel(1, 10), palette.color(QPalette::Dark).rgb());
    EXPECT_EQ(image.pixel(83, 19), palette.color(QPalette::Light).rgb());
    // Inside: 80 columns from x = 2, of which 40 are filled.
    EXPECT_EQ(image.pixel(2, 2), Blue);
    EXPECT_EQ(image.pixel(41, 17), Blue);
    EXPECT_EQ(image.pixel(42, 17), Bar);
    EXPECT_EQ(image.pixel(81, 2), Bar);
}

TEST(FillBar, GradientSpansTheFilledPartOfTheMoment) {
    FillBarLook look = plainLook(50);
    look.fill.style = FillStyle::sfGradient;
    look.fill.gradient.setStartColor(Qt::white);
    look.fill.gradient.setEndColor(Qt::blue);
    look.fill.gradient.setColorCount(20);
    look.fill.gradient.setStyle(GradientStyle::gstHorizontal);
    const QList<QRgb>& colors = look.fill.gradient.colors();
    ASSERT_EQ(colors.first(), qRgb(255, 255, 255));
    ASSERT_EQ(colors.last(), qRgb(0, 0, 255));
    // Half of 200: 20 stripes of 5, white to blue, then the bar's colour.
    EXPECT_TRUE(
        pixelsAre(draw(look, {200, 8}), [&](int x, int) { return x < 100 ? colors[x / 5] : Bar; }));
    // Full: the same twenty stripes, now 10 wide: the gradient follows the filled part
    // instead of being uncovered by it.
    look.position = 100;
    EXPECT_TRUE(pixelsAre(draw(look, {200, 8}), [&](int x, int) { return colors[x / 10]; }));
}

TEST(FillBar, ColourCountZeroAndOne) {
    FillBarLook look = plainLook(60);
    look.fill.style = FillStyle::sfGradient;
    look.fill.gradient.setStartColor(QColor::fromRgb(Red));
    look.fill.gradient.setEndColor(QColor::fromRgb(Blue));
    for (int s = 0; s < GradientStyleCount; ++s) {
        look.fill.gradient.setStyle(static_cast<GradientStyle>(s));
        look.fill.gradient.setColorCount(0);
        EXPECT_TRUE(pixelsAre(draw(look, {50, 12}), [](int, int) { return Bar; })) << s;

        // One colour, the start colour, over the filled part (an ellipse or a diagonal may
        // leave a corner to the bar's colour); the unfilled part is untouched.
        look.fill.gradient.setColorCount(1);
        const QImage image = draw(look, {50, 12});
        int red = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 50; ++x) {
                const QRgb p = image.pixel(x, y);
                ASSERT_TRUE(p == Bar || (x < 30 && p == Red)) << s << " at " << x << "," << y;
                red += p == Red;
            }
        EXPECT_GT(red, 30 * 12 * 9 / 10) << s;
    }
    // The top-left diagonal's one triangle covers the whole filled part of a wide bar.
    look.fill.gradient.setStyle(GradientStyle::gstTopLeftDiagonal);
    EXPECT_TRUE(pixelsAre(draw(look, {50, 12}), [](int x, int) { return x < 30 ? Red : Bar; }));
}

TEST(FillBar, TopLeftDiagonalTrianglesFromTheCorner) {
    FillBarLook look = plainLook(100);
    look.fill.style = FillStyle::sfGradient;
    look.fill.gradient.setStartColor(QColor::fromRgb(Red));
    look.fill.gradient.setEndColor(QColor::fromRgb(Blue));
    look.fill.gradient.setColorCount(2);
    look.fill.gradient.setStyle(GradientStyle::gstTopLeftDiagonal);
    // The inner triangle (0,0) (40,0) (0,21) in red over the outer one in blue: a pixel is
    // red when its centre lies below the line through (40,0) and (0,21).
    const QImage image = draw(look, {40, 20});
    EXPECT_TRUE(pixelsAre(image, [](int x, int y) {
        return (2 * x + 1) * 21 + (2 * y + 1) * 40 < 2 * 40 * 21 ? Red : Blue;
    }));
    EXPECT_EQ(image.pixel(0, 0), Red);
    EXPECT_EQ(image.pixel(0, 19), Red);
    EXPECT_EQ(image.pixel(39, 0), Blue);
    EXPECT_EQ(image.pixel(39, 19), Blue);
}

TEST(FillBar, CrossHatchRepeatsFromTheBarsOrigin) {
    FillBarLook look = plainLook(50);
    look.direction = FillDirection::mdHorizontalReverse;
    look.fill.brush = {Qt::CrossPattern, QColor::fromRgb(Blue)};
    look.brushBackColor = Red;
    // The filled part starts at x = 20, not on a line: the lines sit every 8 pixels from
    // the bar's own corner, the gaps take the back colour.
    EXPECT_TRUE(pixelsAre(draw(look, {40, 20}), [](int x, int y) {
        if (x < 20) return Bar;
        return x % 8 == 0 || y % 8 == 0 ? Blue : Red;
    }));
    // A clear brush paints nothing.
    look.fill.brush.style = Qt::NoBrush;
    EXPECT_TRUE(pixelsAre(draw(look, {40, 20}), [](int, int) { return Bar; }));
}

TEST(FillBar, BrushBitmapPatternRepeatsFromTheBarsOrigin) {
    const QImage bitmap = distinctBitmap(16, 16);
    FillBarLook look = plainLook(50);
    look.direction = FillDirection::mdHorizontalReverse;
    look.fill.style = FillStyle::sfBrushBitmap;
    look.fill.bitmap = bitmap;
    // Only the top-left 8 x 8 of the bitmap, anchored at the bar's (0, 0): the first filled
    // column, 22, shows column 6 of the pattern.
    EXPECT_TRUE(pixelsAre(draw(look, {44, 20}),
                          [&](int x, int y) { return x < 22 ? Bar : bitmap.pixel(x % 8, y % 8); }));
    look.fill.bitmap = QImage();
    EXPECT_TRUE(pixelsAre(draw(look, {44, 20}), [](int, int) { return Bar; }));
}

TEST(FillBar, BitmapTileModes) {
    const QImage bitmap = distinctBitmap(6, 4);
    struct Case {
        TileMode mode;
        int position;
        FillDirection direction;
        QPoint copy; // top-left corner of the (first) copy
        const char* what;
    };
    const FillDirection left = FillDirection::mdHorizontal;
    const FillDirection right = FillDirection::mdHorizontalReverse;
    const Case cases[] = {
        {TileMode::tmNone, 100, left, {0, 0}, "once at the corner"},
        {TileMode::tmNone, 50, right, {10, 0}, "at the corner of the filled part"},
        {TileMode::tmNone, 20, left, {0, 0}, "cut to a filled part narrower than the bitmap"},
        {TileMode::tmCenter, 100, left, {7, 3}, "centred"},
        {TileMode::tmCenter, 15, left, {-1, 3}, "centred in 3 columns: (3 - 6) / 2 = -1"},
        {TileMode::tmTile, 100, left, {0, 0}, "tiled from the corner"},
        {TileMode::tmTile, 50, right, {10, 0}, "tiled from the filled part's corner"},
    };
    for (const Case& c : cases) {
        FillBarLook look = plainLook(c.position);
        look.direction = c.direction;
        look.fill.style = FillStyle::sfBitmap;
        look.fill.bitmap = bitmap;
        look.fill.tileMode = c.mode;
        const QRect filled = FilledRect(QRect(0, 0, 20, 10), c.position, c.direction);
        EXPECT_TRUE(pixelsAre(draw(look, {20, 10}), [&](int x, int y) {
            if (!filled.contains(x, y)) return Bar;
            const int bx = x - c.copy.x(), by = y - c.copy.y();
            if (c.mode == TileMode::tmTile) return bitmap.pixel(mod(bx, 6), mod(by, 4));
            return QRect(0, 0, 6, 4).contains(bx, by) ? bitmap.pixel(bx, by) : Bar;
        })) << c.what;
    }

    // Stretched: each pixel of a 2 x 2 bitmap becomes a quarter of the filled part.
    FillBarLook look = plainLook(50);
    look.fill.style = FillStyle::sfBitmap;
    look.fill.tileMode = TileMode::tmStretch;
    look.fill.bitmap = distinctBitmap(2, 2);
    EXPECT_TRUE(pixelsAre(draw(look, {40, 10}), [&](int x, int y) {
        return x < 20 ? look.fill.bitmap.pixel(x / 10, y / 5) : Bar;
    }));
    look.fill.bitmap = QImage();
    EXPECT_TRUE(pixelsAre(draw(look, {40, 10}), [](int, int) { return Bar; }));
}

TEST(FillBar, TextChangesColourAtTheFillEdge) {
    // Green bar, blue fill, red font. Each part of the text must be a blend of its
    // background and its text colour only, and show the text colour itself in the strokes.
    struct Case {
        FillStyle style;
        bool useFontColor;
        QRgb overFilled, overUnfilled;
    };
    const Case cases[] = {
        {FillStyle::sfBrush, false, Bar, Blue},
        {FillStyle::sfGradient, false, Bar, Red},
        {FillStyle::sfBrush, true, Red, Red},
    };
    for (const Case& c : cases) {
        FillBarLook look = plainLook(50);
        look.textOption = TextOption::toCaption;
        look.caption = QStringLiteral("HHHHH");
        look.fontColor = Red;
        look.useFontColor = c.useFontColor;
        look.fill.style = c.style;
        look.fill.gradient.setStartColor(QColor::fromRgb(Blue));
        look.fill.gradient.setColorCount(1);
        const QImage image = draw(look, {300, 60}, barFont(40, true));
        struct Part {
            int from, to;
            QRgb background, text;
        };
        const Part parts[] = {{0, 150, Blue, c.overFilled}, {150, 300, Bar, c.overUnfilled}};
        for (const Part& part : parts) {
            int exact = 0, nearEdge = 0;
            for (int y = 0; y < 60; ++y)
                for (int x = part.from; x < part.to; ++x) {
                    const QRgb p = image.pixel(x, y);
                    auto unused = [&](int (*channel)(QRgb)) {
                        return channel(part.background) == 0 && channel(part.text) == 0;
                    };
                    if ((unused(qRed) && qRed(p)) || (unused(qGreen) && qGreen(p)) ||
                        (unused(qBlue) && qBlue(p)))
                        FAIL() << "foreign colour " << std::hex << p << " at " << std::dec << x
                               << "," << y << " style " << int(c.style);
                    exact += p == part.text;
                    nearEdge += p != part.background && std::abs(x - 150) < 12;
                }
            EXPECT_GT(exact, 100) << int(c.style) << " from " << part.from;
            EXPECT_GT(nearEdge, 20) << int(c.style) << " from " << part.from;
        }
    }
}

TEST(FillBar, RepaintRule) {
    struct Case {
        int previous, drawn, next, delta;
        bool redraws;
    };
    const Case cases[] = {
        {10, 10, 11, 1, true},  {10, 10, 10, 1, false},    {10, 10, 12, 5, false},
        {12, 10, 15, 5, true},  {14, 10, 5, 5, true},      {3, 3, 0, 5, true},
        {97, 97, 100, 5, true}, {100, 100, 100, 5, false}, {0, 0, 0, 5, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PositionChangeRedraws(c.previous, c.drawn, c.next, c.delta), c.redraws)
            << c.previous << " (drawn " << c.drawn << ") -> " << c.next << " delta " << c.delta;
}

TEST(ProgressFillBar, NewBarAndItsStoredPosition) {
    ProgressFillBar bar;
    EXPECT_EQ(bar.size(), QSize(80, 20));
    EXPECT_EQ(bar.position(), 0);
    EXPECT_EQ(bar.delta(), 1);
    EXPECT_EQ(bar.direction(), FillDirection::mdHorizontal);
    EXPECT_EQ(bar.brushBackColor(), bar.palette().color(QPalette::Button));
    EXPECT_EQ(bar.gradient().startColor(), qRgb(0, 0, 255));
    EXPECT_EQ(bar.gradient().endColor(), qRgb(0, 0, 0));
    EXPECT_EQ(bar.gradient().colorCount(), 16);
    EXPECT_EQ(bar.gradient().style(), GradientStyle::gstVertical);

    bar.setPosition(200);
    EXPECT_EQ(bar.position(), 100);
    EXPECT_EQ(bar.text(), "100%");
    bar.setPosition(-5);
    EXPECT_EQ(bar.position(), 0);

    // Drawn at 200: the whole bar is filled.
    bar.setBevel(BevelStyle::bvNone);
    bar.setFillStyle(FillStyle::sfBrush);
    bar.setBrush({Qt::SolidPattern, QColor::fromRgb(Blue)});
    bar.setTextOption(TextOption::toNoText);
    bar.setPosition(200);
    QImage image;
    bar.renderTo(image);
    EXPECT_TRUE(pixelsAre(image, [](int, int) { return Blue; }));

    bar.setProperty("tag", 3);
    EXPECT_EQ(bar.tag(), 3);
}

TEST(ProgressFillBar, SmallStepsWaitForDelta) {
    ProgressFillBar bar;
    bar.setDelta(5);
    bar.setPosition(10);
    EXPECT_EQ(bar.drawnPosition(), 10);
    bar.setPosition(13);
    EXPECT_EQ(bar.drawnPosition(), 10);
    bar.setPosition(15);
    EXPECT_EQ(bar.drawnPosition(), 15);
    bar.setPosition(99);
    bar.setPosition(100);
    EXPECT_EQ(bar.drawnPosition(), 100);
    // Any other change draws the present position.
    bar.setPosition(97);
    EXPECT_EQ(bar.drawnPosition(), 100);
    bar.setCaption(QStringLiteral("x"));
    EXPECT_EQ(bar.drawnPosition(), 97);
    bar.setDelta(0);
    EXPECT_EQ(bar.delta(), 1);
}

TEST(ProgressFillBar, GradientStylesByName) {
    for (int s = 0; s < GradientStyleCount; ++s) {
        GradientStyle style = GradientStyle::gstVertical;
        const auto expected = static_cast<GradientStyle>(s);
        ASSERT_TRUE(GradientStyleFromName(GradientStyleName(expected).toUpper(), &style));
        EXPECT_EQ(style, expected);
    }
    GradientStyle style = GradientStyle::gstSquare;
    EXPECT_FALSE(GradientStyleFromName(QStringLiteral("gstDiagonal"), &style));
    EXPECT_EQ(style, GradientStyle::gstSquare);
    EXPECT_EQ(GradientStyleName(GradientStyle::gstTopRightDiagonal), "gstTopRightDiagonal");
}

TEST(ProgressFillBar, BitmapFiles) {
    QTemporaryDir dir;
    const QImage picture = distinctBitmap(6, 4);
    const QString good = dir.filePath(QStringLiteral("fill.bmp"));
    ASSERT_TRUE(picture.save(good, "BMP"));
    ProgressFillBar bar;
    QString error;
    ASSERT_TRUE(bar.loadBitmap(good, &error)) << error.toStdString();
    EXPECT_EQ(bar.fillObject().bitmap, picture);

    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    auto write = [&](const QString& name, const QByteArray& content) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return f.fileName();
    };
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.bmp")));

    // Each of these leaves the bitmap as it was and says why, naming the file.
    const QString bad[] = {
        dir.filePath(QStringLiteral("missing.bmp")),
        write(QStringLiteral("empty.bmp"), QByteArray()),
        write(QStringLiteral("noise.bmp"), QByteArray(300, '\x5a')),
        write(QStringLiteral("header.bmp"), bytes.left(20)),
        write(QStringLiteral("cut.bmp"), bytes.left(bytes.size() - 10)), // Qt would read it
        dir.filePath(QStringLiteral("folder.bmp")),
    };
    for (const QString& path : bad) {
        error.clear();
        EXPECT_FALSE(bar.loadBitmap(path, &error)) << path.toStdString();
        EXPECT_TRUE(error.contains(path)) << error.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("位图")) ||
                    error.contains(QStringLiteral("普通文件")))
            << error.toStdString();
        EXPECT_EQ(bar.fillObject().bitmap, picture) << path.toStdString();
    }
    EXPECT_FALSE(bar.loadBitmap(QString(), &error));
    EXPECT_FALSE(error.isEmpty());
}

// Beyond the limits the file is refused without decoding a pixel: a header that claims a
// huge picture (run-length data, so no size of its own to check), and a file far larger
// than any allowed picture (sparse, so the test writes almost nothing).
TEST(ProgressFillBar, BitmapBeyondTheLimitsIsRefused) {
    QTemporaryDir dir;
    QByteArray huge(54 + 1024, '\0');
    auto put = [&huge](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            huge[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    huge[0] = 'B';
    huge[1] = 'M';
    put(2, huge.size() + 2);
    put(10, huge.size());
    put(14, 40);
    put(18, 9000); // 9000 x 100, 8 bits, run-length: wider than a picture may be
    put(22, 100);
    huge[26] = 1;
    huge[28] = 8;
    put(30, 1);
    huge += QByteArray("\x00\x01", 2); // end of the picture
    QFile claim(dir.filePath(QStringLiteral("claim.bmp")));
    ASSERT_TRUE(claim.open(QIODevice::WriteOnly));
    claim.write(huge);
    claim.close();

    QFile big(dir.filePath(QStringLiteral("big.bmp")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(qint64(300) << 20));
    big.close();

    for (const QString& path : {claim.fileName(), big.fileName()}) {
        QString error;
        EXPECT_TRUE(ReadFillBitmap(path, &error).isNull()) << path.toStdString();
        EXPECT_TRUE(error.contains(path)) << error.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("太大"))) << error.toStdString();
    }
}

TEST(ProgressFillBar, BitmapHeaderAgainstFileSize) {
    // A file header and an info header of 12 (core) or 40 bytes.
    auto header = [](quint32 infoSize, qint32 w, qint32 h, int bpp, quint32 compression,
                     quint32 sizeImage) {
        QByteArray b(54, '\0');
        auto put = [&b](int at, quint32 v, int bytes) {
            for (int i = 0; i < bytes; ++i)
                b[at + i] = char((v >> (8 * i)) & 0xFF);
        };
        b[0] = 'B';
        b[1] = 'M';
        put(10, 14 + infoSize, 4);
        put(14, infoSize, 4);
        if (infoSize == 12) {
            put(18, quint32(w), 2);
            put(20, quint32(h), 2);
            put(24, bpp, 2);
        } else {
            put(18, quint32(w), 4);
            put(22, quint32(h), 4);
            put(28, bpp, 2);
            put(30, compression, 4);
            put(34, sizeImage, 4);
        }
        return b;
    };
    struct Case {
        QByteArray header;
        qint64 size;
        bool complete;
    };
    // 10 x 3 at 24 bits: rows of 32 bytes (30 padded to 4).
    const Case cases[] = {
        {header(40, 10, 3, 24, 0, 0), 54 + 96, true},
        {header(40, 10, 3, 24, 0, 0), 54 + 95, false},
        {header(40, 10, -3, 24, 0, 0), 54 + 95, false}, // top-down rows
        {header(12, 10, 3, 24, 0, 0), 26 + 96, true},
        {header(12, 10, 3, 24, 0, 0), 26 + 64, false},
        {header(40, 10, 3, 8, 1, 40), 54 + 40, true}, // run-length: the stated size
        {header(40, 10, 3, 8, 1, 40), 54 + 39, false},
        {header(40, 10, 3, 8, 1, 0), 54, true}, // no size stated: the reader decides
        {QByteArray("GIF89a") + QByteArray(40, '\0'), 46, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BmpDataComplete(c.header, c.size), c.complete) << c.size;
}

TEST(ProgressFillBar, APipeNamedAsBitmapIsNotOpened) {
    // Opening a FIFO for reading waits for a writer. While the bar loads, a helper tries to
    // open the writing end, which succeeds only when the bar has the reading end open; its
    // close then ends the read, so that a fault shows as a failure and not as a hang.
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("pipe.bmp")));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    std::atomic<bool> done{false}, opened{false};
    std::thread writer([&] {
        while (!done) {
            const int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                opened = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    ProgressFillBar bar;
    QString error;
    EXPECT_FALSE(bar.loadBitmap(QFile::decodeName(fifo), &error));
    done = true;
    writer.join();
    EXPECT_FALSE(opened);
    EXPECT_TRUE(error.contains(QStringLiteral("普通文件"))) << error.toStdString();
}

TEST(ProgressFillBar, ShownOnTheScreen) {
    ProgressFillBar bar;
    bar.setWindowFlag(Qt::FramelessWindowHint);
    bar.setGeometry(40, 40, 153, 20);
    bar.setBevel(BevelStyle::bvNone);
    bar.setColor(QColor::fromRgb(Bar));
    bar.setFont(barFont());
    bar.setFillStyle(FillStyle::sfGradient);
    bar.setGradientStartColor(Qt::white);
    bar.setGradientEndColor(Qt::blue);
    bar.setGradientColorCount(20);
    bar.setGradientStyle(GradientStyle::gstHorizontal);
    bar.setPosition(37);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));

    QImage expected;
    bar.renderTo(expected);
    QImage seen = waitForScreen(bar, [&](const QImage& s) { return s == expected; });
    ASSERT_EQ(seen.size(), QSize(153, 20));
    EXPECT_EQ(seen, expected);
    // The top row lies above the text: the 56 filled columns run from white to blue.
    EXPECT_EQ(seen.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(seen.pixel(55, 0), qRgb(0, 0, 255));
    EXPECT_EQ(seen.pixel(56, 0), Bar);
    EXPECT_EQ(seen.pixel(152, 0), Bar);
    // "37%" is written across the middle, in the bar's colour over the fill and in the
    // font colour (black) over the rest.
    int dark = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 56; x < 153; ++x)
            dark += qGreen(seen.pixel(x, y)) < 100;
    EXPECT_GT(dark, 10);

    // A new position reaches the screen.
    bar.setPosition(100);
    seen = waitForScreen(bar, [](const QImage& s) { return s.pixel(152, 0) == qRgb(0, 0, 255); });
    EXPECT_EQ(seen.pixel(152, 0), qRgb(0, 0, 255));
    EXPECT_EQ(seen.pixel(0, 0), qRgb(255, 255, 255));
}
