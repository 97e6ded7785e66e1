#pragma once

#include "modesettingspage.h"

class FileField;
class QCheckBox;
class QComboBox;
class SpinField;

// The page "GIF" of the settings dialog. Nothing here previews: the pictures are rebuilt
// from the file after the dialog.
class GifPage final : public ModeSettingsPage {
    Q_OBJECT
public:
    GifPage(PreviewHost& host, QWidget* parent);
    void Load() override; // LoadGifPage
    void Save() override; // SaveGifPage

    SpinField* sp_interval = nullptr;
    QComboBox* CB_direct_gif = nullptr;
    FileField* file_gif = nullptr;
    FileField* file_sound = nullptr;
    QCheckBox* Cb_autoClose_gif = nullptr;
};
