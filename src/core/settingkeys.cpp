#include "settingkeys.h"

#include "settingsfile.h"

QString SettingKey::keyName(int n) const {
    QString k = QString::fromUtf8(name);
    if (numbered) k += QString::number(n);
    return k;
}

int SettingKey::defaultInt() const {
    return ParseSettingsInteger(defaultText(), 0);
}

namespace {
using namespace Key;
constexpr const SettingKey* Table[] = {
    &StartMode, &TransParent, &BKCOLOR, &AutoNext, &Total, &Elapse, &Remain, &Over, &Standard,
    &Alarm, &Per, &Sound_Start, &Sound_Alarm, &Sound_Over, &Left, &Top,
    //
    &jsMode, &maohao, &AutoStop, &NormalDJS, &BKCOLOR_Alarm, &BKCOLOR_over, &Flash,
    //
    &FontName, &FontSize, &FontColor, &FontStyle, &EffAlpha, &EffBlur, &EffNoise, &EffSpray,
    &EffAngle, &EffOutline, &EffHorzMirror, &EffVertMirror, &EffShadow, &EffShadowAlpha,
    &EffShadowBlur, &EffShadowColor, &EffShadowOffsetX, &EffShadowOffsetY, &EffGradual,
    &EffGradualStartColor, &EffGradualEndColor, &EffGradualStyle, &EffTexture, &EffTextureMode,
    //
    &MsgFontname, &MsgFontsize, &MsgFontColor, &MsgFontStyle, &DisplaySec, &DisplayInterval,
    &TimeOutAutoClose, &MsgColor_Over, &MsgColor_Alarm, &MsgDJS,
    //
    &OptionText, &ProgStyle, &ProgBitmap, &BitmapTile, &Grident_ColorCnt, &Grident_Color,
    &Grident_EndColor, &Grident_Style, &Total_Color, &ProgAlign, &ProgCaption, &Caption_FName,
    &Caption_FSize, &Caption_FColor, &ProgColor, &ProgHeight, &ProgFull, &ProgRecycle,
    //
    &GIfFile, &GifInterval, &GifSoundFile, &GifH, &GifAutoClose,
    //
    &HotkeyStart, &HotkeyPause, &HotkeyStop, &HotkeyPri, &HotkeyNext,
    //
    &StageName, &StageTime, &StageAlarm, &StageColor};

} // namespace

std::span<const SettingKey* const> AllSettingKeys() {
    return Table;
}

QString ReadText(const SettingsFile& file, const SettingKey& key, int n) {
    return file.ReadString(key.sectionName(), key.keyName(n), key.defaultText());
}

int ReadInt(const SettingsFile& file, const SettingKey& key, int n) {
    return file.ReadInteger(key.sectionName(), key.keyName(n), key.defaultInt());
}

int ReadInt(const SettingsFile& file, const SettingKey& key, int n, int def) {
    return file.ReadInteger(key.sectionName(), key.keyName(n), def);
}

bool ReadFlag(const SettingsFile& file, const SettingKey& key, int n) {
    return file.ReadBool(key.sectionName(), key.keyName(n), key.defaultInt() != 0);
}

void WriteText(SettingsFile& file, const SettingKey& key, const QString& value, int n) {
    file.WriteString(key.sectionName(), key.keyName(n), value);
}

void WriteInt(SettingsFile& file, const SettingKey& key, int value, int n) {
    file.WriteInteger(key.sectionName(), key.keyName(n), value);
}

void WriteFlag(SettingsFile& file, const SettingKey& key, bool value, int n) {
    file.WriteBool(key.sectionName(), key.keyName(n), value);
}
