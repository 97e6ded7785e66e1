#include "labelfont.h"

#include "antialiasedlabel.h"
#include "exepath.h"
#include "fontstyle.h"
#include "jpegio.h"
#include "settingkeys.h"
#include "settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace {
// Sizes beyond this would make the enlarged scratch image of the renderer enormous.
constexpr int MaxFontSize = 500;

int readInt(const SettingsFile& f, const QString& section, const SettingKey& key, int present) {
    return f.ReadInteger(section, key.keyName(), present);
}
bool readBool(const SettingsFile& f, const QString& section, const SettingKey& key, bool present) {
    return f.ReadBool(section, key.keyName(), present);
}
quint8 low8(int v) {
    return static_cast<quint8>(static_cast<quint32>(v) & 0xFF);
}
qint8 signed8(int v) {
    return static_cast<qint8>(low8(v));
}
qint16 signed16(int v) {
    return static_cast<qint16>(static_cast<quint16>(static_cast<quint32>(v) & 0xFFFF));
}

// Writes a kept JPEG file back. The settings dialog saves on every OK, so a file that
// already holds these bytes is left alone; another is replaced only once the new one is
// complete.
bool writeBytes(const QString& path, const QByteArray& bytes, QString* error) {
    QFile existing(path);
    if (existing.size() == bytes.size() && existing.open(QIODevice::ReadOnly) &&
        existing.readAll() == bytes)
        return true;
    existing.close();
    return WriteJpegFile(path, bytes, error);
}
} // namespace

QString LabelPicturePath(const QString& section) {
    return LabelPicturePathIn(ExeDir(), QDir::currentPath(), section);
}

QString LabelPicturePathIn(const QString& exeDir, const QString& settingsDir,
                           const QString& section) {
    const QString name = section + QStringLiteral(".jpg");
    if (QFileInfo(exeDir).isWritable()) return QDir(exeDir).filePath(name);
    return QDir(settingsDir).filePath(name);
}

bool LoadTexturePicture(const QString& path, TextureEffect& texture, QString* error) {
    // The bytes the decoder accepted, so only a real picture's bytes are kept.
    QByteArray bytes;
    QImage picture = ReadJpeg(path, error, &bytes);
    if (picture.isNull()) return false;
    texture.Picture = std::move(picture);
    texture.PictureJpeg = bytes;
    texture.PictureJpegKey = bytes.isEmpty() ? 0 : texture.Picture.cacheKey();
    return true;
}

void LoadEffect(const SettingsFile& f, TextEffect& e, const QString& s) {
    e.Alpha = low8(readInt(f, s, Key::EffAlpha, e.Alpha));
    e.Blur = low8(readInt(f, s, Key::EffBlur, e.Blur));
    e.Noise = low8(readInt(f, s, Key::EffNoise, e.Noise));
    e.Spray = low8(readInt(f, s, Key::EffSpray, e.Spray));
    e.Angle = signed16(readInt(f, s, Key::EffAngle, e.Angle));
    e.Outline = readBool(f, s, Key::EffOutline, e.Outline);
    e.HorzMirror = readBool(f, s, Key::EffHorzMirror, e.HorzMirror);
    e.VertMirror = readBool(f, s, Key::EffVertMirror, e.VertMirror);
    e.Shadow.Enabled = readBool(f, s, Key::EffShadow, e.Shadow.Enabled);
    e.Shadow.Alpha = low8(readInt(f, s, Key::EffShadowAlpha, e.Shadow.Alpha));
    e.Shadow.Blur = low8(readInt(f, s, Key::EffShadowBlur, e.Shadow.Blur));
    e.Shadow.Color = readInt(f, s, Key::EffShadowColor, e.Shadow.Color);
    e.Shadow.OffsetX = signed8(readInt(f, s, Key::EffShadowOffsetX, e.Shadow.OffsetX));
    e.Shadow.OffsetY = signed8(readInt(f, s, Key::EffShadowOffsetY, e.Shadow.OffsetY));
    e.Gradual.Enabled = readBool(f, s, Key::EffGradual, e.Gradual.Enabled);
    e.Gradual.StartColor = readInt(f, s, Key::EffGradualStartColor, e.Gradual.StartColor);
    e.Gradual.EndColor = readInt(f, s, Key::EffGradualEndColor, e.Gradual.EndColor);
    e.Gradual.Style = low8(readInt(f, s, Key::EffGradualStyle, e.Gradual.Style));
    if (e.Gradual.Style > gsCenterToTB) e.Gradual.Style = gsLeftToRight;
    e.Texture.Enabled = readBool(f, s, Key::EffTexture, e.Texture.Enabled);
    e.Texture.Mode = low8(readInt(f, s, Key::EffTextureMode, e.Texture.Mode));
    if (e.Texture.Mode > tmNormal) e.Texture.Mode = tmTiled;
}

void SaveEffect(SettingsFile& f, const TextEffect& e, const QString& s) {
    f.WriteInteger(s, Key::EffAlpha.keyName(), e.Alpha);
    f.WriteInteger(s, Key::EffBlur.keyName(), e.Blur);
    f.WriteInteger(s, Key::EffNoise.keyName(), e.Noise);
    f.WriteInteger(s, Key::EffSpray.keyName(), e.Spray);
    f.WriteInteger(s, Key::EffAngle.keyName(), e.Angle);
    f.WriteBool(s, Key::EffOutline.keyName(), e.Outline);
    f.WriteBool(s, Key::EffHorzMirror.keyName(), e.HorzMirror);
    f.WriteBool(s, Key::EffVertMirror.keyName(), e.VertMirror);
    f.WriteBool(s, Key::EffShadow.keyName(), e.Shadow.Enabled);
    f.WriteInteger(s, Key::EffShadowAlpha.keyName(), e.Shadow.Alpha);
    f.WriteInteger(s, Key::EffShadowBlur.keyName(), e.Shadow.Blur);
    f.WriteInteger(s, Key::EffShadowColor.keyName(), e.Shadow.Color);
    f.WriteInteger(s, Key::EffShadowOffsetX.keyName(), e.Shadow.OffsetX);
    f.WriteInteger(s, Key::EffShadowOffsetY.keyName(), e.Shadow.OffsetY);
    f.WriteBool(s, Key::EffGradual.keyName(), e.Gradual.Enabled);
    f.WriteInteger(s, Key::EffGradualStartColor.keyName(), e.Gradual.StartColor);
    f.WriteInteger(s, Key::EffGradualEndColor.keyName(), e.Gradual.EndColor);
    f.WriteInteger(s, Key::EffGradualStyle.keyName(), e.Gradual.Style);
    f.WriteBool(s, Key::EffTexture.keyName(), e.Texture.Enabled);
    f.WriteInteger(s, Key::EffTextureMode.keyName(), e.Texture.Mode);
}

void LoadLabelFont(const SettingsFile& f, AntiAliasedLabel& label, const QString& s,
                   QString* pictureError) {
    TextEffect effect = label.effect();
    LoadEffect(f, effect, s);

    QFont font = label.font();
    font.setFamily(f.ReadString(s, Key::FontName.keyName(), Key::FontName.defaultText()));
    int size = f.ReadInteger(s, Key::FontSize.keyName(), Key::FontSize.defaultInt());
    if (size < 1) size = Key::FontSize.defaultInt();
    font.setPointSize(qMin(size, MaxFontSize));
    const qint32 color = f.ReadInteger(s, Key::FontColor.keyName(), Key::FontColor.defaultInt());
    const int style =
        TextToFontStyle(f.ReadString(s, Key::FontStyle.keyName(), Key::FontStyle.defaultText()));
    font.setBold((style & fsBold) != 0);
    font.setItalic((style & fsItalic) != 0);
    font.setUnderline((style & fsUnderline) != 0);
    font.setStrikeOut((style & fsStrikeOut) != 0);

    if (effect.Texture.Enabled) {
        const QString path = LabelPicturePath(s);
        if (QFile::exists(path)) {
            QString error;
            if (!LoadTexturePicture(path, effect.Texture, &error) && pictureError)
                *pictureError = error;
        }
    }

    // One render for the whole set rather than one per property.
    label.beginUpdate();
    label.setEffect(effect);
    label.setFont(font);
    label.setFontColorValue(color);
    label.endUpdate();
}

void SaveLabelFont(SettingsFile& f, const AntiAliasedLabel& label, const QString& s) {
    const QFont font = label.font();
    int size = font.pointSize();
    if (size < 1) size = qRound(font.pointSizeF()); // pixel-sized fonts report -1
    if (size < 1) size = Key::FontSize.defaultInt();
    f.WriteInteger(s, Key::FontSize.keyName(), size);
    f.WriteString(s, Key::FontName.keyName(), font.family());
    f.WriteInteger(s, Key::FontColor.keyName(), label.fontColorValue());
    int style = 0;
    if (font.bold()) style |= fsBold;
    if (font.italic()) style |= fsItalic;
    if (font.underline()) style |= fsUnderline;
    if (font.strikeOut()) style |= fsStrikeOut;
    f.WriteString(s, Key::FontStyle.keyName(), FontStyleToText(style));

    const TextureEffect& texture = label.effect().Texture;
    if (!texture.Picture.isNull()) {
        const QString path = LabelPicturePath(s);
        QString error;
        if (texture.keepsJpeg()) {
            if (!writeBytes(path, texture.PictureJpeg, &error))
                throw std::runtime_error(error.toStdString());
        } else if (!WriteJpeg(path, texture.Picture, 90, &error)) {
            throw std::runtime_error(error.toStdString());
        }
    }
    SaveEffect(f, label.effect(), s);
}
