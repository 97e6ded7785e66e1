// Pixel operations of the anti-aliased text on small hand-made masks.
#include "textpixels.h"
#include "textrenderer.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace {
Mask maskOf(int w, int h, const std::vector<int>& values) {
    Mask m(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            m.at(x, y) = static_cast<quint8>(values[static_cast<size_t>(y * w + x)]);
    return m;
}

std::vector<int> valuesOf(const Mask& m) {
    std::vector<int> v;
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x)
            v.push_back(m.at(x, y));
    return v;
}

std::vector<int> redsOfRow(const QImage& image, int y) {
    std::vector<int> v;
    for (int x = 0; x < image.width(); ++x)
        v.push_back(qRed(image.pixel(x, y)));
    return v;
}

std::vector<int> redsOfColumn(const QImage& image, int x) {
    std::vector<int> v;
    for (int y = 0; y < image.height(); ++y)
        v.push_back(qRed(image.pixel(x, y)));
    return v;
}

QImage imageOf(int w, int h, QRgb fill) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}
} // namespace

TEST(TextPixels, MaskRowsArePaddedToFourBytes) {
    EXPECT_EQ(Mask(5, 2).stride, 8);
    EXPECT_EQ(Mask(8, 2).stride, 8);
    EXPECT_EQ(Mask(0, 0).bytes.size(), 0u);
}

TEST(TextPixels, BlendMovesByCoverageTimesAlpha) {
    const quint8 coverage[] = {255, 128, 1, 0, 100};
    struct Case {
        int alpha;
        QRgb background, color;
        std::vector<int> reds;
    };
    const Case cases[] = {
        // Full coverage at alpha 100 takes the colour exactly; coverage m moves m/256.
        {100, qRgb(0, 0, 0), qRgb(255, 0, 0), {255, 127, 0, 0, 99}},
        // Alpha 50: f = 128, a covered pixel moves 127/256 of the way.
        {50, qRgb(0, 0, 0), qRgb(255, 0, 0), {126, 63, 0, 0, 49}},
        // Downward moves truncate towards zero.
        {50, qRgb(255, 0, 0), qRgb(0, 0, 0), {129, 192, 255, 255, 206}},
        // A stored alpha above 100 (8 bits are kept) saturates sooner.
        {255, qRgb(0, 0, 0), qRgb(255, 0, 0), {255, 255, 1, 0, 253}},
        {0, qRgb(10, 0, 0), qRgb(255, 0, 0), {10, 10, 10, 10, 10}},
    };
    for (const Case& c : cases) {
        std::vector<QRgb> row(5, c.background);
        BlendRowColor(coverage, row.data(), 5, BlendFactor(c.alpha), c.color);
        std::vector<int> reds;
        for (QRgb p : row)
            reds.push_back(qRed(p));
        EXPECT_EQ(reds, c.reds) << "alpha " << c.alpha;
    }
}

TEST(TextPixels, BlendWithFillImageTakesEachPixelsColourAndClipsToCanvas) {
    const Mask mask = maskOf(2, 2, {255, 0, 128, 255});
    QImage fill = imageOf(2, 2, qRgb(0, 0, 0));
    fill.setPixel(0, 0, qRgb(200, 0, 0));
    fill.setPixel(0, 1, qRgb(100, 0, 0));
    fill.setPixel(1, 1, qRgb(50, 0, 0));
    QImage canvas = imageOf(3, 3, qRgb(0, 0, 0));
    // Placed one pixel past the left edge: only the right column lands on the canvas.
    BlendMaskFill(mask, canvas, -1, 1, 100, fill);
    EXPECT_EQ(redsOfColumn(canvas, 0), (std::vector<int>{0, 0, 50}));
    EXPECT_EQ(redsOfColumn(canvas, 1), (std::vector<int>{0, 0, 0}));

    canvas = imageOf(2, 2, qRgb(0, 0, 0));
    const QRgb solid = qRgb(10, 0, 0);
    BlendMaskFill(mask, canvas, 0, 0, 100, fill, &solid);
    EXPECT_EQ(redsOfRow(canvas, 0), (std::vector<int>{200, 10}));
    EXPECT_EQ(redsOfRow(canvas, 1), (std::vector<int>{10 + (90 * 128) / 256, 50}));

    EXPECT_THROW(BlendMaskFill(mask, canvas, 0, 0, 100, imageOf(3, 2, 0)), std::invalid_argument);
    EXPECT_THROW(BlendMaskFill(mask, canvas, 0, 0, 100,
                               imageOf(2, 2, 0).convertToFormat(QImage::Format_RGB888)),
                 std::invalid_argument);
}

TEST(TextPixels, DownsampleWeighsEachBlockByQuality) {
    struct Case {
        AAQuality quality;
        int k;
        std::vector<int> samples; // one k x k block, row by row
        int expected;
    };
    const Case cases[] = {
        {aqHigh, 4, std::vector<int>(16, 255), 255},
        {aqHigh, 4, {255, 255, 255, 255}, 63}, // only the top row
        // Top-right and bottom-left count half: a full block gives 254, not 255.
        {aqNormal, 3, std::vector<int>(9, 255), 254},
        {aqNormal, 3, {0, 0, 255, 0, 0, 0, 0, 0, 0}, 15},
        {aqNormal, 3, {255, 0, 0, 0, 0, 0, 0, 0, 0}, 31},
        {aqNormal, 3, {0, 0, 0, 0, 0, 0, 255, 0, 0}, 15},
        {aqNormal, 3, {0, 0, 0, 0, 0, 0, 0, 0, 255}, 31},
        {aqLow, 2, {255, 255, 255, 0}, 191},
        {aqNone, 1, {77}, 77},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(QualityFactor(c.quality), c.k);
        // Two blocks side by side, the second empty, as 32-bit samples (read every 4th byte).
        const int stride = 2 * c.k * 4;
        std::vector<uchar> src(static_cast<size_t>(stride * c.k), 0);
        for (int i = 0; i < c.k * c.k; ++i)
            src[static_cast<size_t>((i / c.k) * stride + (i % c.k) * 4)] =
                static_cast<uchar>(c.samples.size() > static_cast<size_t>(i) ? c.samples[i] : 0);
        Mask mask(2, 1);
        DownsampleCoverage(src.data(), stride, 4, c.quality, mask);
        EXPECT_EQ(mask.at(0, 0), c.expected) << "quality " << c.quality;
        EXPECT_EQ(mask.at(1, 0), 0);
    }
}

TEST(TextPixels, OutlineTakesTheGradientOfInnerPixelsOnly) {
    Mask mask = maskOf(4, 3,
                       {9, 0, 0, 7, //
                        5, 0, 0, 6, //
                        200, 100, 40, 3});
    OutlineMask(mask);
    // (1,1): |40-9| + |100-0| + |0-5| + |200-0| = 336, / 4
    // (2,1): |3-0| + |40-0| + |6-0| + |100-7| = 142, / 4
    EXPECT_EQ(valuesOf(mask), (std::vector<int>{9, 0, 0, 7, 5, 84, 35, 6, 200, 100, 40, 3}));

    Mask flat = maskOf(3, 2, {0, 255, 0, 255, 0, 255});
    OutlineMask(flat);
    EXPECT_EQ(valuesOf(flat), (std::vector<int>{0, 255, 0, 255, 0, 255}));
}

TEST(TextPixels, MirrorsReverseRowsOrTheirOrder) {
    Mask h = maskOf(3, 2, {1, 2, 3, 4, 5, 6});
    MirrorMaskHorizontally(h);
    EXPECT_EQ(valuesOf(h), (std::vector<int>{3, 2, 1, 6, 5, 4}));
    Mask v = maskOf(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    MirrorMaskVertically(v);
    EXPECT_EQ(valuesOf(v), (std::vector<int>{7, 8, 9, 4, 5, 6, 1, 2, 3}));
}

TEST(TextPixels, BlurWeightRoundsHalvesToEven) {
    EXPECT_EQ(BlurWeight(100), 255);
    EXPECT_EQ(BlurWeight(50), 128); // 127.5
    EXPECT_EQ(BlurWeight(30), 76);  // 76.5
    EXPECT_EQ(BlurWeight(10), 26);  // 25.5
    EXPECT_EQ(BlurWeight(1), 3);    // 2.55
}

TEST(TextPixels, BlurReplicatesEdgesAndMovesByTheWeight) {
    // A single row (or column): the five rows (columns) across it are all the edge one.
    const std::vector<int> line{100, 0, 0, 0, 0, 0};
    struct Case {
        int amount;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {100, {60, 40, 20, 0, 0, 0}}, // the plain 25-average: offsets 0,0,0,1,2 at the edge
        {50, {80, 20, 10, 0, 0, 0}},  // half-way
        {1, {99, 0, 0, 0, 0, 0}},     // (60-100)*3/256 rounds towards minus infinity
    };
    for (const Case& c : cases) {
        Mask row = maskOf(6, 1, line);
        BlurMask(row, c.amount);
        EXPECT_EQ(valuesOf(row), c.expected) << "row, amount " << c.amount;
        Mask column = maskOf(1, 6, line);
        BlurMask(column, c.amount);
        EXPECT_EQ(valuesOf(column), c.expected) << "column, amount " << c.amount;
    }
}

TEST(TextPixels, BlurMatchesTheDirectNeighbourhoodSum) {
    PixelRandom random(7);
    for (const QSize size : {QSize(9, 7), QSize(2, 3), QSize(4, 1)}) {
        const int w = size.width(), h = size.height();
        Mask mask(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                mask.at(x, y) = static_cast<quint8>(random.below(256));
        const Mask source = mask;
        BlurMask(mask, 37);
        const int k = BlurWeight(37);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int sum = 0;
                for (int dy = -2; dy <= 2; ++dy)
                    for (int dx = -2; dx <= 2; ++dx)
                        sum +=
                            source.at(std::clamp(x + dx, 0, w - 1), std::clamp(y + dy, 0, h - 1));
                const int t = static_cast<int>(std::lround(sum / 25.0));
                const int m = source.at(x, y);
                const int d = (t - m) * k;
                const int expected = m + (d >= 0 ? d / 256 : -((-d + 255) / 256));
                ASSERT_EQ(mask.at(x, y), expected) << w << "x" << h << " at " << x << "," << y;
            }
    }
}

// A byte in js.ini can hold more than 100 per cent; beyond 100 the weight would pass 255 and
// overshoot the average, wrapping bytes into speckles. Such amounts blur as 100 does, for
// the text and for its shadow.
TEST(TextPixels, BlurAboveOneHundredActsAsOneHundred) {
    PixelRandom random(11);
    Mask source(12, 9);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x)
            source.at(x, y) = random.below(3) == 0 ? 255 : 0; // hard edges everywhere
    Mask full = source;
    BlurMask(full, 100);

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(30);
    const auto render = [&](int blur, int shadowBlur) {
        TextEffect effect;
        effect.Blur = static_cast<quint8>(blur);
        effect.Shadow.Enabled = true;
        effect.Shadow.Blur = static_cast<quint8>(shadowBlur);
        TextRenderer r;
        r.setFont(font);
        r.setEffect(effect);
        QImage canvas(r.MeasureText("08:15"), QImage::Format_RGB32);
        canvas.fill(qRgb(240, 240, 240));
        r.RenderText(canvas, 0, 0, "08:15");
        return canvas;
    };
    const QImage reference = render(100, 100);

    for (int amount : {101, 200, 255}) {
        SCOPED_TRACE(amount);
        EXPECT_EQ(BlurWeight(amount), 255);
        Mask mask = source;
        BlurMask(mask, amount);
        EXPECT_EQ(valuesOf(mask), valuesOf(full));
        EXPECT_EQ(render(amount, amount), reference);
    }
}

TEST(TextPixels, GradientRampsRunByStyle) {
    const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0);
    struct Case {
        int style, w, h;
        bool horizontal;
        QRgb start, end;
        std::vector<int> ramp; // along the ramp direction
    };
    const Case cases[] = {
        {gsLeftToRight, 5, 2, true, white, black, {255, 204, 153, 102, 51}},
        {gsRightToLeft, 5, 2, true, white, black, {0, 51, 102, 153, 204}},
        {gsTopToBottom, 2, 5, false, white, black, {255, 204, 153, 102, 51}},
        {gsBottomToTop, 2, 5, false, white, black, {0, 51, 102, 153, 204}},
        // Centre styles: black at both ends, near white in the middle.
        {gsCenterToLR, 5, 2, true, white, black, {0, 85, 170, 85, 0}},
        {gsCenterToLR, 6, 1, true, white, black, {0, 85, 170, 170, 85, 0}},
        {gsCenterToTB, 1, 5, false, white, black, {0, 85, 170, 85, 0}},
        // Steps truncate towards zero: 10 - 10/3 is 7, not 6.
        {gsLeftToRight, 3, 1, true, qRgb(10, 0, 0), black, {10, 7, 4}},
    };
    for (const Case& c : cases) {
        const QImage g = GradientImage(c.w, c.h, c.start, c.end, c.style);
        for (int i = 0; i < (c.horizontal ? c.h : c.w); ++i)
            EXPECT_EQ(c.horizontal ? redsOfRow(g, i) : redsOfColumn(g, i), c.ramp)
                << "style " << c.style << " line " << i;
    }
    const QImage blue = GradientImage(3, 1, qRgb(0, 0, 0), qRgb(0, 30, 90), gsLeftToRight);
    EXPECT_EQ(blue.pixel(1, 0), qRgb(0, 10, 30));
}

TEST(TextPixels, TexturePlacementByMode) {
    // A picture whose pixel (x, y) has red 10*x + y.
    const auto picture = [](int w, int h) {
        QImage p(w, h, QImage::Format_RGB32);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                p.setPixel(x, y, qRgb(10 * x + y, 0, 0));
        return p;
    };
    const QRgb font = qRgb(250, 0, 0);

    // Centred and larger than the text: the middle shows, the rest is cut off. (3-6)/2 is -1.
    const QImage centred = TextureImage(3, 2, font, picture(6, 4), tmCenter);
    EXPECT_EQ(redsOfRow(centred, 0), (std::vector<int>{11, 21, 31}));
    EXPECT_EQ(redsOfRow(centred, 1), (std::vector<int>{12, 22, 32}));

    const QImage small = TextureImage(5, 1, font, picture(2, 1), tmCenter);
    EXPECT_EQ(redsOfRow(small, 0), (std::vector<int>{250, 0, 10, 250, 250}));

    const QImage tiled = TextureImage(5, 3, font, picture(2, 2), tmTiled);
    EXPECT_EQ(redsOfRow(tiled, 0), (std::vector<int>{0, 10, 0, 10, 0}));
    EXPECT_EQ(redsOfRow(tiled, 2), (std::vector<int>{0, 10, 0, 10, 0}));
    EXPECT_EQ(redsOfColumn(tiled, 1), (std::vector<int>{10, 11, 10}));

    const QImage normal = TextureImage(3, 3, font, picture(2, 2), tmNormal);
    EXPECT_EQ(redsOfRow(normal, 1), (std::vector<int>{1, 11, 250}));
    EXPECT_EQ(redsOfRow(normal, 2), (std::vector<int>{250, 250, 250}));

    QImage one(1, 1, QImage::Format_RGB32);
    one.fill(qRgb(5, 6, 7));
    const QImage stretched = TextureImage(4, 3, font, one, tmStretched);
    EXPECT_EQ(stretched.pixel(0, 0), qRgb(5, 6, 7));
    EXPECT_EQ(stretched.pixel(3, 2), qRgb(5, 6, 7));
}

TEST(TextPixels, NoiseStaysInItsRange) {
    PixelRandom random(3);
    QImage image = imageOf(40, 10, qRgb(100, 2, 253));
    AddNoise(image, 10, random); // adds -5 .. +4, clamped
    const QImage noisy = NoisyColorImage(40, 10, qRgb(100, 2, 253), 10, random);
    for (const QImage& img : {image, noisy}) {
        bool varied = false;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb p = img.pixel(x, y);
                ASSERT_GE(qRed(p), 95);
                ASSERT_LE(qRed(p), 104);
                ASSERT_LE(qGreen(p), 6);
                ASSERT_GE(qBlue(p), 248);
                varied = varied || qRed(p) != 100;
            }
        EXPECT_TRUE(varied);
    }
}

TEST(TextPixels, SprayOnlyMovesExistingValues) {
    PixelRandom random(11);
    std::vector<int> values;
    for (int i = 0; i < 64; ++i)
        values.push_back(i % 2 ? 200 : 0);
    Mask mask = maskOf(8, 8, values);
    SprayMask(mask, 0, random);
    EXPECT_EQ(valuesOf(mask), values);
    SprayMask(mask, 3, random);
    for (int v : valuesOf(mask))
        EXPECT_TRUE(v == 0 || v == 200);
    EXPECT_NE(valuesOf(mask), values);
}

TEST(TextPixels, RotatedExtentAndOrigin) {
    struct Case {
        int cx, cy, escapement;
        RotatedExtent expected;
    };
    const Case cases[] = {
        {100, 40, 0, {100, 40, 0, 0}},
        {100, 40, 900, {40, 100, 0, 100}},   // runs upwards from the bottom-left
        {100, 40, -900, {40, 100, 40, 0}},   // runs downwards from the top-right
        {100, 40, 1800, {100, 40, 100, 40}}, // upside down from the bottom-right
        {100, 40, 450, {98, 98, 0, 70}},
    };
    for (const Case& c : cases) {
        const RotatedExtent r = RotateExtent(c.cx, c.cy, c.escapement);
        EXPECT_EQ(r.width, c.expected.width) << c.escapement;
        EXPECT_EQ(r.height, c.expected.height) << c.escapement;
        EXPECT_EQ(r.originX, c.expected.originX) << c.escapement;
        EXPECT_EQ(r.originY, c.expected.originY) << c.escapement;
    }
}

TEST(TextPixels, ItalicWidening) {
    EXPECT_EQ(ItalicWidth(100, 5), 106);
    EXPECT_EQ(ItalicWidth(50, 1), 65);
    EXPECT_EQ(ItalicWidth(100, 0), 100);
}

// The pixel operations above are written for speed (vector loops, an unclamped inner
// region, the generator run ahead of the arithmetic). Below, each is checked to give
// exactly what the plain per-pixel definition gives, on masks wide enough to reach the
// vector loops and their remainders, with the same random draws.
namespace straightforward {
void downsample(const uchar* src, qsizetype stride, int step, AAQuality quality, Mask& mask) {
    const int k = QualityFactor(quality);
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x) {
            int sum = 0;
            for (int j = 0; j < k; ++j)
                for (int i = 0; i < k; ++i) {
                    const int v = src[(y * k + j) * stride + (x * k + i) * step];
                    const bool halved =
                        quality == aqNormal && ((j == 0 && i == 2) || (j == 2 && i == 0));
                    sum += halved ? v >> 1 : v;
                }
            const int shift = quality == aqHigh     ? 4
                              : quality == aqNormal ? 3
                              : quality == aqLow    ? 2
                                                    : 0;
            mask.at(x, y) = static_cast<quint8>(sum >> shift);
        }
}

void outline(Mask& mask) {
    if (mask.width < 3 || mask.height < 3) return;
    const Mask s = mask;
    for (int y = 1; y < mask.height - 1; ++y)
        for (int x = 1; x < mask.width - 1; ++x)
            mask.at(x, y) =
                static_cast<quint8>((std::abs(s.at(x + 1, y + 1) - s.at(x - 1, y - 1)) +
                                     std::abs(s.at(x, y + 1) - s.at(x, y - 1)) +
                                     std::abs(s.at(x + 1, y) - s.at(x - 1, y)) +
                                     std::abs(s.at(x - 1, y + 1) - s.at(x + 1, y - 1))) /
                                    4);
}

void spray(Mask& mask, int range, PixelRandom& random) {
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x) {
            const quint64 draw = random.next();
            const int c = PixelRandom::field(draw, 0, range + 1);
            const int sx =
                std::clamp(x + c - PixelRandom::field(draw, 1, 2 * c), 0, mask.width - 1);
            const int sy =
                std::clamp(y + c - PixelRandom::field(draw, 2, 2 * c), 0, mask.height - 1);
            mask.at(x, y) = mask.at(sx, sy);
        }
}

int noisy(int channel, quint64 draw, int field, int amount) {
    return std::clamp(channel + PixelRandom::field(draw, field, amount) - amount / 2, 0, 255);
}

void addNoise(QImage& image, int amount, PixelRandom& random) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const quint64 draw = random.next();
            image.setPixel(x, y,
                           qRgba(noisy(qRed(p), draw, 2, amount), noisy(qGreen(p), draw, 1, amount),
                                 noisy(qBlue(p), draw, 0, amount), qAlpha(p)));
        }
}

QImage noisyColor(int w, int h, QRgb color, int amount, PixelRandom& random) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const quint64 draw = random.next();
            image.setPixel(x, y,
                           qRgb(noisy(qRed(color), draw, 0, amount),
                                noisy(qGreen(color), draw, 1, amount),
                                noisy(qBlue(color), draw, 2, amount)));
        }
    return image;
}
} // namespace straightforward

namespace {
// Sizes below, at and above the vector widths, and a clock-sized one.
const QSize EquivalenceSizes[] = {QSize(1, 1),  QSize(2, 5),   QSize(3, 3),    QSize(17, 4),
                                  QSize(33, 9), QSize(70, 23), QSize(129, 40), QSize(414, 31)};

// Random values with long runs of 0 and 255, like text.
Mask textLikeMask(int w, int h, PixelRandom& random) {
    Mask m(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int kind = random.below(4);
            m.at(x, y) = static_cast<quint8>(kind == 0 ? 0 : kind == 1 ? 255 : random.below(256));
        }
    return m;
}

QImage randomImage(int w, int h, PixelRandom& random) {
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, static_cast<QRgb>(random.next() >> 32));
    return image;
}
} // namespace

TEST(TextPixelsEquivalence, DownsampleMatchesTheBlockSums) {
    PixelRandom random(21);
    for (const AAQuality quality : {aqHigh, aqNormal, aqLow, aqNone})
        for (const int step : {1, 3, 4})
            for (const QSize size : EquivalenceSizes) {
                const int k = QualityFactor(quality), w = size.width(), h = size.height();
                const qsizetype stride = static_cast<qsizetype>(k) * w * step + 5;
                std::vector<uchar> src(static_cast<size_t>(stride * k * h));
                for (uchar& b : src)
                    b = static_cast<uchar>(random.below(256));
                Mask fast(w, h), plain(w, h);
                DownsampleCoverage(src.data(), stride, step, quality, fast);
                straightforward::downsample(src.data(), stride, step, quality, plain);
                ASSERT_EQ(valuesOf(fast), valuesOf(plain))
                    << "quality " << quality << ", step " << step << ", " << w << "x" << h;
            }
}

TEST(TextPixelsEquivalence, OutlineSprayAndBlurMatchThePerPixelDefinitions) {
    PixelRandom random(5);
    for (const QSize size : EquivalenceSizes) {
        const int w = size.width(), h = size.height();
        const Mask source = textLikeMask(w, h, random);

        Mask fast = source, plain = source;
        OutlineMask(fast);
        straightforward::outline(plain);
        ASSERT_EQ(valuesOf(fast), valuesOf(plain)) << "outline " << w << "x" << h;

        for (const int range : {1, 3, 9, 300}) { // 300 reaches past every edge
            PixelRandom a(range), b(range);
            fast = source;
            plain = source;
            SprayMask(fast, range, a);
            straightforward::spray(plain, range, b);
            ASSERT_EQ(valuesOf(fast), valuesOf(plain))
                << "spray " << range << ", " << w << "x" << h;
            ASSERT_EQ(a.next(), b.next()) << "the generator must have moved as far";
        }

        for (const int amount : {37, 100}) {
            fast = source;
            BlurMask(fast, amount);
            const int k = BlurWeight(amount);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    int sum = 0;
                    for (int dy = -2; dy <= 2; ++dy)
                        for (int dx = -2; dx <= 2; ++dx)
                            sum += source.at(std::clamp(x + dx, 0, w - 1),
                                             std::clamp(y + dy, 0, h - 1));
                    const int t = static_cast<int>(std::lround(sum / 25.0));
                    const int m = source.at(x, y);
                    const int expected =
                        k == 255 ? t : m + static_cast<int>(std::floor((t - m) * k / 256.0));
                    ASSERT_EQ(fast.at(x, y), expected)
                        << "blur " << amount << ", " << w << "x" << h << " at " << x << "," << y;
                }
        }
    }
}

TEST(TextPixelsEquivalence, NoiseMatchesThePerPixelDefinitions) {
    PixelRandom random(8);
    for (const QSize size : EquivalenceSizes)
        for (const int amount : {1, 40, 255}) {
            const int w = size.width(), h = size.height();
            const QImage source = randomImage(w, h, random); // alpha must be kept
            QImage fast = source, plain = source;
            PixelRandom a(amount), b(amount);
            AddNoise(fast, amount, a);
            straightforward::addNoise(plain, amount, b);
            ASSERT_EQ(fast, plain) << "added, amount " << amount << ", " << w << "x" << h;

            const QRgb color = qRgb(250, 3, 128);
            const QImage fastColor = NoisyColorImage(w, h, color, amount, a);
            const QImage plainColor = straightforward::noisyColor(w, h, color, amount, b);
            ASSERT_EQ(fastColor, plainColor)
                << "colour, amount " << amount << ", " << w << "x" << h;
            ASSERT_EQ(a.next(), b.next());
        }
}

// The renderer keeps the last text's coverage and cleans its scratch image as it reads
// it: a long-lived renderer must draw exactly what a new one draws, whatever came before.
TEST(TextPixelsEquivalence, RendererDrawsAsANewOneAfterAnyEarlierText) {
    struct Step {
        QString text;
        int pointSize, angle;
        AAQuality quality;
    };
    const Step steps[] = {
        {"88:88", 40, 15, aqNormal}, {"88:89", 40, 15, aqNormal}, {"88:88", 40, 15, aqNormal},
        {"88:88", 40, 15, aqNormal}, {"1", 40, 15, aqNormal},     {"88:88", 30, 15, aqNormal},
        {"88:88", 30, 0, aqNormal},  {"88:88", 30, 0, aqHigh},    {"88:88", 30, 0, aqNone},
        {"-7", 60, -40, aqLow},      {"88:88", 40, 15, aqNormal},
    };
    TextEffect effect;
    effect.Outline = true;
    effect.Shadow.Enabled = true;
    effect.Blur = 30;
    TextRenderer kept;
    for (const Step& s : steps) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(s.pointSize);
        effect.Angle = static_cast<qint16>(s.angle);
        TextRenderer fresh;
        for (TextRenderer* r : {&kept, &fresh}) {
            r->setFont(font);
            r->setEffect(effect);
            r->SetQuality(s.quality);
        }
        const QSize size = fresh.MeasureText(s.text);
        ASSERT_EQ(kept.MeasureText(s.text), size) << s.text.toStdString();
        QImage a(size, QImage::Format_RGB32), b(size, QImage::Format_RGB32);
        a.fill(qRgb(10, 20, 30));
        b.fill(qRgb(10, 20, 30));
        kept.RenderText(a, 0, 0, s.text);
        fresh.RenderText(b, 0, 0, s.text);
        EXPECT_EQ(valuesOf(kept.mask()), valuesOf(fresh.mask()))
            << s.text.toStdString() << " at " << s.pointSize << " pt, angle " << s.angle;
        EXPECT_EQ(a, b) << s.text.toStdString() << " at " << s.pointSize << " pt, angle "
                        << s.angle;
    }
}
