#include "jpegio.h"

#include "diskfile.h"

#include <cerrno>
#include <csetjmp>
#include <cstdlib>
#include <memory>

#include <jpeglib.h>
// After jpeglib.h, which it needs.
#include <jerror.h>

namespace {
// libjpeg's own working memory (the coefficients of a progressive picture, above all),
// enough for the largest picture allowed.
constexpr long MaxDecoderMemory = 320L * 1024 * 1024;
// A progressive file may hold any number of scans, each decoded over the whole picture.
constexpr int MaxScans = 256;

// libjpeg reports errors through a callback that must not return; jump back to the
// caller's setjmp instead of letting the library call exit().
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    volatile bool tooLarge = false; // set on the way to the longjmp
};

// Where libjpeg compresses to; it replaces the buffer as it grows. Held outside the
// function's own variables, which a longjmp may leave stale.
struct MemoryDestination {
    unsigned char* data = nullptr;
    unsigned long size = 0;
    ~MemoryDestination() { std::free(data); }
};

[[noreturn]] void onError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (cinfo->err->msg_code == JERR_OUT_OF_MEMORY || cinfo->err->msg_code == JERR_NO_BACKING_STORE)
        err->tooLarge = true;
    std::longjmp(err->jump, 1);
}

// A warning while decoding means damaged data (a truncated file, for one): libjpeg would
// fill the rest with grey, but a half-grey texture is worse than keeping the old one.
void onMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->is_decompressor) onError(cinfo);
}

void noOutput(j_common_ptr) {}

void onProgress(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (cinfo->is_decompressor && d->input_scan_number > MaxScans) onError(cinfo);
}

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

QString unreadable(const QString& path) {
    return QStringLiteral("图片文件 %1 不是可读的 JPEG 图片（文件已损坏、不完整或格式不受支持）。")
        .arg(path);
}

QString tooLarge(const QString& path) {
    return QStringLiteral("图片文件 %1 太大：每边最多 %2 像素，总共最多 %3 万像素。")
        .arg(path)
        .arg(MaxPictureSide)
        .arg(MaxPicturePixels / 10000);
}

QString notWritten(const QString& path) {
    return QStringLiteral("无法写入图片文件 %1。").arg(path);
}
} // namespace

void CmykRowToRgb(const uchar* s, QRgb* d, int width, bool inverted) {
    for (int x = 0; x < width; ++x, s += 4) {
        int c = s[0], m = s[1], y = s[2], k = s[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        // Now 255 is no ink: each channel is what the ink and the black leave of it.
        d[x] = qRgb((c * k + 127) / 255, (m * k + 127) / 255, (y * k + 127) / 255);
    }
}

QImage ReadJpeg(const QString& path, QString* error, QByteArray* fileBytes) {
    // The whole file first: it is small beside the picture, and read the safe way.
    QByteArray bytes;
    const InputFileStatus status = ReadInputFile(path, MaxJpegFileBytes, &bytes);
    if (status != InputFileStatus::Ok) {
        setError(error,
                 QStringLiteral("无法打开图片文件 %1：%2。").arg(path, InputFileProblem(status)));
        return {};
    }
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    jpeg_progress_mgr progress{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.emit_message = onMessage;
    err.pub.output_message = noOutput;
    progress.progress_monitor = onProgress;
    // Locals that live across the setjmp are trivially destructible or, like the bytes,
    // not changed after it; the image is built into a QImage that is released by hand on
    // the error path.
    QImage* volatile image = nullptr;
    if (setjmp(err.jump)) {
        delete image;
        jpeg_destroy_decompress(&cinfo);
        setError(error, err.tooLarge ? tooLarge(path) : unreadable(path));
        return {};
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = MaxDecoderMemory;
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    if (!PictureSizeAllowed(cinfo.image_width, cinfo.image_height)) {
        err.tooLarge = true;
        std::longjmp(err.jump, 1);
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    image = new QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                       QImage::Format_RGB32);
    if (image->isNull()) {
        err.tooLarge = true;
        std::longjmp(err.jump, 1);
    }
    const int w = image->width();
    const int components = cmyk ? 4 : 3;
    // The row buffer belongs to libjpeg's pool, so the error path frees it as well.
    JSAMPARRAY rows = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo),
                                                 JPOOL_IMAGE, cinfo.output_width * components, 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = static_cast<int>(cinfo.output_scanline);
        jpeg_read_scanlines(&cinfo, rows, 1);
        auto* dst = reinterpret_cast<QRgb*>(image->scanLine(y));
        const JSAMPLE* src = rows[0];
        if (cmyk) {
            CmykRowToRgb(src, dst, w, cinfo.saw_Adobe_marker);
        } else {
            for (int x = 0; x < w; ++x, src += 3)
                dst[x] = qRgb(src[0], src[1], src[2]);
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    QImage result = std::move(*image);
    delete image;
    if (fileBytes) *fileBytes = std::move(bytes);
    return result;
}

bool WriteJpeg(const QString& path, const QImage& source, int quality, QString* error) {
    if (source.isNull()) {
        setError(error, QStringLiteral("没有可写入 %1 的图片。").arg(path));
        return false;
    }
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = onError;
    err.pub.output_message = noOutput;
    // The file is compressed into memory first and then replaces the old one whole.
    const auto dest = std::make_unique<MemoryDestination>();
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        setError(error, notWritten(path));
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &dest->data, &dest->size);
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
    const QByteArray bytes(reinterpret_cast<const char*>(dest->data),
                           static_cast<qsizetype>(dest->size));
    return WriteJpegFile(path, bytes, error);
}

bool WriteJpegFile(const QString& path, const QByteArray& jpeg, QString* error) {
    int errorNumber = 0;
    if (!ReplaceFileAtomically(path, jpeg, &errorNumber)) {
        setError(error, notWritten(path));
        return false;
    }
    return true;
}
