#pragma once

// Pixel work of the anti-aliased text: pure functions over a coverage mask and over the
// rows of 32-bit images (QImage::Format_RGB32). Integer arithmetic on whole rows; they need
// no window system.

#include "texteffect.h"

#include <QImage>
#include <QtGlobal>

#include <vector>

// Enlargement used to smooth the glyph edges: the text is drawn k times larger and each
// k x k block is averaged down (k = 4, 3, 2, 1).
enum AAQuality { aqHigh, aqNormal, aqLow, aqNone };

int QualityFactor(AAQuality quality);

// Grey-level coverage, one byte a pixel, 0 background to 255 covered. Rows are padded to
// a multiple of 4 bytes.
struct Mask {
    int width = 0, height = 0, stride = 0;
    std::vector<quint8> bytes;

    Mask() = default;
    Mask(int w, int h) { resize(w, h); }
    // Resizes and clears to 0.
    void resize(int w, int h);
    quint8* row(int y) { return bytes.data() + static_cast<size_t>(y) * stride; }
    const quint8* row(int y) const { return bytes.data() + static_cast<size_t>(y) * stride; }
    quint8 at(int x, int y) const { return row(y)[x]; }
    quint8& at(int x, int y) { return row(y)[x]; }
};

// Small, fast, seedable generator (xorshift64*) for spray and noise. One draw yields three
// independent 21-bit fields, so the per-pixel triples cost one step.
class PixelRandom {
public:
    explicit PixelRandom(quint64 seed = 0x9E3779B97F4A7C15ull) : m_state(seed ? seed : 1) {}
    quint64 next() {
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return m_state * 0x2545F4914F6CDD1Dull;
    }
    // Uniform in 0 .. n-1 (0 when n <= 0).
    int below(int n) { return scaled(next() >> 43, n); }
    // Field 0, 1 or 2 of a draw, scaled to 0 .. n-1 (n below 2^21).
    static int field(quint64 draw, int index, int n) {
        return scaled((draw >> (1 + 21 * index)) & 0x1FFFFF, n);
    }

    // field() for n below SmallFieldLimit, in 32-bit arithmetic, which vectorises.
    static constexpr int SmallFieldLimit = 1 << 11;
    static quint32 smallField(quint64 draw, int index, quint32 n) {
        return static_cast<quint32>((draw >> (1 + 21 * index)) & 0x1FFFFF) * n >> 21;
    }

private:
    static int scaled(quint64 bits21, int n) {
        return n <= 0 ? 0 : static_cast<int>((bits21 * static_cast<quint64>(n)) >> 21);
    }
    quint64 m_state;
};

// Averages the k x k blocks of an enlarged grey image (one byte a sample, pixelStep bytes
// between samples of a row) into mask, whose size must already be set.
void DownsampleCoverage(const uchar* src, qsizetype srcStride, int pixelStep, AAQuality quality,
                        Mask& mask);
// One mask row of the above: out[0 .. width-1] from the k rows starting at src.
void DownsampleCoverageRow(const uchar* src, qsizetype srcStride, int pixelStep, AAQuality quality,
                           quint8* out, int width);

// Sets n pixels of a 32-bit row to value.
void FillRow(QRgb* row, int n, QRgb value);

// Edge detection on the inner pixels; the border rows and columns keep their values.
void OutlineMask(Mask& mask);
// Scatters each pixel by up to range pixels (in place, so moved pixels can move again).
void SprayMask(Mask& mask, int range, PixelRandom& random);
void MirrorMaskHorizontally(Mask& mask);
void MirrorMaskVertically(Mask& mask);

// Blur weight K of an amount in percent (round half to even of amount * 255 / 100); amounts
// above 100 weigh as 100.
int BlurWeight(int amount);
// Moves each pixel K/256 of the way to its 5 x 5 average (edges replicated).
void BlurMask(Mask& mask, int amount);

// Alpha factor f of an opacity in percent.
inline int BlendFactor(int alphaPercent) {
    return alphaPercent * 256 / 100;
}
// One row: pixel x moves toward color by mask[x] * f.
void BlendRowColor(const quint8* mask, QRgb* row, int width, int f, QRgb color);
void BlendRowFill(const quint8* mask, QRgb* row, const QRgb* fill, int width, int f);

// Blends mask at (x, y) onto canvas (RGB32), clipped to the canvas. With solidBackground
// the area starts from that colour instead of what the canvas holds.
void BlendMaskColor(const Mask& mask, QImage& canvas, int x, int y, int alphaPercent, QRgb color,
                    const QRgb* solidBackground = nullptr);
// As above with a fill image of the mask's size; throws std::invalid_argument for a fill
// image of another size or format.
void BlendMaskFill(const Mask& mask, QImage& canvas, int x, int y, int alphaPercent,
                   const QImage& fill, const QRgb* solidBackground = nullptr);

// Fill images (RGB32, width x height). Noise amounts (a byte in the effect) are taken as
// at most 2047.
QImage GradientImage(int width, int height, QRgb start, QRgb end, int style);
QImage TextureImage(int width, int height, QRgb background, const QImage& picture, int mode);
QImage NoisyColorImage(int width, int height, QRgb color, int amount, PixelRandom& random);
// Adds a random -amount/2 .. amount - 1 - amount/2 to every colour channel.
void AddNoise(QImage& image, int amount, PixelRandom& random);

// Extent of text cx x cy rotated by an escapement in tenths of a degree, and the point
// inside that extent where the text's top-left corner goes.
struct RotatedExtent {
    int width = 0, height = 0, originX = 0, originY = 0;
};
RotatedExtent RotateExtent(int cx, int cy, int escapement);

// Widening of italic text whose last glyph leans out of its advance: cx + round(cx / n * 0.3)
// for n characters.
int ItalicWidth(int cx, int characters);
