#pragma once

// What paints the filled part of a progress fill bar: a brush, a brush pattern taken from a
// bitmap, a bitmap placed in one of four ways, or a banded colour gradient.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Scoped: the text effects already use tmCenter for their texture modes.
enum class FillStyle : quint8 {
    sfNone,
    sfBrushBitmap,
    sfBrush,
    sfBitmap,
    sfBitmapList,
    sfGradient
};
enum class TileMode : quint8 { tmNone, tmCenter, tmStretch, tmTile };

// The numbers 0 to 9 are the styles' own; the settings file stores an index into the
// alphabetical list of the names instead, so callers map through the names.
enum class GradientStyle : quint8 {
    gstHorizontal,
    gstVertical,
    gstSquare,
    gstElliptic,
    gstTopLeft,
    gstTopRight,
    gstBottomLeft,
    gstBottomRight,
    gstTopLeftDiagonal,
    gstTopRightDiagonal,
};
constexpr int GradientStyleCount = 10;

// "gstHorizontal" ... "gstTopRightDiagonal", in the order of the styles' numbers.
const QStringList& GradientStyleNames();
QString GradientStyleName(GradientStyle style);
// The style of a name (letter case ignored); false and *style untouched for any other text.
bool GradientStyleFromName(const QString& name, GradientStyle* style);

// A colour gradient in colour-count steps. The colour list is rebuilt on every change.
class Gradient {
public:
    Gradient(); // blue to black in 16 steps, gstVertical

    QRgb startColor() const { return m_start; }
    QRgb endColor() const { return m_end; }
    int colorCount() const { return m_count; }
    GradientStyle style() const { return m_style; }
    // Entry 0 is the start colour, the last the end colour; empty for a count of 0.
    const QList<QRgb>& colors() const { return m_colors; }

    void setStartColor(const QColor& color);
    void setEndColor(const QColor& color);
    // A byte: below 0 is taken as 0, above 255 as 255.
    void setColorCount(int count);
    void setStyle(GradientStyle style);

    bool operator==(const Gradient& other) const = default;

private:
    void rebuild();

    QRgb m_start, m_end;
    int m_count = 16;
    GradientStyle m_style = GradientStyle::gstVertical;
    QList<QRgb> m_colors;
};

// The brush of sfBrush. Hatch styles (Qt::HorPattern ... Qt::DiagCrossPattern) leave their
// gaps to the bar's brush back colour; Qt::NoBrush paints nothing; every other style is
// painted solid.
struct FillBrush {
    Qt::BrushStyle style = Qt::SolidPattern;
    QColor color = Qt::white;
    bool operator==(const FillBrush& other) const = default;
};

enum FillOption : quint8 {
    // Draw the gradient into an image of the filled part's size first. The bar always draws
    // into an off-screen image of its own, so the picture is the same either way.
    foGrUseBitmap = 1,
};

struct FillObject {
    FillStyle style = FillStyle::sfGradient;
    FillBrush brush;
    QImage bitmap; // RGB32, or null for none
    TileMode tileMode = TileMode::tmNone;
    Gradient gradient;
    quint8 options = 0; // FillOption flags
    // Where tmNone places the bitmap in the filled part, and how far it is moved from there.
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    QPoint offset;
};

// Reads a picture file (BMP, or any other format Qt reads) for a fill, as RGB32. Only a
// regular file is opened, without blocking, and only a picture within the size limit of
// diskfile.h is decoded. A null image and, when error is given, a message for the user
// when the file is missing, not a regular file, too large or cannot be read.
QImage ReadFillBitmap(const QString& path, QString* error = nullptr);

// Whether a file of fileSize bytes holds all the pixel data its BMP header (the file's first
// bytes) announces. True for anything else, which the image reader judges by itself.
bool BmpDataComplete(const QByteArray& header, qint64 fileSize);
