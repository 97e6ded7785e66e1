// The row loops below are meant for the vectoriser, whose cost model at -O2 only takes
// loops without a remainder; let it weigh the cost instead.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("vect-cost-model=dynamic")
#endif

// Functions with vector loops get an AVX2 copy, chosen at load time. Besides the wider
// registers this matters because Qt's own AVX code (QImage::fill) can leave the upper
// register halves in use, after which plain SSE instructions run several times slower.
#if defined(__GNUC__) && defined(__x86_64__) && defined(__linux__)
#define VECTOR_ROWS __attribute__((target_clones("avx2", "default")))
#else
#define VECTOR_ROWS
#endif

#include "textpixels.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace {
// Branch-free clamping: the noise makes the branches unpredictable.
inline int clampByte(int v) {
    return std::min(std::max(v, 0), 255);
}

// One draw a pixel of a row. The generator works on a local copy: stores through the
// output would otherwise force its state through memory at every step.
void fillDraws(std::vector<quint64>& draws, PixelRandom& random) {
    PixelRandom local = random;
    for (quint64& d : draws)
        d = local.next();
    random = local;
}

// Rounds half to even, as the blur weight and the rotated corners are defined.
inline int roundEven(double v) {
    return static_cast<int>(std::nearbyint(v));
}

inline QRgb blendPixel(QRgb d, QRgb c, int step) {
    const int dr = qRed(d), dg = qGreen(d), db = qBlue(d);
    return qRgb(dr + (qRed(c) - dr) * step / 256, dg + (qGreen(c) - dg) * step / 256,
                db + (qBlue(c) - db) * step / 256);
}

void checkCanvas(const QImage& canvas) {
    if (canvas.format() != QImage::Format_RGB32 && canvas.format() != QImage::Format_ARGB32 &&
        canvas.format() != QImage::Format_ARGB32_Premultiplied)
        throw std::invalid_argument("The canvas must be a 32-bit image");
}

// Runs rowFn(maskRow, canvasRow, firstMaskColumn, count) over the part of the mask that
// lies inside the canvas.
template <typename RowFn>
void forVisibleRows(const Mask& mask, QImage& canvas, int x, int y, const QRgb* solid,
                    RowFn rowFn) {
    checkCanvas(canvas);
    const int x0 = std::max(0, -x), x1 = std::min(mask.width, canvas.width() - x);
    const int y0 = std::max(0, -y), y1 = std::min(mask.height, canvas.height() - y);
    if (x0 >= x1 || y0 >= y1) return;
    for (int my = y0; my < y1; ++my) {
        QRgb* dst = reinterpret_cast<QRgb*>(canvas.scanLine(y + my)) + x + x0;
        if (solid) std::fill(dst, dst + (x1 - x0), *solid);
        rowFn(mask.row(my) + x0, dst, x0, x1 - x0, my);
    }
}
} // namespace

int QualityFactor(AAQuality quality) {
    switch (quality) {
    case aqHigh:
        return 4;
    case aqNormal:
        return 3;
    case aqLow:
        return 2;
    case aqNone:
        break;
    }
    return 1;
}

void Mask::resize(int w, int h) {
    width = std::max(0, w);
    height = std::max(0, h);
    stride = (width + 3) & ~3;
    bytes.assign(static_cast<size_t>(stride) * height, 0);
}

namespace {
// The samples are read through a compile-time step so that the common 32-bit scratch
// image gets fixed offsets in the inner loops.
template <int Step>
void downsampleRow(const uchar* r0, qsizetype srcStride, int k, quint8* out, int width) {
    switch (k) {
    case 4: {
        const uchar* r1 = r0 + srcStride;
        const uchar* r2 = r1 + srcStride;
        const uchar* r3 = r2 + srcStride;
        for (int x = 0; x < width; ++x) {
            const int o = x * 4 * Step;
            int sum = 0;
            for (int i = 0; i < 4; ++i)
                sum += r0[o + i * Step] + r1[o + i * Step] + r2[o + i * Step] + r3[o + i * Step];
            out[x] = static_cast<quint8>(sum >> 4);
        }
        break;
    }
    case 3: {
        const uchar* r1 = r0 + srcStride;
        const uchar* r2 = r1 + srcStride;
        for (int x = 0; x < width; ++x) {
            const int o = x * 3 * Step;
            // Two opposite corners count half, so the block weighs 8 in all.
            const int sum = r0[o] + r0[o + Step] + (r0[o + 2 * Step] >> 1) + r1[o] + r1[o + Step] +
                            r1[o + 2 * Step] + (r2[o] >> 1) + r2[o + Step] + r2[o + 2 * Step];
            out[x] = static_cast<quint8>(sum >> 3);
        }
        break;
    }
    case 2: {
        const uchar* r1 = r0 + srcStride;
        for (int x = 0; x < width; ++x) {
            const int o = x * 2 * Step;
            out[x] = static_cast<quint8>((r0[o] + r0[o + Step] + r1[o] + r1[o + Step]) >> 2);
        }
        break;
    }
    default:
        for (int x = 0; x < width; ++x)
            out[x] = r0[x * Step];
        break;
    }
}
} // namespace

VECTOR_ROWS void DownsampleCoverageRow(const uchar* src, qsizetype srcStride, int pixelStep,
                                       AAQuality quality, quint8* out, int width) {
    const int k = QualityFactor(quality);
    switch (pixelStep) {
    case 4:
        downsampleRow<4>(src, srcStride, k, out, width);
        break;
    case 1:
        downsampleRow<1>(src, srcStride, k, out, width);
        break;
    default: // any other step, without the fixed offsets
        for (int x = 0; x < width; ++x) {
            int sum = 0;
            for (int j = 0; j < k; ++j)
                for (int i = 0; i < k; ++i) {
                    const int s = src[j * srcStride + (x * k + i) * pixelStep];
                    // aqNormal halves the top-right and bottom-left corners.
                    const bool half = k == 3 && ((j == 0 && i == 2) || (j == 2 && i == 0));
                    sum += half ? s >> 1 : s;
                }
            out[x] = static_cast<quint8>(k == 3 ? sum >> 3 : sum / (k * k));
        }
        break;
    }
}

void DownsampleCoverage(const uchar* src, qsizetype srcStride, int step, AAQuality quality,
                        Mask& mask) {
    const int k = QualityFactor(quality);
    for (int y = 0; y < mask.height; ++y)
        DownsampleCoverageRow(src + static_cast<qsizetype>(y) * k * srcStride, srcStride, step,
                              quality, mask.row(y), mask.width);
}

VECTOR_ROWS void FillRow(QRgb* row, int n, QRgb value) {
    std::fill_n(row, std::max(n, 0), value);
}

VECTOR_ROWS void OutlineMask(Mask& mask) {
    const int w = mask.width, h = mask.height;
    if (h < 3 || w < 3) return;
    // Row y reads the rows above and below as they were: the row below is not written yet,
    // so only the original rows y - 1 and y need keeping.
    std::vector<quint8> kept(static_cast<size_t>(2) * w);
    quint8* up = kept.data();
    quint8* mid = up + w;
    std::copy_n(mask.row(0), w, up);
    std::copy_n(mask.row(1), w, mid);
    for (int y = 1; y < h - 1; ++y) {
        const quint8* down = mask.row(y + 1);
        quint8* out = mask.row(y);
        for (int x = 1; x < w - 1; ++x) {
            const int v = std::abs(down[x + 1] - up[x - 1]) + std::abs(down[x] - up[x]) +
                          std::abs(mid[x + 1] - mid[x - 1]) + std::abs(down[x - 1] - up[x + 1]);
            out[x] = static_cast<quint8>(v >> 2);
        }
        std::swap(up, mid);
        std::copy_n(down, w, mid); // row y + 1 as it was, before the next step writes it
    }
}

void SprayMask(Mask& mask, int range, PixelRandom& shared) {
    if (range <= 0 || mask.width == 0 || mask.height == 0) return;
    // A local generator: the byte stores below could alias the shared one's state.
    PixelRandom random = shared;
    const int w = mask.width, h = mask.height;
    const qsizetype stride = mask.stride;
    quint8* const bytes = mask.bytes.data();
    const quint32 n0 = static_cast<quint32>(range) + 1;
    // A pixel's source lies within range of it, so away from the edges no clamping is
    // needed; the generator's serial steps bound the speed, so the rest must stay cheap.
    auto sprayClamped = [&](quint8* out, int x, int y) {
        const quint64 draw = random.next();
        const int c = PixelRandom::field(draw, 0, range + 1);
        // With c = 0 both offsets come out 0, so no branch is needed.
        const int sx = std::min(std::max(x + c - PixelRandom::field(draw, 1, 2 * c), 0), w - 1);
        const int sy = std::min(std::max(y + c - PixelRandom::field(draw, 2, 2 * c), 0), h - 1);
        out[x] = bytes[sy * stride + sx];
    };
    for (int y = 0; y < h; ++y) {
        quint8* out = mask.row(y);
        const bool innerRow =
            range < PixelRandom::SmallFieldLimit / 2 && y >= range && y < h - range;
        const int innerBegin = innerRow ? std::min(range, w) : w;
        const int innerEnd = innerRow ? std::max(innerBegin, w - range) : w;
        int x = 0;
        for (; x < innerBegin; ++x)
            sprayClamped(out, x, y);
        for (; x < innerEnd; ++x) {
            const quint64 draw = random.next();
            const quint32 c = PixelRandom::smallField(draw, 0, n0);
            const quint32 n = 2 * c;
            const qsizetype dx = static_cast<qsizetype>(c) - PixelRandom::smallField(draw, 1, n);
            const qsizetype dy = static_cast<qsizetype>(c) - PixelRandom::smallField(draw, 2, n);
            out[x] = out[x + dx + dy * stride];
        }
        for (; x < w; ++x)
            sprayClamped(out, x, y);
    }
    shared = random;
}

VECTOR_ROWS void MirrorMaskHorizontally(Mask& mask) {
    for (int y = 0; y < mask.height; ++y)
        std::reverse(mask.row(y), mask.row(y) + mask.width);
}

VECTOR_ROWS void MirrorMaskVertically(Mask& mask) {
    for (int top = 0, bottom = mask.height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(mask.row(top), mask.row(top) + mask.stride, mask.row(bottom));
}

int BlurWeight(int amount) {
    // js.ini can hold up to 255; past 100 the weight would exceed 255 and overshoot.
    return roundEven(std::clamp(amount, 0, 100) * 255.0 / 100.0);
}

VECTOR_ROWS void BlurMask(Mask& mask, int amount) {
    const int w = mask.width, h = mask.height;
    if (amount == 0 || w == 0 || h == 0) return;
    const int k = BlurWeight(amount);
    const Mask s = mask;
    // Separable and sliding: the 5 x 5 sum with replicated edges is the sum over five
    // clamped rows of five clamped columns, and moving one step swaps one row (column).
    std::vector<int> cols(static_cast<size_t>(w) + 4);
    int* colSum = cols.data() + 2; // colSum[-2..w+1] hold the replicated edge columns
    auto clampRow = [h](int y) { return std::clamp(y, 0, h - 1); };
    for (int x = 0; x < w; ++x) {
        int v = 0;
        for (int dy = -2; dy <= 2; ++dy)
            v += s.at(x, clampRow(dy));
        colSum[x] = v;
    }
    for (int y = 0; y < h; ++y) {
        if (y > 0) {
            const quint8* leaving = s.row(clampRow(y - 3));
            const quint8* entering = s.row(clampRow(y + 2));
            for (int x = 0; x < w; ++x)
                colSum[x] += entering[x] - leaving[x];
        }
        colSum[-2] = colSum[-1] = colSum[0];
        colSum[w] = colSum[w + 1] = colSum[w - 1];
        const quint8* before = s.row(y);
        quint8* out = mask.row(y);
        // Five columns summed afresh at each pixel, not slid: independent pixels vectorise.
        // sum / 25 never ends in exactly .5, so adding 12 rounds it.
        if (k == 255) {
            for (int x = 0; x < w; ++x) {
                const unsigned sum =
                    colSum[x - 2] + colSum[x - 1] + colSum[x] + colSum[x + 1] + colSum[x + 2];
                out[x] = static_cast<quint8>((sum + 12) / 25);
            }
        } else {
            for (int x = 0; x < w; ++x) {
                const unsigned sum =
                    colSum[x - 2] + colSum[x - 1] + colSum[x] + colSum[x + 1] + colSum[x + 2];
                const int t = static_cast<int>((sum + 12) / 25);
                const int m = before[x];
                out[x] = static_cast<quint8>(m + (((t - m) * k) >> 8)); // floor division
            }
        }
    }
}

// Rows are mostly uncovered or fully covered, so the branches predict well; computing
// every pixel and selecting measured slower.
VECTOR_ROWS void BlendRowColor(const quint8* mask, QRgb* row, int width, int f, QRgb color) {
    color |= 0xFF000000u;
    for (int x = 0; x < width; ++x) {
        const int v = mask[x] * f;
        if (v >= 65280)
            row[x] = color;
        else if (v >= 256)
            row[x] = blendPixel(row[x], color, v >> 8);
    }
}

VECTOR_ROWS void BlendRowFill(const quint8* mask, QRgb* row, const QRgb* fill, int width, int f) {
    for (int x = 0; x < width; ++x) {
        const int v = mask[x] * f;
        if (v >= 65280)
            row[x] = fill[x] | 0xFF000000u;
        else if (v >= 256)
            row[x] = blendPixel(row[x], fill[x], v >> 8);
    }
}

void BlendMaskColor(const Mask& mask, QImage& canvas, int x, int y, int alphaPercent, QRgb color,
                    const QRgb* solidBackground) {
    const int f = BlendFactor(alphaPercent);
    forVisibleRows(mask, canvas, x, y, solidBackground,
                   [&](const quint8* m, QRgb* dst, int, int count, int) {
                       BlendRowColor(m, dst, count, f, color);
                   });
}

void BlendMaskFill(const Mask& mask, QImage& canvas, int x, int y, int alphaPercent,
                   const QImage& fill, const QRgb* solidBackground) {
    if (fill.width() != mask.width || fill.height() != mask.height ||
        fill.format() != QImage::Format_RGB32)
        throw std::invalid_argument("Invalid foreground bitmap!");
    const int f = BlendFactor(alphaPercent);
    forVisibleRows(mask, canvas, x, y, solidBackground,
                   [&](const quint8* m, QRgb* dst, int first, int count, int my) {
                       const auto* src = reinterpret_cast<const QRgb*>(fill.constScanLine(my));
                       BlendRowFill(m, dst, src + first, count, f);
                   });
}

QImage GradientImage(int width, int height, QRgb start, QRgb end, int style) {
    QImage image(std::max(0, width), std::max(0, height), QImage::Format_RGB32);
    if (image.isNull()) return image;
    const bool horizontal =
        style == gsLeftToRight || style == gsRightToLeft || style == gsCenterToLR;
    const bool centred = style == gsCenterToLR || style == gsCenterToTB;
    const bool forward = style == gsLeftToRight || style == gsTopToBottom;
    const int len = horizontal ? width : height;
    const int steps = centred ? (len + 1) / 2 : len;
    const QRgb c0 = forward ? start : end, c1 = forward ? end : start;
    std::vector<QRgb> ramp(static_cast<size_t>(len));
    for (int i = 0; i < steps; ++i) {
        ramp[i] = qRgb(qRed(c0) + i * (qRed(c1) - qRed(c0)) / steps,
                       qGreen(c0) + i * (qGreen(c1) - qGreen(c0)) / steps,
                       qBlue(c0) + i * (qBlue(c1) - qBlue(c0)) / steps);
        if (centred) ramp[len - 1 - i] = ramp[i];
    }
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        if (horizontal)
            std::copy(ramp.begin(), ramp.end(), row);
        else
            std::fill(row, row + width, ramp[y]);
    }
    return image;
}

QImage TextureImage(int width, int height, QRgb background, const QImage& picture, int mode) {
    QImage image(std::max(0, width), std::max(0, height), QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.fill(background);
    if (picture.isNull()) return image;
    QPainter p(&image);
    const int pw = picture.width(), ph = picture.height();
    switch (mode) {
    case tmStretched:
        p.drawImage(QRect(0, 0, width, height), picture);
        break;
    case tmCenter: // the parts outside are cut off
        p.drawImage(QPoint((width - pw) / 2, (height - ph) / 2), picture);
        break;
    case tmNormal:
        p.drawImage(QPoint(0, 0), picture);
        break;
    default: // tmTiled, from the top-left corner
        for (int j = 0; j <= height / ph; ++j)
            for (int i = 0; i <= width / pw; ++i)
                p.drawImage(QPoint(i * pw, j * ph), picture);
        break;
    }
    return image;
}

// The noise runs in two passes a row: the generator's serial steps alone, then the
// arithmetic on the draws, which vectorises.
VECTOR_ROWS QImage NoisyColorImage(int width, int height, QRgb color, int amount,
                                   PixelRandom& random) {
    QImage image(std::max(0, width), std::max(0, height), QImage::Format_RGB32);
    if (image.isNull()) return image;
    const int half = amount / 2;
    const quint32 n = static_cast<quint32>(std::clamp(amount, 0, PixelRandom::SmallFieldLimit - 1));
    const int r = qRed(color) - half, g = qGreen(color) - half, b = qBlue(color) - half;
    std::vector<quint64> draws(static_cast<size_t>(width));
    for (int y = 0; y < height; ++y) {
        fillDraws(draws, random);
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const quint64 draw = draws[x];
            const int nr = clampByte(r + static_cast<int>(PixelRandom::smallField(draw, 0, n)));
            const int ng = clampByte(g + static_cast<int>(PixelRandom::smallField(draw, 1, n)));
            const int nb = clampByte(b + static_cast<int>(PixelRandom::smallField(draw, 2, n)));
            row[x] = 0xFF000000u | static_cast<QRgb>(nr << 16 | ng << 8 | nb);
        }
    }
    return image;
}

VECTOR_ROWS void AddNoise(QImage& image, int amount, PixelRandom& random) {
    if (amount <= 0) return;
    checkCanvas(image);
    const int half = amount / 2;
    const quint32 n = static_cast<quint32>(std::min(amount, PixelRandom::SmallFieldLimit - 1));
    const int width = image.width(), height = image.height();
    std::vector<quint64> draws(static_cast<size_t>(width));
    for (int y = 0; y < height; ++y) {
        fillDraws(draws, random);
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb p = row[x];
            const quint64 draw = draws[x];
            const int nb = clampByte(static_cast<int>(p & 0xFF) - half +
                                     static_cast<int>(PixelRandom::smallField(draw, 0, n)));
            const int ng = clampByte(static_cast<int>(p >> 8 & 0xFF) - half +
                                     static_cast<int>(PixelRandom::smallField(draw, 1, n)));
            const int nr = clampByte(static_cast<int>(p >> 16 & 0xFF) - half +
                                     static_cast<int>(PixelRandom::smallField(draw, 2, n)));
            row[x] = (p & 0xFF000000u) | static_cast<QRgb>(nr << 16 | ng << 8 | nb);
        }
    }
}

RotatedExtent RotateExtent(int cx, int cy, int escapement) {
    if (escapement == 0) return {cx, cy, 0, 0};
    const double theta = escapement * M_PI / 1800.0;
    const double s = std::sin(-theta), c = std::cos(-theta);
    const double w = cx / 2.0, h = cy / 2.0;
    const int px[4] = {roundEven(h * s - w * c), roundEven(w * c + h * s),
                       roundEven(-w * c - h * s), roundEven(w * c - h * s)};
    const int py[4] = {roundEven(-w * s - h * c), roundEven(w * s - h * c),
                       roundEven(h * c - w * s), roundEven(w * s + h * c)};
    const auto [minX, maxX] = std::minmax_element(px, px + 4);
    const auto [minY, maxY] = std::minmax_element(py, py + 4);
    RotatedExtent e;
    e.width = *maxX - *minX;
    e.height = *maxY - *minY;
    e.originX = e.width / 2 + px[0];
    e.originY = e.height / 2 + py[0];
    return e;
}

int ItalicWidth(int cx, int characters) {
    if (characters <= 0) return cx;
    return cx + roundEven(static_cast<double>(cx) / characters * 0.3);
}
