#include "soundplayer.h"

SoundPlayer::~SoundPlayer() = default;
