#include "platform.h"

#include "modulesoundplayer.h"
#include "x11hotkeys.h"

#include <QGuiApplication>

namespace {
bool onX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}
} // namespace

std::unique_ptr<SoundPlayer> CreateSoundPlayer() {
    // Sound does not depend on the window system, so a Wayland desktop gets it too; runs
    // without a desktop (offscreen, minimal) stay silent.
    const QString name = QGuiApplication::platformName();
    if (onX11() || name.startsWith(QLatin1String("wayland")))
        return std::make_unique<DeferredSoundPlayer>([]() -> std::unique_ptr<SoundPlayer> {
            // Without the media module the cues stay silent, as with any sound failure.
            if (auto player = LoadMediaSoundPlayer()) return player;
            return std::make_unique<SilentSoundPlayer>();
        });
    return std::make_unique<SilentSoundPlayer>();
}

std::unique_ptr<GlobalHotkeys> CreateGlobalHotkeys() {
    if (onX11()) {
        if (auto hotkeys = X11Hotkeys::create()) return hotkeys;
    }
    return std::make_unique<NoGlobalHotkeys>();
}
