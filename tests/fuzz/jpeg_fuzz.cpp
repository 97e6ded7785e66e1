// The texture picture reader from any bytes on disk: never a crash, and never a picture
// beyond the size limit (the run's memory limit catches a reader that holds too much).
#include "diskfile.h"
#include "jpegio.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
QString workFile() {
    static const QString path = [] {
        // Memory rather than disk where there is one: every write is synced.
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                       : QDir::tempPath();
        QByteArray dir = QFile::encodeName(base) + "/pendra-jpeg-fuzz-XXXXXX";
        if (!mkdtemp(dir.data())) std::abort();
        return QFile::decodeName(dir) + QStringLiteral("/AALabel.jpg");
    }();
    return path;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = workFile();
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    QString error;
    const QImage image = ReadJpeg(path, &error);
    if (image.isNull() == error.isEmpty()) {
        std::fprintf(stderr,
                     "jpeg_fuzz: a picture must come with no message, a failure with one\n");
        std::abort();
    }
    if (!image.isNull() && !PictureSizeAllowed(image.width(), image.height())) {
        std::fprintf(stderr, "jpeg_fuzz: %dx%d is beyond the limit\n", image.width(),
                     image.height());
        std::abort();
    }
    return 0;
}
