#pragma once

#include "texteffect.h"

#include <QString>

class AntiAliasedLabel;
class SettingsFile;

// Font and text effects of an anti-aliased label in a section of js.ini, and its texture
// picture in the JPEG file section + ".jpg" beside the executable.

// Path of the texture picture of the labels stored in section: beside the executable, or,
// where the program's folder is not writable (an installed program in /usr/bin), beside
// js.ini in the current directory, so that a chosen picture can be kept.
QString LabelPicturePath(const QString& section);
QString LabelPicturePathIn(const QString& exeDir, const QString& settingsDir,
                           const QString& section);

// Reads a JPEG file into the texture picture and keeps its bytes with it, so that a save
// writes the file unchanged. Returns false and sets *error (naming the file) when it cannot
// be read; the texture is then left as it was.
bool LoadTexturePicture(const QString& path, TextureEffect& texture, QString* error = nullptr);

// Reads the twenty effect keys; a missing or unreadable key keeps the field's present
// value. Integers are cut to the field's width as a Windows build stores them.
void LoadEffect(const SettingsFile& file, TextEffect& effect, const QString& section);
// Throws SettingsWriteError when a write is refused; the keys before it stay written.
void SaveEffect(SettingsFile& file, const TextEffect& effect, const QString& section);

// Reads effects, font and (when the texture flag is set and the file exists) the texture
// picture, then renders the label once. A picture file that cannot be decoded leaves the
// texture picture as it was and puts a message naming the file into *pictureError (left
// untouched otherwise).
void LoadLabelFont(const SettingsFile& file, AntiAliasedLabel& label, const QString& section,
                   QString* pictureError = nullptr);

// Writes the font keys, the texture picture (if it holds an image) and the effect keys. A
// picture read from a JPEG file is written back byte for byte; any other is encoded at
// quality 90.
// Throws SettingsWriteError on a refused key write, std::runtime_error when the picture
// cannot be written.
void SaveLabelFont(SettingsFile& file, const AntiAliasedLabel& label, const QString& section);
