#include "fillobject.h"

#include "diskfile.h"
#include "fillpixels.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>
#include <cstdlib>

const QStringList& GradientStyleNames() {
    static const QStringList names{
        QStringLiteral("gstHorizontal"),      QStringLiteral("gstVertical"),
        QStringLiteral("gstSquare"),          QStringLiteral("gstElliptic"),
        QStringLiteral("gstTopLeft"),         QStringLiteral("gstTopRight"),
        QStringLiteral("gstBottomLeft"),      QStringLiteral("gstBottomRight"),
        QStringLiteral("gstTopLeftDiagonal"), QStringLiteral("gstTopRightDiagonal"),
    };
    return names;
}

QString GradientStyleName(GradientStyle style) {
    const int i = static_cast<int>(style);
    return i < GradientStyleCount ? GradientStyleNames().at(i) : QString();
}

bool GradientStyleFromName(const QString& name, GradientStyle* style) {
    const QStringList& names = GradientStyleNames();
    for (int k = 0; k < names.size(); ++k)
        if (names[k].compare(name.trimmed(), Qt::CaseInsensitive) == 0) {
            *style = static_cast<GradientStyle>(k);
            return true;
        }
    return false;
}

Gradient::Gradient() : m_start(qRgb(0, 0, 255)), m_end(qRgb(0, 0, 0)) {
    rebuild();
}

void Gradient::setStartColor(const QColor& color) {
    m_start = color.rgb() | 0xFF000000u;
    rebuild();
}

void Gradient::setEndColor(const QColor& color) {
    m_end = color.rgb() | 0xFF000000u;
    rebuild();
}

void Gradient::setColorCount(int count) {
    m_count = std::clamp(count, 0, 255);
    rebuild();
}

void Gradient::setStyle(GradientStyle style) {
    if (static_cast<int>(style) < GradientStyleCount) m_style = style;
}

void Gradient::rebuild() {
    m_colors = GradientColors(m_start, m_end, m_count);
}

namespace {
// The largest picture allowed, uncompressed at 32 bits, with room for its headers.
constexpr qint64 MaxFillBitmapBytes = MaxPicturePixels * 4 + 64 * 1024;

quint32 le16(const QByteArray& b, int at) {
    return quint8(b[at]) | quint32(quint8(b[at + 1])) << 8;
}
quint32 le32(const QByteArray& b, int at) {
    return le16(b, at) | le16(b, at + 2) << 16;
}
} // namespace

bool BmpDataComplete(const QByteArray& header, qint64 fileSize) {
    if (header.size() < 26 || !header.startsWith("BM")) return true; // not for us to judge
    const qint64 offBits = le32(header, 10), infoSize = le32(header, 14);
    qint64 width = 0, height = 0, bpp = 0, compression = 0, sizeImage = 0;
    if (infoSize == 12) {
        width = le16(header, 18);
        height = le16(header, 20);
        bpp = le16(header, 24);
    } else if (infoSize >= 40 && header.size() >= 38) {
        width = qint32(le32(header, 18));
        height = qint32(le32(header, 22));
        bpp = le16(header, 28);
        compression = le32(header, 30);
        sizeImage = le32(header, 34);
    } else {
        return true;
    }
    qint64 need = 0;
    if (compression == 0 || compression == 3 || compression == 6) // plain rows, bit fields
        need = offBits + (std::abs(width) * bpp + 31) / 32 * 4 * std::abs(height);
    else if (sizeImage > 0) // run-length or embedded data of a stated size
        need = offBits + sizeImage;
    return fileSize >= need;
}

QImage ReadFillBitmap(const QString& path, QString* error) {
    auto fail = [error](const QString& message) {
        if (error) *error = message;
        return QImage();
    };
    if (path.trimmed().isEmpty()) return fail(QStringLiteral("未指定位图文件。"));
    // A FIFO or a device would block the reader or never end: only a regular file is
    // opened, and without blocking.
    QFile file;
    InputFileStatus status = InputFileStatus::Ok;
    if (!OpenInputFile(path, MaxFillBitmapBytes, &file, &status)) {
        switch (status) {
        case InputFileStatus::Missing:
            return fail(QStringLiteral("位图文件“%1”不存在。").arg(path));
        case InputFileStatus::NotRegular:
            return fail(QStringLiteral("“%1”不是普通文件。").arg(path));
        default:
            return fail(
                QStringLiteral("无法打开位图文件“%1”：%2。").arg(path, InputFileProblem(status)));
        }
    }
    const QString unreadable =
        QStringLiteral("无法读取位图文件“%1”，文件已损坏或格式不受支持。").arg(path);
    // Qt's reader fills the missing rows of a cut-off bitmap with black and reports success.
    if (!BmpDataComplete(file.peek(64), file.size())) return fail(unreadable);
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    // The size from the header, before a pixel is decoded: a few bytes can claim gigabytes.
    const QSize size = reader.size();
    if (size.isValid() && !PictureSizeAllowed(size.width(), size.height()))
        return fail(QStringLiteral("位图文件“%1”太大：最多 %2 × %2 像素，共 %3 万像素。")
                        .arg(path)
                        .arg(MaxPictureSide)
                        .arg(MaxPicturePixels / 10000));
    const QImage image = reader.read();
    if (image.isNull()) return fail(unreadable);
    if (!PictureSizeAllowed(image.width(), image.height())) return fail(unreadable);
    return image.convertToFormat(QImage::Format_RGB32);
}
