#pragma once

#include <QString>
#include <span>

class SettingsFile;

enum class SettingKind { Integer, Boolean, Colour, Text, FilePath, TimeText, FontStyle, Shortcut };

// One entry of js.ini: its section and key in the letter case the program writes them,
// its kind, and the default with which the main window reads it. Numbered keys (the
// window position per display mode, the eight stages) get the number appended.
struct SettingKey {
    const char* section;
    const char* name;
    SettingKind kind;
    const char* mainDefault;             // text form of the default
    const char* dialogDefault = nullptr; // what the settings dialog shows when it differs
    bool numbered = false;

    QString sectionName() const { return QString::fromUtf8(section); }
    QString keyName(int n = 0) const;
    QString defaultText() const { return QString::fromUtf8(mainDefault); }
    int defaultInt() const;
};

// Every key of js.ini. Readers name these instead of repeating literals.
namespace Key {
// [System]
inline constexpr SettingKey StartMode{"SYSTEM", "StartMode", SettingKind::Integer, "0"};
inline constexpr SettingKey TransParent{"System", "TransParent", SettingKind::Integer, "255"};
inline constexpr SettingKey BKCOLOR{"System", "BKCOLOR", SettingKind::Colour, "15780518"};
inline constexpr SettingKey AutoNext{"System", "AutoNext", SettingKind::Boolean, "0"};
inline constexpr SettingKey Total{"System", "Total", SettingKind::Boolean, "0"};
inline constexpr SettingKey Elapse{"System", "elapse", SettingKind::Text, "Elapse:"};
inline constexpr SettingKey Remain{"System", "Remain", SettingKind::Text, "Remain:"};
inline constexpr SettingKey Over{"System", "Over", SettingKind::Text, "OverTime:"};
inline constexpr SettingKey Standard{"System", "standard", SettingKind::Text, "Standard Time:"};
inline constexpr SettingKey Alarm{"System", "Alarm", SettingKind::Text, "Alarm Time:"};
inline constexpr SettingKey Per{"System", "Per", SettingKind::Text, "Percent:"};
inline constexpr SettingKey Sound_Start{"System", "Sound_Start", SettingKind::FilePath, ""};
inline constexpr SettingKey Sound_Alarm{"System", "Sound_Alarm", SettingKind::FilePath, ""};
inline constexpr SettingKey Sound_Over{"System", "Sound_Over", SettingKind::FilePath, ""};
// The defaults are two fifths of the screen size, given by the reader.
inline constexpr SettingKey Left{"System", "LEFT", SettingKind::Integer, "", nullptr, true};
inline constexpr SettingKey Top{"System", "TOP", SettingKind::Integer, "", nullptr, true};

// [Normal]
inline constexpr SettingKey jsMode{"Normal", "jsMode", SettingKind::Boolean, "0"};
inline constexpr SettingKey maohao{"Normal", "maohao", SettingKind::Boolean, "0"};
inline constexpr SettingKey AutoStop{"Normal", "AutoStop", SettingKind::Boolean, "1"};
inline constexpr SettingKey NormalDJS{"Normal", "DJS", SettingKind::Integer, "30"};
inline constexpr SettingKey BKCOLOR_Alarm{"Normal", "BKCOLOR_Alarm", SettingKind::Colour, "65535"};
inline constexpr SettingKey BKCOLOR_over{"Normal", "BKCOLOR_over", SettingKind::Colour, "255"};
inline constexpr SettingKey Flash{"Normal", "Flash", SettingKind::Boolean, "0"};

// [AALabel]: font and text effects of the clock text.
inline constexpr SettingKey FontName{"AALabel", "FontName", SettingKind::Text, "宋体"};
inline constexpr SettingKey FontSize{"AALabel", "FontSize", SettingKind::Integer, "48"};
inline constexpr SettingKey FontColor{"AALabel", "FontColor", SettingKind::Colour, "0"};
inline constexpr SettingKey FontStyle{"AALabel", "FontStyle", SettingKind::FontStyle, "[]"};
inline constexpr SettingKey EffAlpha{"AALabel", "Alpha", SettingKind::Integer, "100"};
inline constexpr SettingKey EffBlur{"AALabel", "Blur", SettingKind::Integer, "0"};
inline constexpr SettingKey EffNoise{"AALabel", "Noise", SettingKind::Integer, "0"};
inline constexpr SettingKey EffSpray{"AALabel", "Spray", SettingKind::Integer, "0"};
inline constexpr SettingKey EffAngle{"AALabel", "Angle", SettingKind::Integer, "0"};
inline constexpr SettingKey EffOutline{"AALabel", "Outline", SettingKind::Boolean, "0"};
inline constexpr SettingKey EffHorzMirror{"AALabel", "HorzMirror", SettingKind::Boolean, "0"};
inline constexpr SettingKey EffVertMirror{"AALabel", "VertMirror", SettingKind::Boolean, "0"};
inline constexpr SettingKey EffShadow{"AALabel", "Shadow", SettingKind::Boolean, "0"};
inline constexpr SettingKey EffShadowAlpha{"AALabel", "ShadowAlpha", SettingKind::Integer, "70"};
inline constexpr SettingKey EffShadowBlur{"AALabel", "ShadowBlur", SettingKind::Integer, "80"};
inline constexpr SettingKey EffShadowColor{"AALabel", "ShadowColor", SettingKind::Colour,
                                           "4473924"};
inline constexpr SettingKey EffShadowOffsetX{"AALabel", "ShadowOffsetX", SettingKind::Integer, "2"};
inline constexpr SettingKey EffShadowOffsetY{"AALabel", "ShadowOffsetY", SettingKind::Integer, "2"};
inline constexpr SettingKey EffGradual{"AALabel", "Gradual", SettingKind::Boolean, "0"};
inline constexpr SettingKey EffGradualStartColor{"AALabel", "GradualStartColor",
                                                 SettingKind::Colour, "16777215"};
inline constexpr SettingKey EffGradualEndColor{"AALabel", "GradualEndColor", SettingKind::Colour,
                                               "0"};
inline constexpr SettingKey EffGradualStyle{"AALabel", "GradualStyle", SettingKind::Integer, "0"};
inline constexpr SettingKey EffTexture{"AALabel", "Texture", SettingKind::Boolean, "0"};
inline constexpr SettingKey EffTextureMode{"AALabel", "TextureMode", SettingKind::Integer, "0"};

// [Message]: prompt-window mode.
inline constexpr SettingKey MsgFontname{"Message", "Fontname", SettingKind::Text, "宋体"};
inline constexpr SettingKey MsgFontsize{"Message", "Fontsize", SettingKind::Integer, "15"};
inline constexpr SettingKey MsgFontColor{"Message", "FontColor", SettingKind::Colour, "0"};
inline constexpr SettingKey MsgFontStyle{"Message", "FontStyle", SettingKind::FontStyle, "[]"};
inline constexpr SettingKey DisplaySec{"Message", "DisplaySec", SettingKind::Integer, "5"};
inline constexpr SettingKey DisplayInterval{"Message", "DisplayInterval", SettingKind::Integer,
                                            "20"};
inline constexpr SettingKey TimeOutAutoClose{"Message", "TimeOutAutoClose", SettingKind::Boolean,
                                             "1"};
inline constexpr SettingKey MsgColor_Over{"Message", "Color_Over", SettingKind::Colour, "65535"};
inline constexpr SettingKey MsgColor_Alarm{"Message", "Color_Alarm", SettingKind::Colour, "255"};
inline constexpr SettingKey MsgDJS{"Message", "DJS", SettingKind::Integer, "10"};

// [Progress]: progress-bar mode.
inline constexpr SettingKey OptionText{"Progress", "OptionText", SettingKind::Integer, "2"};
inline constexpr SettingKey ProgStyle{"Progress", "Style", SettingKind::Integer, "1"};
inline constexpr SettingKey ProgBitmap{"Progress", "Bitmap", SettingKind::FilePath, ""};
inline constexpr SettingKey BitmapTile{"Progress", "BitmapTile", SettingKind::Integer, "0"};
inline constexpr SettingKey Grident_ColorCnt{"Progress", "Grident_ColorCnt", SettingKind::Integer,
                                             "20"};
inline constexpr SettingKey Grident_Color{"Progress", "Grident_Color", SettingKind::Colour,
                                          "16777215"};
inline constexpr SettingKey Grident_EndColor{"Progress", "Grident_EndColor", SettingKind::Colour,
                                             "16711680"};
inline constexpr SettingKey Grident_Style{"Progress", "Grident_Style", SettingKind::Integer, "0"};
inline constexpr SettingKey Total_Color{"Progress", "Total_Color", SettingKind::Colour, "16711680"};
inline constexpr SettingKey ProgAlign{"Progress", "Align", SettingKind::Integer, "0"};
inline constexpr SettingKey ProgCaption{"Progress", "Caption", SettingKind::Text, ""};
inline constexpr SettingKey Caption_FName{"Progress", "Caption_FName", SettingKind::Text,
                                          "MS Sans Serif"};
inline constexpr SettingKey Caption_FSize{"Progress", "Caption_FSize", SettingKind::Integer, "8"};
inline constexpr SettingKey Caption_FColor{"Progress", "Caption_FColor", SettingKind::Colour, "0"};
inline constexpr SettingKey ProgColor{"Progress", "Color", SettingKind::Colour, "15780518"};
inline constexpr SettingKey ProgHeight{"Progress", "Height", SettingKind::Integer, "20"};
inline constexpr SettingKey ProgFull{"Progress", "Full", SettingKind::Boolean, "1"};
inline constexpr SettingKey ProgRecycle{"Progress", "Recycle", SettingKind::Boolean, "0"};

// [Gif]: GIF mode.
inline constexpr SettingKey GIfFile{"Gif", "GIfFile", SettingKind::FilePath, "gif.gif", ""};
inline constexpr SettingKey GifInterval{"Gif", "Interval", SettingKind::Integer, "60"};
inline constexpr SettingKey GifSoundFile{"Gif", "SoundFile", SettingKind::FilePath, ""};
inline constexpr SettingKey GifH{"Gif", "H", SettingKind::Boolean, "1"};
inline constexpr SettingKey GifAutoClose{"Gif", "AutoClose", SettingKind::Boolean, "0"};

// [Hotkey]: the five global hotkeys. The dialog shows no key where the file has none.
inline constexpr SettingKey HotkeyStart{"Hotkey", "start", SettingKind::Shortcut, ""};
inline constexpr SettingKey HotkeyPause{"Hotkey", "pause", SettingKind::Shortcut, ""};
inline constexpr SettingKey HotkeyStop{"Hotkey", "stop", SettingKind::Shortcut, "F12", ""};
inline constexpr SettingKey HotkeyPri{"Hotkey", "Pri", SettingKind::Shortcut, "F12", ""};
inline constexpr SettingKey HotkeyNext{"Hotkey", "Next", SettingKind::Shortcut, "F12", ""};

// [Group]: the stage plan, stages 1 to 8.
inline constexpr SettingKey StageName{"Group", "Name", SettingKind::Text, "", "阶段", true};
inline constexpr SettingKey StageTime{"Group", "Time", SettingKind::TimeText, ":", "01:00", true};
inline constexpr SettingKey StageAlarm{"Group", "Alarm", SettingKind::TimeText, ":", "00:20", true};
inline constexpr SettingKey StageColor{"Group",    "Color", SettingKind::Colour,
                                       "15780518", nullptr, true};
} // namespace Key

// The whole table, in the order above.
std::span<const SettingKey* const> AllSettingKeys();

// Typed reads and writes through the table. n is the number of a numbered key.
QString ReadText(const SettingsFile& file, const SettingKey& key, int n = 0);
int ReadInt(const SettingsFile& file, const SettingKey& key, int n = 0);
int ReadInt(const SettingsFile& file, const SettingKey& key, int n, int def);
bool ReadFlag(const SettingsFile& file, const SettingKey& key, int n = 0);
void WriteText(SettingsFile& file, const SettingKey& key, const QString& value, int n = 0);
void WriteInt(SettingsFile& file, const SettingKey& key, int value, int n = 0);
void WriteFlag(SettingsFile& file, const SettingKey& key, bool value, int n = 0);
