#pragma once

#include "modesettingspage.h"
#include "singlemessagebox.h"

#include <QString>

class ColorField;
class FileField;
class ProgressFillBar;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;
class SpinField;

// The page "进度条" of the settings dialog. An inner page control with its tabs on the left:
// "系统" (text, style, place, thickness, caption) and "效果" (gradient and bitmap), the
// latter shown first. Most controls preview at once on the running bars.
class ProgressPage final : public ModeSettingsPage {
    Q_OBJECT
public:
    ProgressPage(PreviewHost& host, QWidget* parent);
    void Load() override;   // LoadProgressPage
    void Loaded() override; // PreviewBarLayout, so that the preview starts from the file
    void Save() override;   // SaveProgressPage

    QTabWidget* PageControl2 = nullptr;
    QWidget* TabSheet4 = nullptr; // 系统
    QWidget* TabSheet5 = nullptr; // 效果

    // 系统
    QComboBox* CB_OptionText = nullptr;
    QComboBox* cb_style = nullptr;
    QComboBox* CB_Align = nullptr;
    ColorField* ColorEdit_Fill = nullptr;
    SpinField* SpinEdit_Height = nullptr;
    QLineEdit* edt_caption = nullptr;
    QPushButton* btn_CaptionFont = nullptr;
    // 显示总进度: on this page, but loaded and saved by the dialog in every mode, and read by
    // the stage colour previews.
    QCheckBox* cb_total = nullptr;
    QCheckBox* CheckBox_Recycle = nullptr;
    QCheckBox* CheckBox_full = nullptr;

    // 效果
    SpinField* SpinEdit_ColorCnt = nullptr;
    QComboBox* cb_grident = nullptr;
    ColorField* ColorEdit = nullptr;
    ColorField* ColorEdit_End = nullptr;
    ColorField* ColorEdit_Total = nullptr;
    QComboBox* cb_bitmap_tile = nullptr;
    FileField* FileEdit_Bitmap = nullptr;

    // Lays the window's bars out from the page's values: along the whole screen side, the
    // plan row as eight equal bars when it is shown.
    void PreviewBarLayout();

    void CheckBox_fullClick();
    void btn_CaptionFontClick();
    void edt_captionChange();
    void CB_OptionTextChange();
    void cb_styleChange();
    void cb_bitmap_tileChange();
    void FileEdit_BitmapChange();
    void SpinEdit_ColorCntChange();
    void ColorEdit_EndChange();
    void cb_gridentChange();
    void ColorEdit_FillChange();
    void CB_AlignChange();
    void SpinEdit_HeightChange();

private:
    void buildSystemPage();
    void buildEffectPage();
    ProgressFillBar* mainBar() const;
    bool stageBarsShown() const;

    bool m_loadingBitmap = false;
    QString m_previewedBitmap; // the file last put into the bar, or tried
    SingleMessageBox m_message;
};
