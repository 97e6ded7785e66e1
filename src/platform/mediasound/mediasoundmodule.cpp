// The entry point of the media module: the C functions behind PendraSoundModule.
#include "mediasoundplayer.h"
#include "soundmodule.h"

#include <QString>

namespace {

void* create() {
    try {
        return new MediaSoundPlayer;
    } catch (...) {
        return nullptr; // sound failures stay silent
    }
}

void play(void* player, const char16_t* file, std::size_t length) {
    if (!player || !file) return;
    try {
        static_cast<MediaSoundPlayer*>(player)->play(
            QString::fromUtf16(file, static_cast<qsizetype>(length)));
    } catch (...) {
    }
}

void destroy(void* player) {
    delete static_cast<MediaSoundPlayer*>(player);
}

constexpr PendraSoundModule Module{SoundModuleVersion, create, play, destroy};

} // namespace

extern "C" __attribute__((visibility("default"))) const PendraSoundModule* pendra_sound_module() {
    return &Module;
}
