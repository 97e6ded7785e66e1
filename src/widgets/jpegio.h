#pragma once

#include <QImage>
#include <QString>

// JPEG files through libjpeg directly, so that the texture picture does not depend on
// which Qt image plugins are installed.

// Reads a JPEG file into an RGB32 image. A missing, corrupt or truncated file gives a
// null image and, when error is given, a message naming the file.
QImage ReadJpeg(const QString& path, QString* error = nullptr);

// Writes a baseline JFIF colour JPEG (quality 1-100), replacing an existing file only once
// the new one is complete. Returns false and sets *error when it cannot.
bool WriteJpeg(const QString& path, const QImage& image, int quality = 90,
               QString* error = nullptr);
