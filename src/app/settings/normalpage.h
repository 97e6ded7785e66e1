#pragma once

#include "modesettingspage.h"

// The page "普通" of the settings dialog.
class NormalPage final : public ModeSettingsPage {
    Q_OBJECT
public:
    NormalPage(PreviewHost& host, QWidget* parent);
    void Load() override;
    void Save() override;
};
