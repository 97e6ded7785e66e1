// Geometry and pixels of the progress fill bar, without a screen: the filled part, the
// gradient's colours and bands, brush patterns and bitmap placement.
#include "fillpixels.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <random>

namespace {
QImage imageOf(int w, int h, QRgb fill) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

// A picture of an image: the letter of each pixel's colour in the list ('a' for entry 0),
// '.' for any other colour.
QStringList picture(const QImage& image, const QList<QRgb>& colors) {
    QStringList rows;
    for (int y = 0; y < image.height(); ++y) {
        QString row;
        for (int x = 0; x < image.width(); ++x) {
            const qsizetype i = colors.indexOf(image.pixel(x, y));
            row += i < 0 ? QLatin1Char('.') : QLatin1Char(char('a' + i));
        }
        rows << row;
    }
    return rows;
}

const QRgb Untouched = qRgb(1, 2, 3);
const QList<QRgb> Distinct{qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 200)};

// Whether a pixel lies in a band, tested on the pixel alone (doubled coordinates, where the
// pixel centres are the odd numbers), to check the row-by-row drawing against.
bool bandHas(const GradientBand& b, int x, int y) {
    const qint64 X = 2 * qint64(x) + 1, Y = 2 * qint64(y) + 1;
    switch (b.shape) {
    case GradientBand::Rect:
        return b.rect.contains(x, y);
    case GradientBand::Ellipse: {
        const qint64 l = b.box0.x(), r = b.box1.x() - 1, t = b.box0.y(), bt = b.box1.y() - 1;
        if (r <= l || bt <= t) return false;
        const qint64 p = r - l, q = bt - t, u = X - (l + r), v = Y - (t + bt);
        return u * u * q * q + v * v * p * p <= p * p * q * q;
    }
    case GradientBand::Triangle: {
        const auto& c = b.corners;
        auto side = [&](QPoint P, QPoint Q) {
            return qint64(Q.x() - P.x()) * (Y - 2 * P.y()) -
                   qint64(Q.y() - P.y()) * (X - 2 * P.x());
        };
        const qint64 s0 = side(c[0], c[1]), s1 = side(c[1], c[2]), s2 = side(c[2], c[0]);
        return (s0 > 0 && s1 > 0 && s2 > 0) || (s0 < 0 && s1 < 0 && s2 < 0);
    }
    }
    return false;
}
} // namespace

TEST(FillPixels, MulDivRoundsHalvesAwayFromZero) {
    struct Case {
        int a, b, c, expected;
    };
    const Case cases[] = {
        {1, 1, 2, 1},
        {1, 1, 3, 0},
        {2, 1, 3, 1},
        {3, 1, 2, 2},
        {-3, 1, 2, -2},
        {3, -1, 2, -2},
        {3, 1, -2, -2},
        {-3, -1, -2, -2},
        {1, -255, 19, -13},
        {7, 5, 0, -1},
        {100000, 100000, 100000, 100000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(FillPixels, FilledPartByDirection) {
    struct Case {
        QRect area;
        int position;
        FillDirection direction;
        QRect filled;
    };
    const Case cases[] = {
        // 37 % of 153 is 56.61: the 56 leftmost columns.
        {{0, 0, 153, 20}, 37, FillDirection::mdHorizontal, {0, 0, 56, 20}},
        {{0, 0, 153, 20}, 37, FillDirection::mdHorizontalReverse, {97, 0, 56, 20}},
        {{0, 0, 20, 500}, 50, FillDirection::mdVerticalReverse, {0, 250, 20, 250}},
        {{0, 0, 20, 500}, 50, FillDirection::mdVertical, {0, 0, 20, 250}},
        {{0, 0, 153, 20}, 100, FillDirection::mdHorizontal, {0, 0, 153, 20}},
        {{0, 0, 153, 20}, 0, FillDirection::mdHorizontalReverse, {153, 0, 0, 20}},
        // 1 % of 99 pixels is less than one.
        {{0, 0, 99, 20}, 1, FillDirection::mdHorizontal, {0, 0, 0, 20}},
        // Inside a frame the area does not start at 0.
        {{2, 2, 96, 16}, 50, FillDirection::mdHorizontalReverse, {50, 2, 48, 16}},
        {{2, 2, 16, 96}, 25, FillDirection::mdVerticalReverse, {2, 74, 16, 24}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FilledRect(c.area, c.position, c.direction), c.filled)
            << c.position << "% of " << c.area.width() << "x" << c.area.height() << " dir "
            << int(c.direction);
}

TEST(FillPixels, GradientColoursRunFromStartToEnd) {
    const QList<QRgb> whiteToBlue = GradientColors(qRgb(255, 255, 255), qRgb(0, 0, 255), 20);
    ASSERT_EQ(whiteToBlue.size(), 20);
    EXPECT_EQ(whiteToBlue.first(), qRgb(255, 255, 255));
    EXPECT_EQ(whiteToBlue.last(), qRgb(0, 0, 255));
    // 255 - 255 * 1 / 19 = 241.58: rounded, not truncated.
    EXPECT_EQ(whiteToBlue[1], qRgb(242, 242, 255));

    // Three steps over 0..255: the middle is 127.5, rounded up.
    EXPECT_EQ(GradientColors(qRgb(0, 255, 10), qRgb(255, 0, 10), 3),
              (QList<QRgb>{qRgb(0, 255, 10), qRgb(128, 127, 10), qRgb(255, 0, 10)}));
    // One colour is the start colour, none is none.
    EXPECT_EQ(GradientColors(qRgb(9, 8, 7), qRgb(1, 2, 3), 1), QList<QRgb>{qRgb(9, 8, 7)});
    EXPECT_TRUE(GradientColors(qRgb(9, 8, 7), qRgb(1, 2, 3), 0).isEmpty());
}

TEST(FillPixels, HorizontalStripesOfTwentyColoursOverAHundredPixels) {
    const QList<QRgb> colors = GradientColors(qRgb(255, 255, 255), qRgb(0, 0, 255), 20);
    QImage image = imageOf(100, 3, Untouched);
    DrawGradient(image, image.rect(), colors, GradientStyle::gstHorizontal);
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 3; ++y)
            ASSERT_EQ(image.pixel(x, y), colors[x / 5]) << x << "," << y;
}

TEST(FillPixels, EachBandShape) {
    // 8 x 4 in two colours: band a (entry 0) is drawn over band b wherever they overlap.
    struct Case {
        GradientStyle style;
        int w, h, count;
        QStringList rows;
    };
    const Case cases[] = {
        {GradientStyle::gstHorizontal, 8, 4, 2, {"aaaabbbb", "aaaabbbb", "aaaabbbb", "aaaabbbb"}},
        {GradientStyle::gstVertical, 8, 4, 2, {"aaaaaaaa", "aaaaaaaa", "bbbbbbbb", "bbbbbbbb"}},
        // Entry 0 in the centre: columns cx - 2 .. cx + 2, rows cy - 1 .. cy + 1.
        {GradientStyle::gstSquare, 8, 4, 2, {"bbbbbbbb", "bbaaaaab", "bbaaaaab", "bbaaaaab"}},
        // Boxes (1,1)-(7,3) and (-2,-1)-(10,5): the outer ellipse misses one corner.
        {GradientStyle::gstElliptic, 8, 4, 2, {"bbbbbbbb", "baaaaabb", "bbbbbbbb", "bbbbbbb."}},
        {GradientStyle::gstTopLeft, 8, 4, 2, {"aaaabbbb", "aaaabbbb", "bbbbbbbb", "bbbbbbbb"}},
        {GradientStyle::gstTopRight, 8, 4, 2, {"bbbbaaaa", "bbbbaaaa", "bbbbbbbb", "bbbbbbbb"}},
        {GradientStyle::gstBottomLeft, 8, 4, 2, {"bbbbbbbb", "bbbbbbbb", "aaaabbbb", "aaaabbbb"}},
        {GradientStyle::gstBottomRight, 8, 4, 2, {"bbbbbbbb", "bbbbbbbb", "bbbbaaaa", "bbbbaaaa"}},
        // Triangles (0,0) (8,0) (0,5) over (0,0) (16,0) (0,9).
        {GradientStyle::gstTopLeftDiagonal,
         8,
         4,
         2,
         {"aaaaaaab", "aaaaaabb", "aaaabbbb", "aabbbbbb"}},
        // Triangles (9,0) (1,0) (9,4) over (9,0) (-7,0) (9,8).
        {GradientStyle::gstTopRightDiagonal,
         8,
         4,
         2,
         {"bbaaaaaa", "bbbbaaaa", "bbbbbbaa", "bbbbbbbb"}},
        // On a tall area the largest triangle leaves the far corner to the bar's colour.
        {GradientStyle::gstTopRightDiagonal,
         4,
         8,
         1,
         {"aaaa", "aaaa", "aaaa", "aaaa", "aaaa", "aaaa", "aaaa", ".aaa"}},
        // More colours than pixels: a band can be empty, the others keep their order.
        {GradientStyle::gstHorizontal, 2, 1, 3, {"ac"}},
        {GradientStyle::gstTopLeft, 3, 2, 3, {"abc", "ccc"}},
    };
    for (const Case& c : cases) {
        QImage image = imageOf(c.w, c.h, Untouched);
        DrawGradient(image, image.rect(), Distinct.mid(0, c.count), c.style);
        EXPECT_EQ(picture(image, Distinct), c.rows) << GradientStyleName(c.style).toStdString();
    }
}

TEST(FillPixels, BandsAreDrawnInOrderEachPixelOnce) {
    // The row-by-row drawing gives what drawing each band over the previous ones gives, for
    // every style, over sizes from one pixel to more bands than pixels, also when the area
    // sticks out of the image.
    struct Size {
        int w, h, count;
    };
    const Size sizes[] = {{1, 1, 1},     {1, 1, 5},    {7, 3, 2},    {153, 20, 20},
                          {20, 153, 20}, {40, 6, 100}, {6, 40, 255}, {31, 17, 16}};
    std::mt19937 random(7);
    for (int s = 0; s < GradientStyleCount; ++s) {
        const auto style = static_cast<GradientStyle>(s);
        for (const Size& size : sizes) {
            QList<QRgb> colors;
            for (int i = 0; i < size.count; ++i)
                colors << (qRgb(int(random() % 256), int(random() % 256), int(random() % 256)));
            const QRect rect(-2, 3, size.w, size.h); // two columns outside the image
            QImage drawn = imageOf(size.w + 3, size.h + 5, Untouched);
            DrawGradient(drawn, rect, colors, style);

            QImage expected = imageOf(drawn.width(), drawn.height(), Untouched);
            for (const GradientBand& b : GradientBands(style, size.w, size.h, size.count))
                for (int y = 0; y < size.h; ++y)
                    for (int x = 0; x < size.w; ++x)
                        if (bandHas(b, x, y) &&
                            expected.rect().contains(rect.topLeft() + QPoint(x, y)))
                            expected.setPixel(rect.topLeft() + QPoint(x, y), colors[b.color]);
            ASSERT_EQ(drawn, expected) << GradientStyleName(style).toStdString() << " " << size.w
                                       << "x" << size.h << " in " << size.count;
        }
    }
}

TEST(FillPixels, ColourCountZeroDrawsNothing) {
    QImage image = imageOf(10, 4, Untouched);
    for (int s = 0; s < GradientStyleCount; ++s)
        DrawGradient(image, image.rect(), {}, static_cast<GradientStyle>(s));
    EXPECT_EQ(image, imageOf(10, 4, Untouched));
    EXPECT_TRUE(GradientBands(GradientStyle::gstSquare, 10, 4, 0).empty());
}

TEST(FillPixels, HatchLinesAndGaps) {
    struct Case {
        Qt::BrushStyle style;
        QStringList rows; // the top-left 3 x 3 of the 8 x 8 tile; x a line
    };
    const Case cases[] = {
        {Qt::HorPattern, {"xxx", "...", "..."}},   {Qt::VerPattern, {"x..", "x..", "x.."}},
        {Qt::CrossPattern, {"xxx", "x..", "x.."}}, {Qt::FDiagPattern, {"x..", ".x.", "..x"}},
        {Qt::BDiagPattern, {"...", "...", "..."}}, {Qt::DiagCrossPattern, {"x..", ".x.", "..x"}},
    };
    const QRgb line = qRgb(0, 0, 0), gap = qRgb(255, 255, 255);
    for (const Case& c : cases) {
        std::array<quint8, 8> rows{};
        ASSERT_TRUE(HatchRows(c.style, &rows)) << c.style;
        const QImage tile = HatchTile(rows, line, gap);
        QStringList seen;
        for (int y = 0; y < 3; ++y) {
            QString r;
            for (int x = 0; x < 3; ++x)
                r += tile.pixel(x, y) == line ? 'x' : '.';
            seen << r;
        }
        EXPECT_EQ(seen, c.rows) << c.style;
    }
    // The back-diagonal runs from the top-right corner of the tile.
    std::array<quint8, 8> rows{};
    ASSERT_TRUE(HatchRows(Qt::BDiagPattern, &rows));
    EXPECT_EQ(HatchTile(rows, line, gap).pixel(7, 0), line);
    EXPECT_FALSE(HatchRows(Qt::SolidPattern, &rows));
    EXPECT_FALSE(HatchRows(Qt::Dense4Pattern, &rows));
}

TEST(FillPixels, PatternRepeatsFromItsOrigin) {
    QImage tile(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            tile.setPixel(x, y, qRgb(x, y, 9));
    QImage image = imageOf(12, 6, Untouched);
    const QRect rect(4, 1, 7, 4);
    FillPattern(image, rect, tile, QPoint(0, 0));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 12; ++x)
            ASSERT_EQ(image.pixel(x, y), rect.contains(x, y) ? qRgb(x % 3, y % 2, 9) : Untouched)
                << x << "," << y;
}

TEST(FillPixels, BrushPatternIsTheTopLeftEightByEight) {
    QImage bitmap(16, 16, QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            bitmap.setPixel(x, y, qRgb(x * 10, y * 10, 0));
    const QImage pattern = BrushPattern(bitmap);
    ASSERT_EQ(pattern.size(), QSize(8, 8));
    EXPECT_EQ(pattern.format(), QImage::Format_RGB32);
    EXPECT_EQ(pattern.pixel(7, 7), qRgb(70, 70, 0));
    EXPECT_EQ(BrushPattern(bitmap.copy(0, 0, 5, 3)).size(), QSize(5, 3));
    EXPECT_TRUE(BrushPattern(QImage()).isNull());
}

TEST(FillPixels, BitmapPlacedOnce) {
    struct Case {
        QRect rect;
        QSize bitmap;
        TileMode mode;
        Qt::Alignment alignment;
        QPoint offset, at;
    };
    const Qt::Alignment topLeft = Qt::AlignLeft | Qt::AlignTop;
    const Case cases[] = {
        {{10, 0, 20, 10}, {6, 4}, TileMode::tmNone, topLeft, {}, {10, 0}},
        {{10, 0, 20, 10}, {6, 4}, TileMode::tmNone, topLeft, {2, -1}, {12, -1}},
        {{10, 0, 20, 10}, {6, 4}, TileMode::tmNone, Qt::AlignRight | Qt::AlignBottom, {}, {24, 6}},
        {{10, 0, 20, 10}, {6, 4}, TileMode::tmNone, Qt::AlignCenter, {}, {17, 3}},
        {{10, 0, 20, 10}, {6, 4}, TileMode::tmCenter, topLeft, {5, 5}, {17, 3}},
        // (3 - 6) / 2 is -1: halved towards zero, not down.
        {{0, 0, 3, 10}, {6, 5}, TileMode::tmCenter, topLeft, {}, {-1, 2}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BitmapPosition(c.rect, c.bitmap, c.mode, c.alignment, c.offset), c.at)
            << int(c.mode) << " " << c.rect.width() << "x" << c.rect.height();
}

TEST(FillPixels, TileGridCoversTheRectWithOneCopyToSpare) {
    const std::vector<QPoint> grid = TileGrid(QRect(10, 2, 20, 10), QSize(6, 4));
    ASSERT_EQ(grid.size(), 4u * 3u); // (20 div 6 + 1) x (10 div 4 + 1)
    EXPECT_EQ(grid.front(), QPoint(10, 2));
    EXPECT_EQ(grid[3], QPoint(28, 2));
    EXPECT_EQ(grid.back(), QPoint(28, 10));
    // An exact multiple still gets the spare copy, which is cut off.
    EXPECT_EQ(TileGrid(QRect(0, 0, 12, 8), QSize(6, 4)).size(), 3u * 3u);
    EXPECT_TRUE(TileGrid(QRect(0, 0, 12, 8), QSize()).empty());
}

TEST(FillPixels, TextColoursOverEachPart) {
    const QRgb bar = 1, brush = 2, font = 3;
    struct Case {
        FillStyle style;
        bool useFont;
        QRgb filled, unfilled;
    };
    const Case cases[] = {
        {FillStyle::sfNone, false, bar, brush},       {FillStyle::sfBrush, false, bar, brush},
        {FillStyle::sfGradient, false, bar, font},    {FillStyle::sfBitmap, false, bar, font},
        {FillStyle::sfBrushBitmap, false, bar, font}, {FillStyle::sfBrush, true, font, font},
        {FillStyle::sfGradient, true, font, font},
    };
    for (const Case& c : cases) {
        const TextColors t = TextColorsFor(c.style, c.useFont, bar, brush, font);
        EXPECT_EQ(t.filled, c.filled) << int(c.style) << c.useFont;
        EXPECT_EQ(t.unfilled, c.unfilled) << int(c.style) << c.useFont;
    }
}
