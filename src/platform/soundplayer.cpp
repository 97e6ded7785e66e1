#include "soundplayer.h"

#include <QFileInfo>

SoundPlayer::~SoundPlayer() = default;

void DeferredSoundPlayer::play(const QString& file) {
    if (file.trimmed().isEmpty() || !QFileInfo(file).isFile()) return;
    prepare();
    m_player->play(file);
}

void DeferredSoundPlayer::prepare() {
    if (!m_player) m_player = m_make();
}
