#pragma once

#include "fillobject.h"
#include "fillpixels.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QString>
#include <QWidget>

enum class TextOption : quint8 { toNoText, toCaption, toPercent };
// The frame around the bar; the area inside it is the bar.
enum class BevelStyle : quint8 { bvNone, bvLowered, bvRaised };

// Everything the picture of a bar depends on besides its size, font and palette.
struct FillBarLook {
    int position = 0; // 0 to 100
    FillDirection direction = FillDirection::mdHorizontal;
    TextOption textOption = TextOption::toPercent;
    QString caption;
    QRgb color = qRgb(255, 255, 255); // the unfilled part, and the text over the filled part
    QRgb fontColor = qRgb(0, 0, 0);
    bool useFontColor = false;
    QRgb brushBackColor = qRgb(0xF0, 0xF0, 0xF0); // gaps of a hatch brush
    BevelStyle bevel = BevelStyle::bvLowered;
    int bevelWidth = 1;
    FillObject fill;
};

// The text written across the bar: the caption, the position followed by "%", or none.
QString FillBarText(const FillBarLook& look);

// Draws the bar into image (RGB32, the bar's client area): the bar's colour, the bevel, the
// filled part painted by the fill object, then the text, centred on one line.
void DrawFillBar(QImage& image, const FillBarLook& look, const QFont& font,
                 const QPalette& palette);

// Whether a change of position from previous to next redraws a bar last drawn at drawn:
// when next is at least delta away from drawn, or reaches 0 or 100 from another value.
bool PositionChangeRedraws(int previous, int drawn, int next, int delta);

// Shows a position of 0 to 100 percent as a filled part of its area, with the percentage
// or a caption written across. The picture is drawn by DrawFillBar into an off-screen image
// that is copied to the screen; the widget only holds the properties.
class ProgressFillBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int position READ position WRITE setPosition)
    Q_PROPERTY(int tag READ tag WRITE setTag)
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
public:
    explicit ProgressFillBar(QWidget* parent = nullptr); // a new bar is 80 x 20

    // Values above 100 are stored as 100, below 0 as 0. Repaints by PositionChangeRedraws.
    void setPosition(int position);
    int position() const { return m_look.position; }
    // The position of the latest drawing, or of the one asked for.
    int drawnPosition() const { return m_drawn; }
    // Smallest change of position that repaints, 1 to 255.
    void setDelta(int delta);
    int delta() const { return m_delta; }

    void setDirection(FillDirection direction);
    FillDirection direction() const { return m_look.direction; }
    void setTextOption(TextOption option);
    TextOption textOption() const { return m_look.textOption; }
    void setCaption(const QString& caption);
    QString caption() const { return m_look.caption; }
    // The font is QWidget::font()/setFont().
    void setFontColor(const QColor& color);
    QColor fontColor() const { return QColor::fromRgb(m_look.fontColor); }
    void setUseFontColor(bool on);
    bool useFontColor() const { return m_look.useFontColor; }
    void setColor(const QColor& color);
    QColor color() const { return QColor::fromRgb(m_look.color); }
    void setBrushBackColor(const QColor& color);
    QColor brushBackColor() const { return QColor::fromRgb(m_look.brushBackColor); }
    void setBevel(BevelStyle bevel);
    BevelStyle bevel() const { return m_look.bevel; }
    void setBevelWidth(int pixels);
    int bevelWidth() const { return m_look.bevelWidth; }

    const FillObject& fillObject() const { return m_look.fill; }
    void setFillObject(const FillObject& fill);
    void setFillStyle(FillStyle style);
    FillStyle fillStyle() const { return m_look.fill.style; }
    void setBrush(const FillBrush& brush);
    void setBitmap(const QImage& bitmap); // kept as RGB32; a null image removes it
    // Loads a picture file as the bitmap. On failure the bitmap stays as it was, and error
    // (when given) holds a message for the user.
    bool loadBitmap(const QString& path, QString* error = nullptr);
    void setTileMode(TileMode mode);
    TileMode tileMode() const { return m_look.fill.tileMode; }
    void setFillOptions(quint8 options);

    const Gradient& gradient() const { return m_look.fill.gradient; }
    void setGradient(const Gradient& gradient);
    void setGradientStartColor(const QColor& color);
    void setGradientEndColor(const QColor& color);
    void setGradientColorCount(int count);
    void setGradientStyle(GradientStyle style);

    // A number the owner gives each bar (the stage of a per-stage bar).
    void setTag(int tag) { m_tag = tag; }
    int tag() const { return m_tag; }

    // The text written across the bar now.
    QString text() const { return FillBarText(m_look); }
    const FillBarLook& look() const { return m_look; }

    // Draws the bar as it would appear now into image, resized to the bar if needed.
    void renderTo(QImage& image) const;

    QSize sizeHint() const override { return {80, 20}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void changed();

    FillBarLook m_look;
    int m_delta = 1;
    int m_drawn = 0;
    int m_tag = 0;
    QImage m_buffer;
};
