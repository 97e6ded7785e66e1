#pragma once

#include "modesettingspage.h"

// The page "GIF" of the settings dialog.
class GifPage final : public ModeSettingsPage {
    Q_OBJECT
public:
    GifPage(PreviewHost& host, QWidget* parent);
    void Load() override;
    void Save() override;
};
