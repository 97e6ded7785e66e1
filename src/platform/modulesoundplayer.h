#pragma once

#include "soundplayer.h"

#include <QStringList>
#include <memory>

// The sound player of the media module (soundmodule.h), loaded now if it is not yet. Looks
// in the executable's directory first, then in lib/pendra/ beside the executable's bin/
// (where an install or a package puts it), then in the configured install directory.
// Null when no usable module is found: the caller then stays silent.
std::unique_ptr<SoundPlayer> LoadMediaSoundPlayer();

// Where LoadMediaSoundPlayer() looks, in that order.
QStringList SoundModuleCandidates();
