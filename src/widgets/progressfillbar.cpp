#include "progressfillbar.h"

#include <QEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cstdlib>

namespace {
void drawBevel(QImage& image, const QRect& area, int width, QRgb topLeft, QRgb bottomRight) {
    QPainter p(&image);
    QRect r = area;
    for (int i = 0; i < width && !r.isEmpty(); ++i) {
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), QColor::fromRgb(topLeft));
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), QColor::fromRgb(topLeft));
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), QColor::fromRgb(bottomRight));
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), QColor::fromRgb(bottomRight));
        r.adjust(1, 1, -1, -1);
    }
}

void paintBitmap(QImage& image, const QRect& r, const FillObject& fill) {
    const QImage& bitmap = fill.bitmap;
    switch (fill.tileMode) {
    case TileMode::tmStretch: {
        QPainter p(&image);
        p.setClipRect(r);
        p.drawImage(r, bitmap);
        break;
    }
    case TileMode::tmTile:
        for (const QPoint& at : TileGrid(r, bitmap.size()))
            CopyClipped(image, at, bitmap, r);
        break;
    case TileMode::tmNone:
    case TileMode::tmCenter:
    default:
        CopyClipped(image,
                    BitmapPosition(r, bitmap.size(), fill.tileMode, fill.alignment, fill.offset),
                    bitmap, r);
        break;
    }
}

void paintFill(QImage& image, const QRect& r, const FillObject& fill, QRgb brushBack) {
    switch (fill.style) {
    case FillStyle::sfBrush: {
        if (fill.brush.style == Qt::NoBrush) break;
        std::array<quint8, 8> rows{};
        const QRgb color = fill.brush.color.rgb();
        if (HatchRows(fill.brush.style, &rows))
            FillPattern(image, r, HatchTile(rows, color, brushBack), QPoint(0, 0));
        else
            QPainter(&image).fillRect(r, QColor::fromRgb(color));
        break;
    }
    case FillStyle::sfBrushBitmap:
        if (!fill.bitmap.isNull()) FillPattern(image, r, BrushPattern(fill.bitmap), QPoint(0, 0));
        break;
    case FillStyle::sfBitmap:
        if (!fill.bitmap.isNull()) paintBitmap(image, r, fill);
        break;
    case FillStyle::sfGradient:
        DrawGradient(image, r, fill.gradient.colors(), fill.gradient.style());
        break;
    case FillStyle::sfNone:
    case FillStyle::sfBitmapList: // no picture list is kept: nothing to paint
    default:
        break;
    }
}
} // namespace

QString FillBarText(const FillBarLook& look) {
    switch (look.textOption) {
    case TextOption::toCaption:
        return look.caption;
    case TextOption::toPercent:
        return QString::number(look.position) + QLatin1Char('%');
    case TextOption::toNoText:
    default:
        return {};
    }
}

void DrawFillBar(QImage& image, const FillBarLook& look, const QFont& font,
                 const QPalette& palette) {
    if (image.isNull() || image.format() != QImage::Format_RGB32) return;
    image.fill(look.color);
    QRect area = image.rect();
    if (look.bevel != BevelStyle::bvNone && look.bevelWidth > 0) {
        const QRgb dark = palette.color(QPalette::Dark).rgb();
        const QRgb light = palette.color(QPalette::Light).rgb();
        const bool lowered = look.bevel == BevelStyle::bvLowered;
        drawBevel(image, area, look.bevelWidth, lowered ? dark : light, lowered ? light : dark);
        area.adjust(look.bevelWidth, look.bevelWidth, -look.bevelWidth, -look.bevelWidth);
    }
    if (area.isEmpty()) return;

    const QRect filled = FilledRect(area, look.position, look.direction);
    if (!filled.isEmpty()) paintFill(image, filled, look.fill, look.brushBackColor);

    const QString text = FillBarText(look);
    if (text.isEmpty()) return;
    QPainter p(&image);
    p.setFont(font);
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    const TextColors colors = TextColorsFor(look.fill.style, look.useFontColor, look.color,
                                            look.fill.brush.color.rgb(), look.fontColor);
    if (look.useFontColor) {
        p.setClipRect(area);
        p.setPen(QColor::fromRgb(colors.filled));
        p.drawText(area, flags, text);
        return;
    }
    // Twice, each part clipped to its side of the fill edge.
    if (!filled.isEmpty()) {
        p.setClipRect(filled);
        p.setPen(QColor::fromRgb(colors.filled));
        p.drawText(area, flags, text);
    }
    const QRegion unfilled = QRegion(area).subtracted(QRegion(filled));
    if (!unfilled.isEmpty()) {
        p.setClipRegion(unfilled);
        p.setPen(QColor::fromRgb(colors.unfilled));
        p.drawText(area, flags, text);
    }
}

bool PositionChangeRedraws(int previous, int drawn, int next, int delta) {
    if (next == previous) return false;
    return std::abs(next - drawn) >= delta || next == 0 || next == 100;
}

ProgressFillBar::ProgressFillBar(QWidget* parent) : QWidget(parent) {
    // The off-screen image covers the whole client area, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_look.brushBackColor = palette().color(QPalette::Button).rgb();
    resize(80, 20);
}

void ProgressFillBar::changed() {
    m_drawn = m_look.position;
    update();
}

void ProgressFillBar::setPosition(int position) {
    const int next = std::clamp(position, 0, 100);
    const int previous = m_look.position;
    m_look.position = next;
    if (PositionChangeRedraws(previous, m_drawn, next, m_delta)) changed();
}

void ProgressFillBar::setDelta(int delta) {
    m_delta = std::clamp(delta, 1, 255);
}

void ProgressFillBar::setDirection(FillDirection direction) {
    m_look.direction = direction;
    changed();
}

void ProgressFillBar::setTextOption(TextOption option) {
    m_look.textOption = option;
    changed();
}

void ProgressFillBar::setCaption(const QString& caption) {
    if (caption == m_look.caption) return;
    m_look.caption = caption;
    changed();
}

void ProgressFillBar::setFontColor(const QColor& color) {
    m_look.fontColor = color.rgb();
    changed();
}

void ProgressFillBar::setUseFontColor(bool on) {
    m_look.useFontColor = on;
    changed();
}

void ProgressFillBar::setColor(const QColor& color) {
    m_look.color = color.rgb();
    changed();
}

void ProgressFillBar::setBrushBackColor(const QColor& color) {
    m_look.brushBackColor = color.rgb();
    changed();
}

void ProgressFillBar::setBevel(BevelStyle bevel) {
    m_look.bevel = bevel;
    changed();
}

void ProgressFillBar::setBevelWidth(int pixels) {
    m_look.bevelWidth = std::max(0, pixels);
    changed();
}

void ProgressFillBar::setFillObject(const FillObject& fill) {
    m_look.fill = fill;
    m_look.fill.bitmap =
        fill.bitmap.isNull() ? QImage() : fill.bitmap.convertToFormat(QImage::Format_RGB32);
    changed();
}

void ProgressFillBar::setFillStyle(FillStyle style) {
    m_look.fill.style = style;
    changed();
}

void ProgressFillBar::setBrush(const FillBrush& brush) {
    m_look.fill.brush = brush;
    changed();
}

void ProgressFillBar::setBitmap(const QImage& bitmap) {
    m_look.fill.bitmap = bitmap.isNull() ? QImage() : bitmap.convertToFormat(QImage::Format_RGB32);
    changed();
}

bool ProgressFillBar::loadBitmap(const QString& path, QString* error) {
    const QImage bitmap = ReadFillBitmap(path, error);
    if (bitmap.isNull()) return false;
    setBitmap(bitmap);
    return true;
}

void ProgressFillBar::setTileMode(TileMode mode) {
    m_look.fill.tileMode = mode;
    changed();
}

void ProgressFillBar::setFillOptions(quint8 options) {
    m_look.fill.options = options;
    changed();
}

void ProgressFillBar::setGradient(const Gradient& gradient) {
    m_look.fill.gradient = gradient;
    changed();
}

void ProgressFillBar::setGradientStartColor(const QColor& color) {
    m_look.fill.gradient.setStartColor(color);
    changed();
}

void ProgressFillBar::setGradientEndColor(const QColor& color) {
    m_look.fill.gradient.setEndColor(color);
    changed();
}

void ProgressFillBar::setGradientColorCount(int count) {
    m_look.fill.gradient.setColorCount(count);
    changed();
}

void ProgressFillBar::setGradientStyle(GradientStyle style) {
    m_look.fill.gradient.setStyle(style);
    changed();
}

void ProgressFillBar::renderTo(QImage& image) const {
    if (width() <= 0 || height() <= 0) {
        image = QImage();
        return;
    }
    if (image.size() != size() || image.format() != QImage::Format_RGB32)
        image = QImage(size(), QImage::Format_RGB32);
    // Text in points comes out as large as on the bar's screen.
    image.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
    DrawFillBar(image, m_look, font(), palette());
}

void ProgressFillBar::paintEvent(QPaintEvent*) {
    renderTo(m_buffer);
    m_drawn = m_look.position;
    QPainter p(this);
    p.drawImage(0, 0, m_buffer);
}

void ProgressFillBar::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) changed();
    QWidget::changeEvent(event);
}
