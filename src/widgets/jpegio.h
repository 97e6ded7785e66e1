#pragma once

#include <QImage>
#include <QString>

// JPEG files through libjpeg directly, so that the texture picture does not depend on
// which Qt image plugins are installed.

// Reads a JPEG file (colour, grey, CMYK or Adobe's inverted CMYK and YCCK) into an RGB32
// image. Only a regular file of at most MaxJpegFileBytes is read, and only a picture
// within MaxPictureSide and MaxPicturePixels (diskfile.h), judged from its header before
// any pixel is decoded. A missing, refused, corrupt or truncated file gives a null image
// and, when error is given, a message in Chinese naming the file. fileBytes, when given,
// receives the bytes the picture was decoded from.
QImage ReadJpeg(const QString& path, QString* error = nullptr, QByteArray* fileBytes = nullptr);
constexpr qint64 MaxJpegFileBytes = 64 * 1024 * 1024;

// Writes a baseline JFIF colour JPEG (quality 1-100), replacing an existing file only once
// the new one is complete and synced. Returns false and sets *error (in Chinese) when it
// cannot; an old file then stays as it was.
bool WriteJpeg(const QString& path, const QImage& image, int quality = 90,
               QString* error = nullptr);

// Writes the bytes of a JPEG file as they are, in the same way as WriteJpeg.
bool WriteJpegFile(const QString& path, const QByteArray& jpeg, QString* error = nullptr);

// Converts one row of CMYK samples to RGB. Adobe's files (those with its marker) store
// the inks inverted, 255 meaning none.
void CmykRowToRgb(const uchar* cmyk, QRgb* rgb, int width, bool inverted);
