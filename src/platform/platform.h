#pragma once

#include "globalhotkeys.h"
#include "soundplayer.h"

#include <memory>

// The one place that picks the implementation for the window system the program runs on
// (QGuiApplication::platformName()). Needs a QGuiApplication.
std::unique_ptr<SoundPlayer> CreateSoundPlayer();
std::unique_ptr<GlobalHotkeys> CreateGlobalHotkeys();
