#pragma once

#include "modesettingspage.h"

#include <memory>

class ColorField;
class QCheckBox;
class QPushButton;
class QRadioButton;
class SmoothFontDialog;
class SpinField;

// The page "普通" of the settings dialog: the clock's timing, its font and effects (edited
// on the window's clock label itself, so the change shows at once) and its colours.
class NormalPage final : public ModeSettingsPage {
    Q_OBJECT
public:
    NormalPage(PreviewHost& host, QWidget* parent);
    ~NormalPage() override;
    void Load() override;
    void Save() override;

    // Group "系统"
    QRadioButton *RB_ZJS = nullptr, *RB_DJS = nullptr;
    QCheckBox* cb_maohao = nullptr;
    QCheckBox* CheckBox_AutoStop = nullptr;
    QPushButton* btn_font = nullptr;
    SpinField* SE_DJS = nullptr;
    // Group "颜色"
    ColorField *C_over = nullptr, *C_ALARM = nullptr;
    QCheckBox* CheckBox_Flash = nullptr;

    // The font-and-effect dialog of btn_font, with font changes allowed.
    ::SmoothFontDialog* SmoothFontDialog = nullptr;

    void btn_fontClick();

private:
    void restoreClock();

    // The clock label as the dialog found it, put back when the dialog is cancelled.
    struct ClockLook;
    std::unique_ptr<ClockLook> m_before;
};
