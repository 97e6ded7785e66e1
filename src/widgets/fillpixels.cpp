#include "fillpixels.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// Division rounding towards minus infinity, and towards plus infinity (d > 0).
qint64 floorDiv(qint64 n, qint64 d) {
    qint64 q = n / d;
    if ((n % d != 0) && ((n < 0) != (d < 0))) --q;
    return q;
}
qint64 ceilDiv(qint64 n, qint64 d) {
    return -floorDiv(-n, d);
}
int mod(int n, int d) {
    const int r = n % d;
    return r < 0 ? r + d : r;
}

RowSpan clipped(qint64 first, qint64 last, int width) {
    RowSpan s;
    s.first = static_cast<int>(std::clamp<qint64>(first, 0, width));
    s.last = static_cast<int>(std::clamp<qint64>(last, 0, width));
    return s;
}

// Pixels of row y whose centres lie in the ellipse inscribed in x0..x1-1, y0..y1-1. Worked
// in doubled coordinates, where pixel centres are the odd numbers and all is integer.
RowSpan ellipseSpan(QPoint box0, QPoint box1, int y, int width) {
    const qint64 l = box0.x(), r = box1.x() - 1, t = box0.y(), b = box1.y() - 1;
    if (r <= l || b <= t) return {};
    const qint64 p = r - l, q = b - t; // semi-axes, doubled
    const qint64 v = (2 * qint64(y) + 1) - (t + b);
    if (v < -q || v > q) return {};
    const qint64 s = p * p * (q * q - v * v); // (X - cX)^2 * q^2 <= s
    qint64 m = static_cast<qint64>(std::sqrt(static_cast<double>(s)) / static_cast<double>(q));
    while (m > 0 && m * m * q * q > s)
        --m;
    while ((m + 1) * (m + 1) * q * q <= s)
        ++m;
    const qint64 cX = l + r;
    // 2x + 1 in cX - m .. cX + m
    return clipped(ceilDiv(cX - m - 1, 2), floorDiv(cX + m - 1, 2) + 1, width);
}

// Pixels of row y whose centres lie strictly inside the triangle.
RowSpan triangleSpan(const std::array<QPoint, 3>& c, int y, int width) {
    const qint64 area2 = qint64(c[1].x() - c[0].x()) * (c[2].y() - c[0].y()) -
                         qint64(c[1].y() - c[0].y()) * (c[2].x() - c[0].x());
    if (area2 == 0) return {};
    const qint64 orient = area2 > 0 ? 1 : -1;
    const qint64 Y = 2 * qint64(y) + 1;
    qint64 lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    for (int k = 0; k < 3; ++k) {
        const QPoint P = c[k], Q = c[(k + 1) % 3];
        // Edge function in doubled coordinates, positive inside: A * X + B with X = 2x + 1.
        const qint64 dx = Q.x() - P.x(), dy = Q.y() - P.y();
        const qint64 A = -dy * orient;
        const qint64 B = (dx * (Y - 2 * qint64(P.y())) + dy * 2 * qint64(P.x())) * orient;
        // 2A x + (A + B) > 0
        const qint64 cc = 2 * A, d = -(A + B);
        if (cc == 0) {
            if (!(A + B > 0)) return {};
        } else if (cc > 0) {
            lo = std::max(lo, floorDiv(d, cc) + 1);
        } else {
            hi = std::min(hi, ceilDiv(-d, -cc) - 1);
        }
    }
    if (hi < lo) return {};
    return clipped(lo, hi + 1, width);
}

// std::fill for pixels; four at a time, which the compiler turns into vector stores.
void fillPixels(QRgb* p, int n, QRgb c) {
    for (; n >= 4; n -= 4, p += 4) {
        p[0] = c;
        p[1] = c;
        p[2] = c;
        p[3] = c;
    }
    for (; n > 0; --n)
        *p++ = c;
}

// The band mirrored on the diagonal x = y. The pixel rules treat x and y alike, so its
// row y covers what column y of the band covers.
GradientBand transposed(GradientBand b) {
    auto swap = [](QPoint p) { return QPoint(p.y(), p.x()); };
    b.rect = QRect(b.rect.y(), b.rect.x(), b.rect.height(), b.rect.width());
    b.box0 = swap(b.box0);
    b.box1 = swap(b.box1);
    for (QPoint& c : b.corners)
        c = swap(c);
    return b;
}

} // namespace

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    qint64 p = qint64(a) * b, d = c;
    if (d < 0) {
        p = -p;
        d = -d;
    }
    const qint64 q = p >= 0 ? (p + d / 2) / d : (p - d / 2) / d;
    if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
    return static_cast<int>(q);
}

int FilledLength(int position, int size) {
    if (size <= 0) return 0;
    const qint64 l = qint64(std::clamp(position, 0, 100)) * size / 100;
    return static_cast<int>(std::min<qint64>(l, size));
}

QRect FilledRect(const QRect& area, int position, FillDirection direction) {
    switch (direction) {
    case FillDirection::mdVertical:
        return QRect(area.left(), area.top(), area.width(), FilledLength(position, area.height()));
    case FillDirection::mdVerticalReverse: {
        const int l = FilledLength(position, area.height());
        return QRect(area.left(), area.top() + area.height() - l, area.width(), l);
    }
    case FillDirection::mdHorizontalReverse: {
        const int l = FilledLength(position, area.width());
        return QRect(area.left() + area.width() - l, area.top(), l, area.height());
    }
    case FillDirection::mdHorizontal:
    default:
        return QRect(area.left(), area.top(), FilledLength(position, area.width()), area.height());
    }
}

QList<QRgb> GradientColors(QRgb start, QRgb end, int count) {
    QList<QRgb> list;
    if (count <= 0) return list;
    list.reserve(count);
    if (count == 1) {
        list.append(start);
        return list;
    }
    auto channel = [count](int s, int e, int i) { return s + MulDiv(i, e - s, count - 1); };
    for (int i = 0; i < count; ++i)
        list.append(qRgb(channel(qRed(start), qRed(end), i), channel(qGreen(start), qGreen(end), i),
                         channel(qBlue(start), qBlue(end), i)));
    return list;
}

std::vector<GradientBand> GradientBands(GradientStyle style, int width, int height, int count) {
    std::vector<GradientBand> bands;
    if (width <= 0 || height <= 0 || count <= 0) return bands;
    const int W = width, H = height, N = count;
    auto MD = [W, N](int i) { return MulDiv(i, W, N); };
    auto MH = [H, N](int i) { return MulDiv(i, H, N); };
    const int cx = W / 2, cy = H / 2;
    bands.reserve(N);

    if (style == GradientStyle::gstHorizontal) {
        for (int i = 0; i < N; ++i) {
            GradientBand b;
            b.color = i;
            b.rect = QRect(MD(i), 0, MD(i + 1) - MD(i), H);
            bands.push_back(b);
        }
        return bands;
    }
    for (int i = N - 1; i >= 0; --i) {
        GradientBand b;
        b.color = i;
        const int md = MD(i + 1), mh = MH(i + 1);
        switch (style) {
        case GradientStyle::gstVertical:
            b.rect = QRect(0, MH(i), W, MH(i + 1) - MH(i));
            break;
        case GradientStyle::gstSquare: {
            // (cx - a, cy - b) to (cx + a + 2, cy + b + 2) less the right and bottom edge
            const int a = md / 2, h = mh / 2;
            b.rect = QRect(cx - a, cy - h, 2 * a + 1, 2 * h + 1);
            break;
        }
        case GradientStyle::gstElliptic: {
            // round(m / 1.4) = round(5m / 7), exact in integers; m is never negative
            const int a = (10 * md + 7) / 14, h = (10 * mh + 7) / 14;
            b.shape = GradientBand::Ellipse;
            b.box0 = QPoint(cx - a, cy - h);
            b.box1 = QPoint(cx + a, cy + h);
            break;
        }
        // The corner rectangles reach one pixel past the area on their open sides, and lose
        // their right and bottom edge lines.
        case GradientStyle::gstTopLeft:
            b.rect = QRect(0, 0, md, mh);
            break;
        case GradientStyle::gstTopRight:
            b.rect = QRect(W - md, 0, md, mh);
            break;
        case GradientStyle::gstBottomLeft:
            b.rect = QRect(0, H - mh, md, mh);
            break;
        case GradientStyle::gstBottomRight:
            b.rect = QRect(W - md, H - mh, md, mh);
            break;
        case GradientStyle::gstTopLeftDiagonal:
            b.shape = GradientBand::Triangle;
            b.corners = {QPoint(0, 0), QPoint(2 * md, 0), QPoint(0, 2 * mh + 1)};
            break;
        case GradientStyle::gstTopRightDiagonal:
            b.shape = GradientBand::Triangle;
            b.corners = {QPoint(W + 1, 0), QPoint(W + 1 - 2 * md, 0), QPoint(W + 1, 2 * mh)};
            break;
        default:
            return {};
        }
        bands.push_back(b);
    }
    return bands;
}

RowSpan BandRowSpan(const GradientBand& band, int y, int width) {
    switch (band.shape) {
    case GradientBand::Rect:
        if (band.rect.isEmpty() || y < band.rect.top() || y > band.rect.bottom()) return {};
        return clipped(band.rect.left(), qint64(band.rect.left()) + band.rect.width(), width);
    case GradientBand::Ellipse:
        return ellipseSpan(band.box0, band.box1, y, width);
    case GradientBand::Triangle:
        return triangleSpan(band.corners, y, width);
    }
    return {};
}

void DrawGradient(QImage& image, const QRect& rect, const QList<QRgb>& colors,
                  GradientStyle style) {
    if (image.format() != QImage::Format_RGB32 || colors.isEmpty() || rect.isEmpty()) return;
    const QRect target = rect & image.rect();
    if (target.isEmpty()) return;
    const int W = rect.width(), H = rect.height();
    std::vector<GradientBand> bands = GradientBands(style, W, H, int(colors.size()));
    if (bands.empty()) return;
    uchar* const bits = image.bits(); // detaches once, not on every line
    const qsizetype stride = image.bytesPerLine();
    auto pixel = [bits, stride](int x, int y) {
        return reinterpret_cast<QRgb*>(bits + y * stride) + x;
    };

    if (style == GradientStyle::gstHorizontal) {
        // Vertical stripes: every row alike.
        QRgb* first = pixel(target.left(), target.top());
        for (const GradientBand& b : bands) {
            const QRect r = b.rect.translated(rect.topLeft()) & target;
            if (!r.isEmpty())
                std::fill(pixel(r.left(), target.top()), pixel(r.right() + 1, target.top()),
                          colors[b.color]);
        }
        for (int y = target.top() + 1; y <= target.bottom(); ++y)
            std::copy(first, first + target.width(), pixel(target.left(), y));
        return;
    }
    if (style == GradientStyle::gstVertical) {
        for (const GradientBand& b : bands) {
            const QRect r = b.rect.translated(rect.topLeft()) & target;
            for (int y = r.top(); y <= r.bottom(); ++y)
                fillPixels(pixel(r.left(), y), r.width(), colors[b.color]);
        }
        return;
    }

    // Each band contains the ones drawn after it. Walking a line from the innermost band
    // out, a band adds only the pixels outside those already covered, which are the pixels
    // it keeps when the inner bands are drawn over it. The lines run along the longer side,
    // so that there are fewer of them to work out: on a tall area they are the columns, taken
    // as the rows of the area mirrored on its diagonal.
    const bool byColumns = H > W;
    if (byColumns)
        for (GradientBand& b : bands)
            b = transposed(b);
    const int length = byColumns ? H : W;
    const int lineFirst = byColumns ? target.left() - rect.left() : target.top() - rect.top();
    const int lineCount = byColumns ? target.width() : target.height();
    const int clipFirst = byColumns ? target.top() - rect.top() : target.left() - rect.left();
    const int clipLast = clipFirst + (byColumns ? target.height() : target.width());
    for (int line = lineFirst; line < lineFirst + lineCount; ++line) {
        // Paints [first, last) of the line, cut to the image.
        auto paint = [&](int first, int last, QRgb c) {
            first = std::max(first, clipFirst);
            last = std::min(last, clipLast);
            if (last <= first) return;
            if (!byColumns) {
                fillPixels(pixel(rect.left() + first, rect.top() + line), last - first, c);
            } else {
                for (int y = first; y < last; ++y)
                    *pixel(rect.left() + line, rect.top() + y) = c;
            }
        };
        int cl = 0, cr = 0; // covered so far, empty at first
        for (auto it = bands.rbegin(); it != bands.rend(); ++it) {
            const RowSpan s = BandRowSpan(*it, line, length);
            if (s.empty()) continue;
            const QRgb c = colors[it->color];
            if (cr <= cl) {
                paint(s.first, s.last, c);
                cl = s.first;
                cr = s.last;
            } else {
                paint(s.first, std::min(cl, s.last), c);
                paint(std::max(cr, s.first), s.last, c);
                cl = std::min(cl, s.first);
                cr = std::max(cr, s.last);
            }
            if (cl <= 0 && cr >= length) break; // the outer bands lie under this line
        }
    }
}

bool HatchRows(Qt::BrushStyle style, std::array<quint8, 8>* rows) {
    std::array<quint8, 8> r{};
    for (int y = 0; y < 8; ++y) {
        const quint8 horizontal = y == 0 ? 0xFF : 0x00;
        const quint8 vertical = 0x01;
        const quint8 forward = quint8(1u << y);        // "\": x == y
        const quint8 backward = quint8(1u << (7 - y)); // "/": x + y == 7
        switch (style) {
        case Qt::HorPattern:
            r[y] = horizontal;
            break;
        case Qt::VerPattern:
            r[y] = vertical;
            break;
        case Qt::CrossPattern:
            r[y] = horizontal | vertical;
            break;
        case Qt::FDiagPattern:
            r[y] = forward;
            break;
        case Qt::BDiagPattern:
            r[y] = backward;
            break;
        case Qt::DiagCrossPattern:
            r[y] = forward | backward;
            break;
        default:
            return false;
        }
    }
    *rows = r;
    return true;
}

QImage HatchTile(const std::array<quint8, 8>& rows, QRgb color, QRgb back) {
    QImage tile(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(tile.scanLine(y));
        for (int x = 0; x < 8; ++x)
            line[x] = (rows[y] >> x) & 1 ? color : back;
    }
    return tile;
}

QImage BrushPattern(const QImage& bitmap) {
    if (bitmap.isNull()) return {};
    return bitmap.copy(0, 0, std::min(8, bitmap.width()), std::min(8, bitmap.height()))
        .convertToFormat(QImage::Format_RGB32);
}

void FillPattern(QImage& image, const QRect& rect, const QImage& tile, QPoint origin) {
    if (image.format() != QImage::Format_RGB32 || tile.isNull()) return;
    const QImage t =
        tile.format() == QImage::Format_RGB32 ? tile : tile.convertToFormat(QImage::Format_RGB32);
    const QRect target = rect & image.rect();
    if (target.isEmpty()) return;
    const int tw = t.width(), th = t.height();
    const int x0 = mod(target.left() - origin.x(), tw);
    for (int y = target.top(); y <= target.bottom(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(t.constScanLine(mod(y - origin.y(), th)));
        QRgb* dst = reinterpret_cast<QRgb*>(image.scanLine(y)) + target.left();
        int tx = x0;
        for (int n = target.width(); n > 0;) {
            const int run = std::min(n, tw - tx);
            std::copy(src + tx, src + tx + run, dst);
            dst += run;
            n -= run;
            tx = 0;
        }
    }
}

QPoint BitmapPosition(const QRect& rect, QSize bitmap, TileMode mode, Qt::Alignment alignment,
                      QPoint offset) {
    const int dw = rect.width() - bitmap.width(), dh = rect.height() - bitmap.height();
    if (mode == TileMode::tmCenter) return rect.topLeft() + QPoint(dw / 2, dh / 2);
    if (mode != TileMode::tmNone) return rect.topLeft();
    int x = 0, y = 0;
    if (alignment & Qt::AlignRight)
        x = dw;
    else if (alignment & Qt::AlignHCenter)
        x = dw / 2;
    if (alignment & Qt::AlignBottom)
        y = dh;
    else if (alignment & Qt::AlignVCenter)
        y = dh / 2;
    return rect.topLeft() + QPoint(x, y) + offset;
}

std::vector<QPoint> TileGrid(const QRect& rect, QSize bitmap) {
    std::vector<QPoint> at;
    if (bitmap.width() <= 0 || bitmap.height() <= 0) return at;
    const int cols = std::max(0, rect.width()) / bitmap.width() + 1;
    const int rows = std::max(0, rect.height()) / bitmap.height() + 1;
    at.reserve(size_t(cols) * rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            at.push_back(rect.topLeft() + QPoint(c * bitmap.width(), r * bitmap.height()));
    return at;
}

void CopyClipped(QImage& image, QPoint at, const QImage& picture, const QRect& clip) {
    if (image.format() != QImage::Format_RGB32 || picture.format() != QImage::Format_RGB32) return;
    const QRect target = QRect(at, picture.size()) & clip & image.rect();
    if (target.isEmpty()) return;
    for (int y = target.top(); y <= target.bottom(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(picture.constScanLine(y - at.y())) +
                          (target.left() - at.x());
        std::copy(src, src + target.width(),
                  reinterpret_cast<QRgb*>(image.scanLine(y)) + target.left());
    }
}

TextColors TextColorsFor(FillStyle style, bool useFontColor, QRgb barColor, QRgb brushColor,
                         QRgb fontColor) {
    if (useFontColor) return {fontColor, fontColor};
    const bool brushLike = style == FillStyle::sfNone || style == FillStyle::sfBrush;
    return {barColor, brushLike ? brushColor : fontColor};
}
