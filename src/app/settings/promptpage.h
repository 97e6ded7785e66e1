#pragma once

#include "modesettingspage.h"

class ColorField;
class QCheckBox;
class QPushButton;
class SpinField;

// The page "提示窗" of the settings dialog: how long and how often the prompt window shows,
// its colours, and its font, which the font button previews on the window's label.
class PromptPage final : public ModeSettingsPage {
    Q_OBJECT
public:
    PromptPage(PreviewHost& host, QWidget* parent);
    void Load() override; // LoadPromptPage
    void Save() override; // SavePromptPage

    SpinField* SpinEdit_disp = nullptr;
    SpinField* SpinEdit_interval = nullptr;
    SpinField* SE_DJS_MESS = nullptr;
    ColorField* Color_Over_message = nullptr;
    ColorField* Color_Alarm_message = nullptr;
    QCheckBox* CheckBox_Over = nullptr;
    QPushButton* Button1 = nullptr;

    // The font dialog on the prompt label's font and colour; after OK the label takes them
    // and the window is sized around it.
    void Button1Click();
};
