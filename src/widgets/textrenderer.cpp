#include "textrenderer.h"

#include "colors.h"
#include "fonts.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstdlib>

namespace {
// Characters as counted in the Chinese Windows code page: one byte for ASCII, two for the
// rest.
int codePageLength(const QString& text) {
    int n = 0;
    for (QChar ch : text)
        n += ch.unicode() < 0x80 ? 1 : (ch.isLowSurrogate() ? 0 : 2);
    return n;
}

QRgb rgbOf(qint32 colorValue) {
    return ColorFromValue(colorValue, Qt::black).rgb();
}
} // namespace

QFont TextRenderer::enlargedFont() const {
    const int k = QualityFactor(m_quality);
    QFont big = m_font;
    if (m_font.pixelSize() > 0)
        big.setPixelSize(m_font.pixelSize() * k);
    else
        big.setPointSizeF(m_font.pointSizeF() * k);
    // Unsmoothed quality means hard glyph edges, from the rasteriser as well.
    if (m_quality == aqNone)
        big.setStyleStrategy(QFont::StyleStrategy(big.styleStrategy() | QFont::NoAntialias));
    // Emboldened glyphs are wider by the stroke; each advance makes room for it.
    if (const qreal stroke = syntheticBoldStroke(); stroke > 0)
        big.setLetterSpacing(QFont::AbsoluteSpacing, stroke);
    return big;
}

qreal TextRenderer::syntheticBoldStroke() const {
    if (!m_font.bold()) return 0;
    if (!m_boldChecked || !(m_boldCheckedFont == m_font)) {
        m_faceHasBold = FaceHasBoldWeight(m_font);
        m_boldCheckedFont = m_font;
        m_boldChecked = true;
    }
    if (m_faceHasBold) return 0;
    // A twenty-fourth of the em, the usual strength of a synthetic bold.
    const int k = QualityFactor(m_quality);
    const qreal dpi = m_scratch.isNull() ? 96.0 : m_scratch.logicalDpiY();
    const qreal em = m_font.pixelSize() > 0 ? m_font.pixelSize() : m_font.pointSizeF() * dpi / 72;
    return em * k / 24.0;
}

bool TextRenderer::cacheMatches(const QString& text) const {
    return m_cache.valid && m_cache.angle == m_effect.Angle && m_cache.quality == m_quality &&
           m_cache.text == text && m_cache.font == m_font;
}

TextRenderer::Extent TextRenderer::measure(const QString& text) {
    Extent e;
    if (text.isEmpty()) return e;
    if (cacheMatches(text)) return m_cache.extent;
    const int k = QualityFactor(m_quality);
    // Measure against the scratch image's resolution, which the text is drawn at.
    if (m_scratch.isNull()) {
        m_scratch = QImage(1, 1, QImage::Format_RGB32);
        m_scratch.fill(0xFF000000u);
    }
    const QFontMetrics fm(enlargedFont(), &m_scratch);
    int cx = (fm.horizontalAdvance(text) + k - 1) / k;
    int cy = (fm.height() + k - 1) / k;
    if (m_font.italic()) cx = ItalicWidth(cx, codePageLength(text));
    e.width = cx;
    e.height = cy;
    if (m_effect.Angle != 0) {
        const RotatedExtent r = RotateExtent(cx, cy, m_effect.Angle * 10);
        e.width = r.width;
        e.height = r.height;
        e.originX = r.originX;
        e.originY = r.originY;
        e.rotated = true;
    }
    m_cache.valid = true;
    m_cache.hasMask = false;
    m_cache.text = text;
    m_cache.font = m_font;
    m_cache.angle = m_effect.Angle;
    m_cache.quality = m_quality;
    m_cache.extent = e;
    return e;
}

QSize TextRenderer::MeasureText(const QString& text) {
    const Extent e = measure(text);
    if (e.width == 0 && e.height == 0) return {0, 0};
    QSize size(e.width, e.height);
    if (m_effect.Shadow.Enabled)
        size += QSize(std::abs(m_effect.Shadow.OffsetX), std::abs(m_effect.Shadow.OffsetY));
    return size;
}

void TextRenderer::buildMask(const QString& text, const Extent& e) {
    if (m_cache.hasMask && cacheMatches(text)) {
        m_mask = m_cache.mask;
        return;
    }
    const int k = QualityFactor(m_quality);
    m_mask.resize(e.width, e.height);
    if (e.width == 0 || e.height == 0) return;
    const int sw = k * e.width, sh = k * e.height;
    if (m_scratch.width() < sw || m_scratch.height() < sh) {
        m_scratch = QImage(std::max(sw, m_scratch.width()), std::max(sh, m_scratch.height()),
                           QImage::Format_RGB32);
        if (m_scratch.isNull()) return; // out of memory: nothing to draw
        m_scratch.fill(0xFF000000u);
    }
    {
        QPainter p(&m_scratch);
        p.setClipRect(0, 0, sw, sh);
        p.setRenderHint(QPainter::TextAntialiasing, m_quality != aqNone);
        p.setRenderHint(QPainter::Antialiasing, m_quality != aqNone);
        const QFont big = enlargedFont();
        p.setFont(big);
        p.setPen(Qt::white);
        const int ascent = QFontMetrics(big, &m_scratch).ascent();
        if (e.rotated) {
            p.translate(e.originX * k, e.originY * k);
            p.rotate(-m_effect.Angle); // the angle runs counter-clockwise on screen
        }
        if (const qreal stroke = syntheticBoldStroke(); stroke > 0) {
            // The outline stroked as well as filled grows each glyph by half the stroke on
            // every side; the first half-stroke is kept inside the image.
            QPainterPath path;
            path.addText(QPointF(stroke / 2, ascent), big, text);
            p.setPen(QPen(Qt::white, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::white);
            p.drawPath(path);
        } else {
            p.drawText(QPoint(0, ascent), text);
        }
    }
    // White on black: any one channel is the coverage; blue is the lowest byte. Each band
    // of k rows is made black again right after it is read, while it is still in the cache,
    // so the next drawing starts on a black image without a separate pass over it.
    const int blueOffset = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? 0 : 3;
    const qsizetype stride = m_scratch.bytesPerLine();
    uchar* band = m_scratch.bits();
    for (int y = 0; y < e.height; ++y, band += k * stride) {
        DownsampleCoverageRow(band + blueOffset, stride, 4, m_quality, m_mask.row(y), e.width);
        for (int j = 0; j < k; ++j)
            FillRow(reinterpret_cast<QRgb*>(band + j * stride), sw, 0xFF000000u);
    }
    m_cache.mask = m_mask;
    m_cache.hasMask = true;
}

void TextRenderer::RenderText(QImage& canvas, int x, int y, const QString& text,
                              const QColor& solidBackground) {
    const Extent e = measure(text);
    if (e.width == 0 || e.height == 0) return;
    const ShadowEffect& sh = m_effect.Shadow;
    int tx = x, ty = y, sx = x, sy = y;
    if (sh.Enabled) {
        if (sh.OffsetX < 0)
            tx += -sh.OffsetX;
        else
            sx += sh.OffsetX;
        if (sh.OffsetY < 0)
            ty += -sh.OffsetY;
        else
            sy += sh.OffsetY;
    }

    buildMask(text, e);
    if (m_effect.Outline) OutlineMask(m_mask);
    if (m_effect.Spray != 0) SprayMask(m_mask, m_effect.Spray, m_random);
    if (m_effect.HorzMirror) MirrorMaskHorizontally(m_mask);
    if (m_effect.VertMirror) MirrorMaskVertically(m_mask);

    QRgb solid = 0;
    const QRgb* background = nullptr;
    if (solidBackground.isValid()) {
        solid = solidBackground.rgb();
        background = &solid;
    }
    if (sh.Enabled) {
        m_shadow = m_mask;
        if (sh.Blur != 0) BlurMask(m_shadow, sh.Blur);
        BlendMaskColor(m_shadow, canvas, sx, sy, m_effect.Alpha * sh.Alpha / 100, rgbOf(sh.Color),
                       background);
        // The text then goes over the shadow, so it reads the canvas from now on. Where
        // the text area reaches past the shadow's it still needs the solid colour.
        if (background) {
            const QRect textArea(tx, ty, e.width, e.height);
            const QRect shadowArea(sx, sy, e.width, e.height);
            QPainter p(&canvas);
            p.setClipRegion(QRegion(textArea).subtracted(shadowArea));
            p.fillRect(textArea, solidBackground);
            background = nullptr;
        }
    }
    if (m_effect.Blur != 0) BlurMask(m_mask, m_effect.Blur);

    const int alpha = m_effect.Alpha;
    const QRgb fontRgb = m_color.rgb();
    if (m_effect.Texture.Enabled && !m_effect.Texture.Picture.isNull()) {
        QImage fill = TextureImage(e.width, e.height, fontRgb, m_effect.Texture.Picture,
                                   m_effect.Texture.Mode);
        if (m_effect.Noise != 0) AddNoise(fill, m_effect.Noise, m_random);
        BlendMaskFill(m_mask, canvas, tx, ty, alpha, fill, background);
    } else if (m_effect.Gradual.Enabled) {
        QImage fill = GradientImage(e.width, e.height, rgbOf(m_effect.Gradual.StartColor),
                                    rgbOf(m_effect.Gradual.EndColor), m_effect.Gradual.Style);
        if (m_effect.Noise != 0) AddNoise(fill, m_effect.Noise, m_random);
        BlendMaskFill(m_mask, canvas, tx, ty, alpha, fill, background);
    } else if (m_effect.Noise != 0) {
        const QImage fill = NoisyColorImage(e.width, e.height, fontRgb, m_effect.Noise, m_random);
        BlendMaskFill(m_mask, canvas, tx, ty, alpha, fill, background);
    } else {
        BlendMaskColor(m_mask, canvas, tx, ty, alpha, fontRgb, background);
    }
}
