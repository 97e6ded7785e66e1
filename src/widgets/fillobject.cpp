#include "fillobject.h"

#include "fillpixels.h"

#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

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

QImage ReadFillBitmap(const QString& path, QString* error) {
    auto fail = [error](const QString& message) {
        if (error) *error = message;
        return QImage();
    };
    if (path.trimmed().isEmpty()) return fail(QStringLiteral("未指定位图文件。"));
    // A FIFO or a device would block the reader or never end; only plain files are read.
    const QFileInfo info(path);
    if (!info.exists()) return fail(QStringLiteral("位图文件“%1”不存在。").arg(path));
    if (!info.isFile()) return fail(QStringLiteral("“%1”不是普通文件。").arg(path));
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull())
        return fail(QStringLiteral("无法读取位图文件“%1”，文件已损坏或格式不受支持。").arg(path));
    return image.convertToFormat(QImage::Format_RGB32);
}
