#pragma once

#include <QString>

// Plays sound cues. play() hands the file to the media layer and returns at once; the
// sound plays on in the background. Nothing is ever reported: an empty name, a missing or
// unplayable file or a missing sound device simply stays silent.
class SoundPlayer {
public:
    virtual ~SoundPlayer();
    // A relative path is taken relative to the current directory. A cue that comes while
    // an earlier one still plays stops the earlier one and plays instead of it.
    virtual void play(const QString& file) = 0;
};

// For platforms without sound: every cue stays silent.
class SilentSoundPlayer final : public SoundPlayer {
public:
    void play(const QString&) override {}
};
