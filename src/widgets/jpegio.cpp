#include "jpegio.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

namespace {
// libjpeg reports errors through a callback that must not return; jump back to the
// caller's setjmp instead of letting the library call exit().
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void onError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// A warning while decoding means damaged data (a truncated file, for one): libjpeg would
// fill the rest with grey, but a half-grey texture is worse than keeping the old one.
void onMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->is_decompressor) onError(cinfo);
}

void noOutput(j_common_ptr) {}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr openFile(const QString& path, const char* mode) {
    return FilePtr(std::fopen(QFile::encodeName(path).constData(), mode));
}

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}
} // namespace

QImage ReadJpeg(const QString& path, QString* error) {
    FilePtr file = openFile(path, "rb");
    if (!file) {
        setError(error, QStringLiteral("Cannot open the picture %1.").arg(path));
        return {};
    }
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    err.pub.output_message = noOutput;
    // Only trivially destructible locals live across the setjmp; the image is built
    // into a QImage that is released by hand on the error path.
    QImage* volatile image = nullptr;
    if (setjmp(err.jump)) {
        delete image;
        jpeg_destroy_decompress(&cinfo);
        setError(error, QStringLiteral("The picture %1 is not a readable JPEG file (%2).")
                            .arg(path, QString::fromLocal8Bit(err.message)));
        return {};
    }
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, file.get());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    image = new QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                       QImage::Format_RGB32);
    if (image->isNull()) {
        std::snprintf(err.message, sizeof err.message, "picture too large");
        std::longjmp(err.jump, 1);
    }
    const int w = image->width();
    // The row buffer belongs to libjpeg's pool, so the error path frees it as well.
    JSAMPARRAY rows = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                 JPOOL_IMAGE, cinfo.output_width * 3, 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        jpeg_read_scanlines(&cinfo, rows, 1);
        auto* dst = reinterpret_cast<QRgb*>(image->scanLine(y));
        const JSAMPLE* src = rows[0];
        for (int x = 0; x < w; ++x, src += 3)
            dst[x] = qRgb(src[0], src[1], src[2]);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    QImage result = std::move(*image);
    delete image;
    return result;
}

bool WriteJpeg(const QString& path, const QImage& source, int quality, QString* error) {
    if (source.isNull()) {
        setError(error, QStringLiteral("No picture to write to %1.").arg(path));
        return false;
    }
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const QString temp = path + QStringLiteral(".part");
    FilePtr file = openFile(temp, "wb");
    if (!file) {
        setError(error, QStringLiteral("Unable to write to %1").arg(path));
        return false;
    }
    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.output_message = noOutput;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        file.reset();
        QFile::remove(temp);
        setError(error, QStringLiteral("Unable to write the picture %1 (%2).")
                            .arg(path, QString::fromLocal8Bit(err.message)));
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file.get());
    cinfo.image_width = static_cast<JDIMENSION>(image.width());
    cinfo.image_height = static_cast<JDIMENSION>(image.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo); // baseline, Huffman, JFIF header, YCbCr
    jpeg_set_quality(&cinfo, qBound(1, quality, 100), TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    const int w = image.width();
    JSAMPARRAY rows = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                 JPOOL_IMAGE, cinfo.image_width * 3, 1);
    while (cinfo.next_scanline < cinfo.image_height) {
        const auto* src = reinterpret_cast<const QRgb*>(
            image.constScanLine(static_cast<int>(cinfo.next_scanline)));
        JSAMPLE* d = rows[0];
        for (int x = 0; x < w; ++x) {
            *d++ = static_cast<JSAMPLE>(qRed(src[x]));
            *d++ = static_cast<JSAMPLE>(qGreen(src[x]));
            *d++ = static_cast<JSAMPLE>(qBlue(src[x]));
        }
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const bool flushed = std::fflush(file.get()) == 0 && !std::ferror(file.get());
    file.reset();
    if (!flushed) {
        QFile::remove(temp);
        setError(error, QStringLiteral("Unable to write to %1").arg(path));
        return false;
    }
    QFile::remove(path);
    if (!QFile::rename(temp, path)) {
        QFile::remove(temp);
        setError(error, QStringLiteral("Unable to write to %1").arg(path));
        return false;
    }
    return true;
}
