#pragma once

// The boundary between the program and the media module (pendra_mediasound.so), which is
// loaded at the first cue that needs it so that a start without sounds maps neither Qt
// Multimedia nor GStreamer. Plain C, so that nothing but this struct has to agree on
// both sides.

#include <cstddef>

extern "C" {

struct PendraSoundModule {
    // SoundModuleVersion of the module's build; a module of another version is not used.
    int version;
    // Makes a player, its media back end ready to play; null when it cannot.
    void* (*create)();
    // Starts playing the file (UTF-16, length code units) and returns at once; a file that
    // cannot be played stays silent.
    void (*play)(void* player, const char16_t* file, std::size_t length);
    void (*destroy)(void* player);
};

// The one symbol the module exports.
const PendraSoundModule* pendra_sound_module();
}

constexpr int SoundModuleVersion = 1;
constexpr const char* SoundModuleSymbol = "pendra_sound_module";
constexpr const char* SoundModuleFileName = "pendra_mediasound.so";
