#pragma once

#include "modesettingspage.h"

class QCheckBox;

// The page "进度条" of the settings dialog.
class ProgressPage final : public ModeSettingsPage {
    Q_OBJECT
public:
    ProgressPage(PreviewHost& host, QWidget* parent);
    void Load() override;
    void Save() override;

    // 显示总进度: on this page, but loaded and saved by the dialog in every mode, and read by
    // the stage colour previews.
    QCheckBox* cb_total = nullptr;
};
