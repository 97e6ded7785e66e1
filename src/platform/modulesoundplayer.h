#pragma once

#include "soundplayer.h"

#include <QStringList>
#include <memory>

// The sound player of the media module (soundmodule.h), loaded now if it is not yet. Looks
// in the executable's directory first, then in the directory the program was installed to.
// Null when no usable module is found: the caller then stays silent.
std::unique_ptr<SoundPlayer> LoadMediaSoundPlayer();

// Where LoadMediaSoundPlayer() looks, in that order.
QStringList SoundModuleCandidates();
