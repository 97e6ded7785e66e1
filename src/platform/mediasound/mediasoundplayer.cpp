#include "mediasoundplayer.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

MediaSoundPlayer::MediaSoundPlayer() {
    // Bring the media back end and its player elements up now, when the player is made:
    // the first player of a process loads GStreamer's plugins, which would otherwise delay
    // the first cue.
    QMediaDevices::defaultAudioOutput();
    QMediaPlayer warmUp;
}

MediaSoundPlayer::~MediaSoundPlayer() {
    stopCurrent();
}

void MediaSoundPlayer::stopCurrent() {
    // Deleting the player tears its pipeline down, which also silences it.
    delete m_current.data();
}

void MediaSoundPlayer::play(const QString& file) {
    if (file.trimmed().isEmpty()) return;
    const QFileInfo info(file);
    // A missing file is the common case (a cue set up on another machine); checking it
    // here keeps the earlier cue playing instead of cutting it off for nothing.
    if (!info.isFile() || !info.isReadable()) return;

    stopCurrent();
    auto* player = new QMediaPlayer(&m_owner);
    auto* output = new QAudioOutput(player);
    player->setAudioOutput(output);
    m_current = player;

    // Release the player once it is done or has given up. It must not be deleted from
    // inside its own signal, hence deleteLater.
    QObject::connect(player, &QMediaPlayer::mediaStatusChanged, player,
                     [player](QMediaPlayer::MediaStatus status) {
                         if (status == QMediaPlayer::EndOfMedia ||
                             status == QMediaPlayer::InvalidMedia)
                             player->deleteLater();
                     });
    QObject::connect(player, &QMediaPlayer::errorOccurred, player,
                     [player](QMediaPlayer::Error, const QString&) { player->deleteLater(); });

    player->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    player->play();
}
