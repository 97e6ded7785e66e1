#pragma once

#include <QString>
#include <functional>
#include <memory>

// Plays sound cues. play() hands the file to the media layer and returns at once; the
// sound plays on in the background. Nothing is ever reported: an empty name, a missing or
// unplayable file or a missing sound device simply stays silent.
class SoundPlayer {
public:
    virtual ~SoundPlayer();
    // A relative path is taken relative to the current directory. A cue that comes while
    // an earlier one still plays stops the earlier one and plays instead of it.
    virtual void play(const QString& file) = 0;
    // Gets ready to play without delay, for a run that is about to use its cues.
    virtual void prepare() {}
};

// For platforms without sound: every cue stays silent.
class SilentSoundPlayer final : public SoundPlayer {
public:
    void play(const QString&) override {}
};

// Makes the real player only when a cue has a file to play, or on prepare(): the media
// back end costs start-up time and memory that a timer without sounds never needs.
class DeferredSoundPlayer final : public SoundPlayer {
public:
    using Factory = std::function<std::unique_ptr<SoundPlayer>()>;
    explicit DeferredSoundPlayer(Factory make) : m_make(std::move(make)) {}
    void play(const QString& file) override;
    void prepare() override;
    bool isPrepared() const { return m_player != nullptr; }

private:
    Factory m_make;
    std::unique_ptr<SoundPlayer> m_player;
};
