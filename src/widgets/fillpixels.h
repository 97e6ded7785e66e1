#pragma once

// Pixel work of the progress fill bar: its filled part, the gradient's colour list and band
// shapes, brush patterns and bitmap placement. Pure functions over plain values and the rows
// of 32-bit images (QImage::Format_RGB32); they need no window system.

#include "fillobject.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QtGlobal>

#include <array>
#include <vector>

enum class FillDirection : quint8 {
    mdHorizontal,
    mdVertical,
    mdHorizontalReverse,
    mdVerticalReverse
};

// a * b / c rounded to the nearest integer, halves away from zero, in 64 bits. A divisor of
// 0 gives -1.
int MulDiv(int a, int b, int c);

// Pixels filled of a side of length size at a position in percent (0 to 100): the integer
// part of position * size / 100, at most size.
int FilledLength(int position, int size);

// The filled part of area: the leftmost, topmost, rightmost or bottom rows or columns.
QRect FilledRect(const QRect& area, int position, FillDirection direction);

// Entry i of count colours from start to end: per channel start + MulDiv(i, end - start,
// count - 1). A single entry is the start colour; a count of 0 or less gives none.
QList<QRgb> GradientColors(QRgb start, QRgb end, int count);

// One band of a gradient over a width x height area, in coordinates of that area.
// - Rect: the pixels of rect (half open: x from rect.left() to rect.right()).
// - Ellipse: box holds the corners (x0, y0) and (x1, y1) of the ellipse's box; drawn
//   without its right and bottom edge lines, the ellipse fills the pixels whose centres lie
//   in the ellipse inscribed in x0..x1-1, y0..y1-1 (edge coordinates, pixel x spans x..x+1).
// - Triangle: the pixels whose centres lie strictly inside the triangle of corners.
// Everything outside the area is cut off.
struct GradientBand {
    enum Shape : quint8 { Rect, Ellipse, Triangle };
    Shape shape = Rect;
    int color = 0; // index into the colour list
    QRect rect;
    QPoint box0, box1;
    std::array<QPoint, 3> corners{};

    bool operator==(const GradientBand& other) const = default;
};

// The bands in the order they are drawn, later ones over earlier ones. Empty for a count
// of 0 or an empty area.
std::vector<GradientBand> GradientBands(GradientStyle style, int width, int height, int count);

// The pixels [first, last) of row y of the area that a band covers (clipped to 0..width);
// first == last when none.
struct RowSpan {
    int first = 0, last = 0;
    bool empty() const { return last <= first; }
};
RowSpan BandRowSpan(const GradientBand& band, int y, int width);

// Paints the gradient bands of colors over rect of image (RGB32), as if each band were drawn
// in turn; each pixel is written once. Pixels of rect that no band covers keep their colour.
void DrawGradient(QImage& image, const QRect& rect, const QList<QRgb>& colors, GradientStyle style);

// An 8 x 8 hatch pattern: bit x of row y set where a line is. False for a style that is not
// a hatch (solid, no brush, dense patterns...).
bool HatchRows(Qt::BrushStyle style, std::array<quint8, 8>* rows);
// The 8 x 8 tile of a hatch brush: lines in color, gaps in back.
QImage HatchTile(const std::array<quint8, 8>& rows, QRgb color, QRgb back);

// The pattern of a brush bitmap: its top-left 8 x 8 pixels (less when it is smaller), RGB32.
QImage BrushPattern(const QImage& bitmap);

// Fills rect of image (RGB32) with tile repeated so that a copy of it starts at origin.
void FillPattern(QImage& image, const QRect& rect, const QImage& tile, QPoint origin);

// Top-left corner of a bitmap placed once in rect: tmNone by alignment and offset, tmCenter
// by half the difference of the sizes (truncated towards zero).
QPoint BitmapPosition(const QRect& rect, QSize bitmap, TileMode mode, Qt::Alignment alignment,
                      QPoint offset);

// tmTile: (rect width div bitmap width + 1) x (rect height div bitmap height + 1) copies
// from rect's top-left corner, row by row. Empty for an empty bitmap.
std::vector<QPoint> TileGrid(const QRect& rect, QSize bitmap);

// Copies picture (RGB32) into image (RGB32) with its top-left corner at at, only where it
// falls inside clip.
void CopyClipped(QImage& image, QPoint at, const QImage& picture, const QRect& clip);

// The text's colours over the filled and over the unfilled part: with the font colour both
// are the font colour; otherwise the bar's colour over the filled part, and the brush colour
// (sfNone, sfBrush) or the font colour (every other style) over the unfilled part.
struct TextColors {
    QRgb filled, unfilled;
};
TextColors TextColorsFor(FillStyle style, bool useFontColor, QRgb barColor, QRgb brushColor,
                         QRgb fontColor);
