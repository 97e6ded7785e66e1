#pragma once

#include "displaymode.h"

#include <QtGlobal>

class QWidget;
class SettingsFile;
struct RunState;

// What the settings dialog may use of the main window: the state it shows (DisplayMode,
// CountUp) and sets (HotkeyChanged), the settings file, and what its previews change live:
// the window's opacity, colour, size and place, and the components of the running mode.
class PreviewHost {
public:
    virtual ~PreviewHost() = default;

    virtual RunState& State() = 0;
    virtual SettingsFile& Settings() = 0;
    // The dialog's parent; the previews set its size and place.
    virtual QWidget* Window() = 0;
    virtual void SetBackground(qint32 colorValue) = 0;
    // The alpha value of the window, 0 to 255 (255 opaque).
    virtual int Opacity() const = 0;
    virtual void SetOpacity(int alpha) = 0;
    // The running mode's components; those of the other modes are null.
    virtual PreviewSurfaces Surfaces() const = 0;
};
