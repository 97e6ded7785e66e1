#pragma once

#include "modesettingspage.h"

// The page "提示窗" of the settings dialog.
class PromptPage final : public ModeSettingsPage {
    Q_OBJECT
public:
    PromptPage(PreviewHost& host, QWidget* parent);
    void Load() override;
    void Save() override;
};
