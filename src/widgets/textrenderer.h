#pragma once

#include "texteffect.h"
#include "textpixels.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>

// Draws one line of text anti-aliased and with its effects onto a 32-bit image. The text
// is drawn k times enlarged in white on black and averaged down into a coverage mask, the
// mask is shaped by the effects and then blended onto the target in a colour or a fill.
class TextRenderer {
public:
    TextRenderer() = default;

    void setFont(const QFont& font) { m_font = font; }
    const QFont& font() const { return m_font; }
    void setColor(const QColor& color) { m_color = color; }
    QColor color() const { return m_color; }
    void setEffect(const TextEffect& effect) { m_effect = effect; }
    const TextEffect& effect() const { return m_effect; }
    TextEffect& effect() { return m_effect; }
    void SetQuality(AAQuality quality) { m_quality = quality; }
    AAQuality quality() const { return m_quality; }
    // For repeatable spray and noise.
    void seed(quint64 value) { m_random = PixelRandom(value); }

    // Extent of the text as drawn with the font and effects, shadow included.
    QSize MeasureText(const QString& text);
    // Draws the text with the top-left corner of its extent at (x, y). The area under the
    // text is read from the canvas, or starts as solidBackground when one is given.
    void RenderText(QImage& canvas, int x, int y, const QString& text,
                    const QColor& solidBackground = QColor());

    // The coverage mask of the last RenderText, after outline, spray, mirrors and blur.
    const Mask& mask() const { return m_mask; }

private:
    struct Extent {
        int width = 0, height = 0; // without the shadow
        int originX = 0, originY = 0;
        bool rotated = false;
    };
    Extent measure(const QString& text);
    void buildMask(const QString& text, const Extent& extent);
    QFont enlargedFont() const;
    // Bold asked of a face without a bold weight: the glyphs are widened by a stroke of
    // this width (in enlarged pixels), 0 otherwise.
    qreal syntheticBoldStroke() const;

    // The coverage of the last text drawn, before the effects: the clock redraws the same
    // text between its changes, and this skips drawing it enlarged again.
    struct CoverageCache {
        bool valid = false, hasMask = false;
        QString text;
        QFont font;
        qint16 angle = 0;
        AAQuality quality = aqNormal;
        Extent extent;
        Mask mask;
    };
    bool cacheMatches(const QString& text) const;

    QFont m_font;
    mutable QFont m_boldCheckedFont; // the font whose face syntheticBoldStroke() looked up
    mutable bool m_boldChecked = false, m_faceHasBold = true;
    QColor m_color = Qt::black;
    TextEffect m_effect;
    AAQuality m_quality = aqNormal;
    PixelRandom m_random;
    QImage m_scratch; // only grows; black outside a drawing
    CoverageCache m_cache;
    Mask m_mask, m_shadow;
};
