#pragma once

#include "singlemessagebox.h"

#include <QDialog>
#include <QString>
#include <array>
#include <vector>

class ColorField;
class FileField;
class HotkeyField;
class ModeSettingsPage;
class PreviewHost;
class ProgressPage;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class SliderField;
class TimeField;

// The settings dialog "设置": the page of the running display mode and the four common
// pages, filled from js.ini when it is made. Many controls preview on the main window at
// once (through its PreviewHost); OK writes everything to js.ini, Cancel, Esc and the close
// box write nothing. A new dialog is made for every opening.
class Tfrm_setsys : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_setsys(PreviewHost& host, QWidget* parent = nullptr);
    ~Tfrm_setsys() override;

    // The page of a display mode 0..3 (they all exist; only the running mode's tab shows).
    ModeSettingsPage* ModePage(int mode) const { return m_modePages.at(mode); }

    // Seconds of a time text as the stage table reads it: empty or ":" is 0, else the
    // minutes before the first ":" and the at most two characters after it. Throws
    // std::invalid_argument "'%s' is not a valid integer value" for a part that is not a
    // decimal integer.
    static int TimeTextSeconds(const QString& text);

    // The controls, by the names the settings and tests know them by.
    QTabWidget* page = nullptr;
    QPushButton* btnok = nullptr;
    QPushButton* btncancel = nullptr;
    // 通用
    QGroupBox* RG_StartMode = nullptr;
    QLineEdit *edt_standard = nullptr, *edt_alarm = nullptr, *edt_elapse = nullptr,
              *edt_remain = nullptr, *edt_over = nullptr, *edt_percent = nullptr;
    QCheckBox* cb_AutoNext = nullptr;
    // 时间: indexed by stage - 1
    std::array<QLineEdit*, 8> StageNames{};
    std::array<TimeField*, 8> StageTimes{}; // ST_1 .. ST_8
    std::array<TimeField*, 8> StageAlarms{};
    std::array<ColorField*, 8> StageColors{};
    QLabel* lbl_total = nullptr;
    // 热键
    HotkeyField *HotKey_start = nullptr, *HotKey_pause = nullptr, *HotKey_stop = nullptr,
                *HotKey_pri = nullptr, *HotKey_next = nullptr;
    // 效果
    ColorField* ColorEdit_Bk = nullptr;
    SliderField* Slider_Opacity = nullptr;
    FileField *File_Start = nullptr, *File_Alarm = nullptr, *File_Over = nullptr;

    void btnokClick();
    void btncancelClick();
    void ShowTotalTime();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildGeneralPage();
    QWidget* buildTimePage();
    QWidget* buildHotkeyPage();
    QWidget* buildEffectPage();
    template <class T> T* made(T* control, const char* name);
    QCheckBox* totalBox() const;

    void FormCreate();
    void LoadStageTable();
    void SaveStageTable();
    void Save();
    void ShowError(const QString& text);

    void Slider_OpacityChange(int value);
    void ColorEdit_BkChange(qint32 value);
    void HotKey_startChange();
    void StageColorEditChange(ColorField* edit);
    void ST_1Exit();

    PreviewHost& m_host;
    std::array<ModeSettingsPage*, 4> m_modePages{};
    QButtonGroup* m_startModes = nullptr;
    // Every control of the dialog in the order it was made: the stage table is read and
    // written by visiting them in this order, each by its "tag" property.
    std::vector<QWidget*> m_components;
    QString m_openingError; // shown once the dialog is on the screen
    SingleMessageBox m_box;
    bool m_placed = false;
};
