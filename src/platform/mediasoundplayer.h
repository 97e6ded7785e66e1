#pragma once

#include "soundplayer.h"

#include <QObject>
#include <QPointer>

class QMediaPlayer;

// Sound cues through Qt Multimedia (the GStreamer back end, which decodes wave, MIDI with
// the installed General MIDI sound font, and Windows Media audio). Each cue gets a fresh
// player so that a failed or finished one leaves nothing behind for the next.
class MediaSoundPlayer final : public SoundPlayer {
public:
    MediaSoundPlayer();
    ~MediaSoundPlayer() override;
    void play(const QString& file) override;

private:
    void stopCurrent();

    QObject m_owner; // parent of the live player and its audio output
    QPointer<QMediaPlayer> m_current;
};
