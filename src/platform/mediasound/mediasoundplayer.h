#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QMediaPlayer;

// Sound cues through Qt Multimedia (the GStreamer back end, which decodes wave, MIDI with
// the installed General MIDI sound font, and Windows Media audio). Each cue gets a fresh
// player so that a failed or finished one leaves nothing behind for the next. Lives in the
// media module, behind soundmodule.h.
class MediaSoundPlayer final {
public:
    MediaSoundPlayer();
    ~MediaSoundPlayer();
    MediaSoundPlayer(const MediaSoundPlayer&) = delete;
    MediaSoundPlayer& operator=(const MediaSoundPlayer&) = delete;

    // A cue that comes while an earlier one still plays stops the earlier one; an empty
    // name or a missing file leaves it playing.
    void play(const QString& file);

private:
    void stopCurrent();

    QObject m_owner; // parent of the live player and its audio output
    QPointer<QMediaPlayer> m_current;
};
