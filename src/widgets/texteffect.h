#pragma once

#include <QByteArray>
#include <QImage>
#include <QtGlobal>

// Effect settings of an anti-aliased label. The initial values are those of a new label
// and the defaults of the [AALabel] keys.
enum GradualStyle : quint8 {
    gsLeftToRight = 0,
    gsRightToLeft = 1,
    gsTopToBottom = 2,
    gsBottomToTop = 3,
    gsCenterToLR = 4,
    gsCenterToTB = 5,
};

enum TextureMode : quint8 { tmTiled = 0, tmStretched = 1, tmCenter = 2, tmNormal = 3 };

struct ShadowEffect {
    bool Enabled = false;
    quint8 Alpha = 70, Blur = 80;
    qint32 Color = 4473924; // colour value 0x00BBGGRR
    qint8 OffsetX = 2, OffsetY = 2;
};

struct GradualEffect {
    bool Enabled = false;
    qint32 StartColor = 16777215, EndColor = 0; // colour values
    quint8 Style = 0;                           // GradualStyle
};

struct TextureEffect {
    bool Enabled = false;
    quint8 Mode = 0; // TextureMode
    QImage Picture;
    // The JPEG file that Picture was decoded from, so that saving writes those very bytes
    // again instead of encoding the picture once more (and losing quality each time). They
    // belong to Picture only while it is still that image: PictureJpegKey is its cacheKey(),
    // which a changed or replaced picture no longer has. See LoadTexturePicture().
    QByteArray PictureJpeg;
    qint64 PictureJpegKey = 0;

    bool keepsJpeg() const {
        return !Picture.isNull() && !PictureJpeg.isEmpty() && Picture.cacheKey() == PictureJpegKey;
    }
};

struct TextEffect {
    quint8 Alpha = 100, Blur = 0, Noise = 0, Spray = 0;
    qint16 Angle = 0; // degrees, counter-clockwise
    bool Outline = false, HorzMirror = false, VertMirror = false;
    ShadowEffect Shadow;
    GradualEffect Gradual;
    TextureEffect Texture;
};
