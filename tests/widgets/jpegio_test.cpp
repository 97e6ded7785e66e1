// The texture picture's JPEG reader and writer: hostile headers, files that are no files,
// CMYK pictures, Chinese messages and a full disk.
#include "diskfile.h"
#include "jpegio.h"
#include "smalldisk.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <jpeglib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QImage halves(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, x < w / 2 ? qRgb(200, 30, 30) : qRgb(20, 40, 220));
    return image;
}

// A JPEG whose frame header claims another size than its data holds.
QByteArray claiming(const QByteArray& jpeg, int width, int height) {
    QByteArray b = jpeg;
    const qsizetype sof = b.indexOf(QByteArray("\xFF\xC0", 2));
    if (sof < 0) return {};
    b[sof + 5] = static_cast<char>(height >> 8);
    b[sof + 6] = static_cast<char>(height & 0xFF);
    b[sof + 7] = static_cast<char>(width >> 8);
    b[sof + 8] = static_cast<char>(width & 0xFF);
    return b;
}

// The message with the file name (and the format's name) taken out holds no Latin
// letters: no English text from libjpeg reaches the user.
bool isChinese(QString message, const QString& path) {
    message.remove(path).remove(QStringLiteral("JPEG"));
    return !message.isEmpty() && !message.contains(QRegularExpression(QStringLiteral("[A-Za-z]")));
}

enum class Ink { Plain, AdobeInverted, AdobeYcck };

// A CMYK picture as prepress programs write it: red ink on the left, blue on the right.
bool writeCmykJpeg(const QString& path, Ink ink) {
    std::FILE* f = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!f) return false;
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = 16;
    c.image_height = 8;
    c.input_components = 4;
    c.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&c);
    jpeg_set_colorspace(&c, ink == Ink::AdobeYcck ? JCS_YCCK : JCS_CMYK);
    c.write_Adobe_marker = ink != Ink::Plain;
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    JSAMPLE row[16 * 4];
    for (int x = 0; x < 16; ++x) {
        const JSAMPLE cmyk[4] = {static_cast<JSAMPLE>(x < 8 ? 0 : 255), 255,
                                 static_cast<JSAMPLE>(x < 8 ? 255 : 0), 0};
        for (int k = 0; k < 4; ++k)
            row[x * 4 + k] = ink == Ink::Plain ? cmyk[k] : static_cast<JSAMPLE>(255 - cmyk[k]);
    }
    JSAMPROW rows[1] = {row};
    while (c.next_scanline < c.image_height)
        jpeg_write_scanlines(&c, rows, 1);
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    return std::fclose(f) == 0;
}

} // namespace

TEST(Jpeg, PicturesBeyondTheSizeLimitAreRefusedFromTheirHeader) {
    QTemporaryDir dir;
    const QString small = dir.filePath("small.jpg");
    ASSERT_TRUE(WriteJpeg(small, halves(16, 16)));
    const QByteArray jpeg = readAll(small);

    struct Case {
        const char* name;
        QByteArray bytes;
        bool accepted;
    };
    const QString wide = dir.filePath("wide.jpg");
    ASSERT_TRUE(WriteJpeg(wide, halves(MaxPictureSide, 8)));
    const QString wider = dir.filePath("wider.jpg");
    ASSERT_TRUE(WriteJpeg(wider, halves(MaxPictureSide + 1, 8)));
    const Case cases[] = {
        {"as wide as allowed", readAll(wide), true},
        {"one pixel wider", readAll(wider), false},
        {"a few hundred bytes claiming 6144x59152", claiming(jpeg, 6144, 59152), false},
        {"claiming 20000x20000", claiming(jpeg, 20000, 20000), false},
        {"one row more than the pixel limit", claiming(jpeg, 8192, 3907), false},
    };
    for (const Case& c : cases) {
        const QString path = dir.filePath("case.jpg");
        writeAll(path, c.bytes);
        QString error;
        const QImage image = ReadJpeg(path, &error);
        EXPECT_EQ(!image.isNull(), c.accepted) << c.name;
        if (c.accepted) continue;
        EXPECT_TRUE(error.contains(path) && error.contains(QStringLiteral("太大")))
            << c.name << ": " << error.toStdString();
        EXPECT_TRUE(isChinese(error, path)) << c.name << ": " << error.toStdString();
    }
}

TEST(Jpeg, OnlyARegularFileIsOpened) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("AALabel.jpg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    ::alarm(60); // a reader blocked on the FIFO ends the test program
    QString error;
    EXPECT_TRUE(ReadJpeg(fifo, &error).isNull());
    ::alarm(0);
    EXPECT_TRUE(error.contains(fifo) && error.contains(QStringLiteral("不是普通文件")))
        << error.toStdString();

    const QString folder = dir.filePath("folder.jpg");
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_TRUE(ReadJpeg(folder, &error).isNull());
    EXPECT_TRUE(isChinese(error, folder)) << error.toStdString();
}

TEST(Jpeg, DamagedFilesGetAChineseMessage) {
    QTemporaryDir dir;
    const QString good = dir.filePath("good.jpg");
    ASSERT_TRUE(WriteJpeg(good, halves(64, 48)));
    const QByteArray bytes = readAll(good);
    const QByteArray damaged[] = {bytes.left(bytes.size() / 2), bytes.left(20), "hello", {}};
    for (const QByteArray& d : damaged) {
        const QString path = dir.filePath("bad.jpg");
        writeAll(path, d);
        QString error;
        EXPECT_TRUE(ReadJpeg(path, &error).isNull());
        EXPECT_TRUE(error.contains(path) && isChinese(error, path)) << error.toStdString();
    }
    QString error;
    EXPECT_TRUE(ReadJpeg(dir.filePath("missing.jpg"), &error).isNull());
    EXPECT_TRUE(error.contains(QStringLiteral("不存在"))) << error.toStdString();
}

TEST(Jpeg, CmykPicturesReadInTheirColours) {
    QTemporaryDir dir;
    const std::pair<const char*, Ink> inks[] = {
        {"plain CMYK", Ink::Plain},
        {"Adobe's inverted CMYK", Ink::AdobeInverted},
        {"Adobe's YCCK", Ink::AdobeYcck},
    };
    for (const auto& [name, ink] : inks) {
        const QString path = dir.filePath("cmyk.jpg");
        ASSERT_TRUE(writeCmykJpeg(path, ink)) << name;
        QString error;
        const QImage image = ReadJpeg(path, &error);
        ASSERT_EQ(image.size(), QSize(16, 8)) << name << ": " << error.toStdString();
        const QColor left = image.pixelColor(3, 4);
        const QColor right = image.pixelColor(12, 4);
        EXPECT_GT(left.red(), 230) << name;
        EXPECT_LT(left.green() + left.blue(), 40) << name;
        EXPECT_GT(right.blue(), 230) << name;
        EXPECT_LT(right.red() + right.green(), 40) << name;
    }
}

TEST(Jpeg, AFullDiskKeepsTheOldPicture) {
    QTemporaryDir dir;
    const QString mountPoint = dir.filePath("disk");
    ASSERT_TRUE(QDir().mkdir(mountPoint));
    SmallDisk disk(mountPoint, "64k");
    if (!disk.mounted() && disk.notPermitted())
        GTEST_SKIP() << "mounting a tmpfs is not permitted here (" << disk.why()
                     << "); run the tests as root to check writes on a full disk";
    ASSERT_TRUE(disk.mounted()) << disk.why();

    const QString path = disk.filePath("AALabel.jpg");
    ASSERT_TRUE(WriteJpeg(path, halves(8, 8)));
    const QByteArray old = readAll(path);
    ASSERT_TRUE(disk.fill("filler"));

    QString error;
    EXPECT_FALSE(WriteJpeg(path, halves(64, 64), 90, &error));
    EXPECT_TRUE(error.contains(path) && isChinese(error, path)) << error.toStdString();
    EXPECT_EQ(readAll(path), old);
    // A picture kept as its JPEG bytes goes the same way.
    error.clear();
    EXPECT_FALSE(WriteJpegFile(path, old + old, &error));
    EXPECT_TRUE(error.contains(path) && isChinese(error, path)) << error.toStdString();
    EXPECT_EQ(readAll(path), old);
    EXPECT_EQ(QDir(mountPoint).entryList(QDir::Files), QStringList({"AALabel.jpg", "filler"}));
}

TEST(Jpeg, TheBytesReadAreTheFilesAndLargeFilesAreRefused) {
    QTemporaryDir dir;
    const QString path = dir.filePath("AALabel.jpg");
    ASSERT_TRUE(WriteJpeg(path, halves(16, 8)));
    QByteArray bytes;
    EXPECT_FALSE(ReadJpeg(path, nullptr, &bytes).isNull());
    EXPECT_EQ(bytes, readAll(path));

    ASSERT_TRUE(QFile::resize(path, MaxJpegFileBytes + 1)); // sparse: no real bytes
    QString error;
    bytes.clear();
    EXPECT_TRUE(ReadJpeg(path, &error, &bytes).isNull());
    EXPECT_TRUE(bytes.isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("太大")) && isChinese(error, path))
        << error.toStdString();
}
