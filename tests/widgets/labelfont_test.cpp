// Font and effect persistence of the clock label, its JPEG texture file and the faces
// that stand in for Windows font names.
#include "antialiasedlabel.h"
#include "exepath.h"
#include "fonts.h"
#include "jpegio.h"
#include "labelfont.h"
#include "settingsfile.h"
#include "textrenderer.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <QFile>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <sys/mount.h>

namespace {
// Each test uses its own section, so its picture file beside the test program is its own.
struct PictureFile {
    explicit PictureFile(const QString& section) : path(LabelPicturePath(section)) {
        QFile::remove(path);
    }
    ~PictureFile() { QFile::remove(path); }
    QString path;
};

QImage testPicture(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, x < w / 2 ? qRgb(200, 30, 30) : qRgb(20, 40, 220));
    return image;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// The first quantisation table of a file, in zigzag order as stored.
QByteArray firstQuantTable(const QByteArray& jpeg) {
    const int at = jpeg.indexOf(QByteArray("\xFF\xDB", 2));
    return at < 0 ? QByteArray() : jpeg.mid(at + 5, 64);
}
} // namespace

TEST(LabelFont, PicturePathIsBesideTheExecutable) {
    EXPECT_EQ(LabelPicturePath("AALabel"), ExeDir() + "AALabel.jpg");
    EXPECT_TRUE(ExeDir().endsWith('/'));
}

// An installed program's folder is read-only to its user: the picture then goes beside
// js.ini. A read-only mount stands in for it, since the tests run as root.
TEST(LabelFont, PicturePathIsBesideTheSettingsWhereTheProgramFolderIsReadOnly) {
    QTemporaryDir exe, settings;
    EXPECT_EQ(LabelPicturePathIn(exe.path() + '/', settings.path(), "AALabel"),
              exe.filePath("AALabel.jpg"));
    if (::mount("pendra-test", QFile::encodeName(exe.path()).constData(), "tmpfs",
                MS_RDONLY | MS_NOSUID | MS_NODEV, "size=16k") != 0)
        GTEST_SKIP() << "cannot mount a read-only folder here: " << std::strerror(errno);
    EXPECT_EQ(LabelPicturePathIn(exe.path() + '/', settings.path(), "AALabel"),
              settings.filePath("AALabel.jpg"));
    ::umount2(QFile::encodeName(exe.path()).constData(), MNT_DETACH);
}

TEST(LabelFont, LoadedValuesAreCutToTheFieldWidth) {
    QTemporaryDir dir;
    SettingsFile file(dir.filePath("js.ini"));
    using Get = std::function<int(const TextEffect&)>;
    struct Case {
        const char* key;
        const char* stored;
        Get field;
        int expected;
    };
    const Case cases[] = {
        {"Angle", "-90", [](const TextEffect& e) { return e.Angle; }, -90},
        {"Angle", "65536", [](const TextEffect& e) { return e.Angle; }, 0},
        {"Angle", "40000", [](const TextEffect& e) { return e.Angle; }, 40000 - 65536},
        {"ShadowOffsetX", "255", [](const TextEffect& e) { return e.Shadow.OffsetX; }, -1},
        {"ShadowOffsetY", "-3", [](const TextEffect& e) { return e.Shadow.OffsetY; }, -3},
        {"Alpha", "300", [](const TextEffect& e) { return e.Alpha; }, 44},
        {"Blur", "0x1F", [](const TextEffect& e) { return e.Blur; }, 31},
        {"Noise", "abc", [](const TextEffect& e) { return e.Noise; }, 0}, // keeps the value
        {"GradualStyle", "5", [](const TextEffect& e) { return e.Gradual.Style; }, 5},
        {"GradualStyle", "6", [](const TextEffect& e) { return e.Gradual.Style; }, 0},
        {"GradualStyle", "261", [](const TextEffect& e) { return e.Gradual.Style; }, 5},
        {"TextureMode", "4", [](const TextEffect& e) { return e.Texture.Mode; }, 0},
        {"ShadowColor", "-16777201", [](const TextEffect& e) { return e.Shadow.Color; }, -16777201},
        {"Outline", "2", [](const TextEffect& e) { return e.Outline; }, 1},
        {"Texture", "yes", [](const TextEffect& e) { return e.Texture.Enabled; }, 0},
    };
    for (const Case& c : cases) {
        file.WriteString("T", c.key, c.stored);
        TextEffect e;
        LoadEffect(file, e, "T");
        EXPECT_EQ(c.field(e), c.expected) << c.key << "=" << c.stored;
    }
}

TEST(LabelFont, MissingKeysKeepWhatTheLabelShows) {
    QTemporaryDir dir;
    SettingsFile file(dir.filePath("js.ini"));
    file.WriteInteger("T", "Blur", 7);
    TextEffect e;
    e.Alpha = 33;
    e.Shadow.Enabled = true;
    e.Shadow.OffsetX = -5;
    LoadEffect(file, e, "T");
    EXPECT_EQ(e.Blur, 7);
    EXPECT_EQ(e.Alpha, 33);
    EXPECT_TRUE(e.Shadow.Enabled);
    EXPECT_EQ(e.Shadow.OffsetX, -5);

    // A missing section: SimSun 48 points, black, no style; the effects unchanged.
    AntiAliasedLabel label;
    label.setFont(QFont("DejaVu Sans", 12, QFont::Bold, true));
    label.setFontColor(Qt::red);
    label.setEffect(e);
    LoadLabelFont(file, label, "Nothing");
    EXPECT_EQ(label.font().family(), QString::fromUtf8("宋体"));
    EXPECT_EQ(label.font().pointSize(), 48);
    EXPECT_FALSE(label.font().bold());
    EXPECT_FALSE(label.font().italic());
    EXPECT_EQ(label.fontColor(), QColor(Qt::black));
    EXPECT_EQ(label.effect().Alpha, 33);
}

TEST(LabelFont, SaveAndLoadRoundTrip) {
    QTemporaryDir dir;
    SettingsFile file(dir.filePath("js.ini"));
    PictureFile picture("RoundTrip");
    AntiAliasedLabel saved;
    QFont font("DejaVu Serif", 31);
    font.setItalic(true);
    font.setStrikeOut(true);
    saved.setFont(font);
    saved.setFontColor(QColor(255, 0, 0));
    TextEffect e;
    e.Alpha = 80;
    e.Blur = 12;
    e.Noise = 200;
    e.Spray = 4;
    e.Angle = -45;
    e.Outline = e.HorzMirror = e.VertMirror = true;
    e.Shadow = {true, 55, 66, 0x123456, -7, 9};
    e.Gradual = {true, 255, 65535, gsCenterToTB};
    e.Texture.Enabled = true;
    e.Texture.Mode = tmStretched;
    e.Texture.Picture = testPicture(16, 8);
    saved.setEffect(e);
    SaveLabelFont(file, saved, "RoundTrip");

    EXPECT_EQ(file.ReadString("RoundTrip", "FontStyle", ""), "[fsItalic,fsStrikeOut]");
    EXPECT_EQ(file.ReadInteger("RoundTrip", "FontColor", -1), 255);
    EXPECT_EQ(file.ReadInteger("RoundTrip", "Angle", 0), -45);
    EXPECT_EQ(file.ReadInteger("RoundTrip", "ShadowOffsetX", 0), -7);
    ASSERT_TRUE(QFile::exists(picture.path));

    AntiAliasedLabel loaded;
    QString error;
    LoadLabelFont(file, loaded, "RoundTrip", &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(loaded.font().family(), "DejaVu Serif");
    EXPECT_EQ(loaded.font().pointSize(), 31);
    EXPECT_TRUE(loaded.font().italic());
    EXPECT_TRUE(loaded.font().strikeOut());
    EXPECT_FALSE(loaded.font().bold());
    EXPECT_EQ(loaded.fontColor(), QColor(255, 0, 0));
    const TextEffect& l = loaded.effect();
    EXPECT_EQ(l.Alpha, 80);
    EXPECT_EQ(l.Blur, 12);
    EXPECT_EQ(l.Noise, 200);
    EXPECT_EQ(l.Spray, 4);
    EXPECT_EQ(l.Angle, -45);
    EXPECT_TRUE(l.Outline && l.HorzMirror && l.VertMirror);
    EXPECT_TRUE(l.Shadow.Enabled);
    EXPECT_EQ(l.Shadow.Alpha, 55);
    EXPECT_EQ(l.Shadow.Blur, 66);
    EXPECT_EQ(l.Shadow.Color, 0x123456);
    EXPECT_EQ(l.Shadow.OffsetX, -7);
    EXPECT_EQ(l.Shadow.OffsetY, 9);
    EXPECT_TRUE(l.Gradual.Enabled);
    EXPECT_EQ(l.Gradual.StartColor, 255);
    EXPECT_EQ(l.Gradual.EndColor, 65535);
    EXPECT_EQ(l.Gradual.Style, gsCenterToTB);
    EXPECT_TRUE(l.Texture.Enabled);
    EXPECT_EQ(l.Texture.Mode, tmStretched);
    ASSERT_EQ(l.Texture.Picture.size(), QSize(16, 8));
    const QRgb left = l.Texture.Picture.pixel(2, 4);
    EXPECT_NEAR(qRed(left), 200, 12);
    EXPECT_NEAR(qBlue(left), 30, 12);
}

// The dialog's colour fields offer system colours and "no colour": what was read must be
// written back as it was, while the label draws a real colour.
TEST(LabelFont, FontColorValuesSurviveTheRoundTrip) {
    QTemporaryDir dir;
    SettingsFile file(dir.filePath("js.ini"));
    const QColor buttonFace = QGuiApplication::palette().color(QPalette::Active, QPalette::Button);
    const QColor windowText =
        QGuiApplication::palette().color(QPalette::Active, QPalette::WindowText);
    struct Case {
        qint32 value;
        QColor drawn;
    };
    const Case cases[] = {
        {-16777201, buttonFace},          // 0xFF00000F, the button face
        {qint32(0xFF000008), windowText}, // window text
        {536870911, QColor(Qt::black)},   // no colour
        {255, QColor(255, 0, 0)},         {0, QColor(Qt::black)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        file.WriteInteger("Colors", "FontColor", c.value);
        AntiAliasedLabel label;
        LoadLabelFont(file, label, "Colors");
        EXPECT_EQ(label.fontColor(), c.drawn);
        file.WriteInteger("Colors", "FontColor", 12345); // so that the save must write it
        SaveLabelFont(file, label, "Colors");
        EXPECT_EQ(file.ReadInteger("Colors", "FontColor", -1), c.value);
    }
    // A colour set as a colour is stored as its plain value.
    AntiAliasedLabel label;
    label.setFontColorValue(-16777201);
    label.setFontColor(QColor(0, 0, 255));
    SaveLabelFont(file, label, "Colors");
    EXPECT_EQ(file.ReadInteger("Colors", "FontColor", -1), 16711680);
}

TEST(LabelFont, TexturePictureFileRules) {
    QTemporaryDir dir;
    SettingsFile file(dir.filePath("js.ini"));
    PictureFile picture("Tex");
    const QImage held = testPicture(4, 4);

    // The flag set and no file: the picture the label holds stays.
    file.WriteBool("Tex", "Texture", true);
    AntiAliasedLabel label;
    TextEffect e;
    e.Texture.Picture = held;
    label.setEffect(e);
    LoadLabelFont(file, label, "Tex");
    EXPECT_TRUE(label.effect().Texture.Enabled);
    EXPECT_EQ(label.effect().Texture.Picture, held);

    // An empty picture with the flag set writes Texture=1 and leaves an old file alone.
    writeAll(picture.path, "old file");
    AntiAliasedLabel empty;
    TextEffect flagged;
    flagged.Texture.Enabled = true;
    empty.setEffect(flagged);
    SaveLabelFont(file, empty, "Tex");
    EXPECT_EQ(file.ReadString("Tex", "Texture", ""), "1");
    EXPECT_EQ(readAll(picture.path), QByteArray("old file"));

    // That old file is no JPEG: everything else loads, the picture stays, the message
    // names the file.
    file.WriteInteger("Tex", "FontSize", 20);
    QString error;
    LoadLabelFont(file, label, "Tex", &error);
    EXPECT_EQ(label.font().pointSize(), 20);
    EXPECT_EQ(label.effect().Texture.Picture, held);
    EXPECT_TRUE(error.contains(picture.path)) << error.toStdString();

    // With the flag off the file is not read at all.
    file.WriteBool("Tex", "Texture", false);
    error.clear();
    LoadLabelFont(file, label, "Tex", &error);
    EXPECT_TRUE(error.isEmpty());
}

// The dialog saves the clock label on every OK: a picture that came from a JPEG file must
// not lose quality each time, so its file is written back byte for byte. Only a picture
// from elsewhere, or one changed since, is encoded (at quality 90).
TEST(LabelFont, JpegPictureIsKeptByteForByte) {
    QTemporaryDir dir;
    SettingsFile file(dir.filePath("js.ini"));
    PictureFile picture("Keep");
    // Quality 50, so that an encoding at 90 could never give the same bytes.
    ASSERT_TRUE(WriteJpeg(picture.path, testPicture(32, 16), 50));
    const QByteArray original = readAll(picture.path);
    file.WriteBool("Keep", "Texture", true);
    AntiAliasedLabel label;
    LoadLabelFont(file, label, "Keep");
    ASSERT_EQ(label.effect().Texture.Picture.size(), QSize(32, 16));

    SaveLabelFont(file, label, "Keep");
    EXPECT_EQ(readAll(picture.path), original);
    QFile::remove(picture.path); // gone meanwhile: written again, still the same bytes
    SaveLabelFont(file, label, "Keep");
    EXPECT_EQ(readAll(picture.path), original);

    // A copy of the effect keeps the bytes too (the label stores a copy).
    AntiAliasedLabel other;
    other.setEffect(label.effect());
    QFile::remove(picture.path);
    SaveLabelFont(file, other, "Keep");
    EXPECT_EQ(readAll(picture.path), original);

    const auto quantOfSaved = [&](const TextEffect& e) {
        AntiAliasedLabel l;
        l.setEffect(e);
        SaveLabelFont(file, l, "Keep");
        return firstQuantTable(readAll(picture.path)).left(6);
    };
    const QByteArray quality90("\x03\x02\x02\x03\x02\x02", 6);
    TextEffect changed = label.effect();
    changed.Texture.Picture.setPixel(0, 0, qRgb(1, 2, 3));
    EXPECT_EQ(quantOfSaved(changed), quality90) << "a changed picture";
    TextEffect replaced = label.effect();
    replaced.Texture.Picture = testPicture(8, 8);
    EXPECT_EQ(quantOfSaved(replaced), quality90) << "a picture from another source";
}

TEST(LabelFont, RefusedWritesThrow) {
    AntiAliasedLabel label;
    SettingsFile unwritable("/nonexistent-dir/js.ini");
    EXPECT_THROW(SaveLabelFont(unwritable, label, "AALabel"), SettingsWriteError);

    // A picture that cannot be written: the section names a directory that does not exist.
    QTemporaryDir dir;
    SettingsFile file(dir.filePath("js.ini"));
    TextEffect e;
    e.Texture.Picture = testPicture(4, 4);
    label.setEffect(e);
    try {
        SaveLabelFont(file, label, "no-such-dir/AALabel");
        FAIL() << "no error";
    } catch (const std::runtime_error& err) {
        EXPECT_NE(std::string(err.what()).find("no-such-dir/AALabel.jpg"), std::string::npos)
            << err.what();
    }
    // The font keys came first, the effect keys were not reached.
    EXPECT_EQ(file.ReadInteger("no-such-dir/AALabel", "FontSize", -1), label.font().pointSize());
    EXPECT_EQ(file.ReadInteger("no-such-dir/AALabel", "Alpha", -1), -1);
}

TEST(Jpeg, WritesBaselineQuality90AndRefusesDamagedFiles) {
    QTemporaryDir dir;
    const QString path = dir.filePath("t.jpg");
    ASSERT_TRUE(WriteJpeg(path, testPicture(64, 48), 90));
    const QByteArray bytes = readAll(path);
    ASSERT_GT(bytes.size(), 200);
    EXPECT_TRUE(bytes.startsWith(QByteArray("\xFF\xD8\xFF\xE0", 4)));
    EXPECT_EQ(bytes.mid(6, 5), QByteArray("JFIF\0", 5));
    EXPECT_TRUE(bytes.contains(QByteArray("\xFF\xC0", 2)));  // baseline frame
    EXPECT_FALSE(bytes.contains(QByteArray("\xFF\xC2", 2))); // no progressive frame
    // Quality 90 scales the standard luminance table by 20%: its first entries 16, 11, 12,
    // 14, 12, 10 (zigzag order) become 3, 2, 2, 3, 2, 2.
    EXPECT_EQ(firstQuantTable(bytes).left(6), QByteArray("\x03\x02\x02\x03\x02\x02", 6));

    QString error;
    const QImage back = ReadJpeg(path, &error);
    EXPECT_EQ(back.size(), QSize(64, 48));
    EXPECT_TRUE(error.isEmpty());

    struct Damaged {
        const char* name;
        QByteArray bytes;
    };
    const Damaged damaged[] = {
        {"truncated", bytes.left(bytes.size() / 2)},
        {"header only", bytes.left(20)},
        {"not a picture", QByteArray("hello")},
        {"empty", QByteArray()},
    };
    for (const Damaged& d : damaged) {
        const QString p = dir.filePath(QString::fromUtf8(d.name) + ".jpg");
        writeAll(p, d.bytes);
        error.clear();
        EXPECT_TRUE(ReadJpeg(p, &error).isNull()) << d.name;
        EXPECT_TRUE(error.contains(p)) << d.name << ": " << error.toStdString();
    }
    EXPECT_TRUE(ReadJpeg(dir.filePath("missing.jpg"), &error).isNull());
}

TEST(Fonts, WindowsNamesResolveToFacesOfTheSameKind) {
    RegisterFontSubstitutions();
    struct Case {
        const char* name;
        QStringList acceptable;
    };
    const Case cases[] = {
        {"宋体", {"AR PL UMing CN", "Noto Serif CJK SC"}},
        {"楷体_GB2312", {"AR PL UKai CN"}},
        {"MS Sans Serif", {"DejaVu Sans", "Noto Sans CJK SC"}},
    };
    for (const Case& c : cases) {
        const QFontInfo info(QFont(QString::fromUtf8(c.name), 20));
        EXPECT_TRUE(c.acceptable.contains(info.family()))
            << c.name << " came out as " << info.family().toStdString();
    }
}

// Settings files ask for bold clock text by a Windows face name: each must draw bolder
// than regular, whether the face it stands for has a bold weight or not.
TEST(Fonts, BoldIsBolderForEverySubstitutedName) {
    RegisterFontSubstitutions();
    const QString text = QString::fromUtf8("08:15 阶段");
    const auto coverage = [&](const QString& name, bool bold, int* width) {
        QFont font(name, 24);
        font.setBold(bold);
        TextRenderer r;
        r.setFont(font);
        const QSize size = r.MeasureText(text);
        QImage canvas(size, QImage::Format_RGB32);
        canvas.fill(0xFF000000u);
        r.RenderText(canvas, 0, 0, text);
        *width = size.width();
        long sum = 0;
        for (int y = 0; y < r.mask().height; ++y)
            for (int x = 0; x < r.mask().width; ++x)
                sum += r.mask().at(x, y);
        return sum;
    };
    const QStringList names = SubstitutedFontNames();
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        int regularWidth = 0, boldWidth = 0;
        const long regular = coverage(name, false, &regularWidth);
        const long bold = coverage(name, true, &boldWidth);
        ASSERT_GT(regular, 0);
        // Darker by a clear margin (a bold weight adds far more than a few per cent), or
        // wider.
        EXPECT_TRUE(bold > regular * 11 / 10 || boldWidth > regularWidth)
            << QFontInfo(QFont(name, 24)).family().toStdString() << ": regular " << regular
            << " px " << regularWidth << ", bold " << bold << " px " << boldWidth;
    }
}
