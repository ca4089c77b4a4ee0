#include "sleep/soundplayer.h"

#include <QFileInfo>

SoundPlayer& SoundPlayer::Instance() {
  static SoundPlayer player;
  return player;
}

void SoundPlayer::Silence() {
  if (output_) output_->Stop();
  current_ = 0;
  file_.clear();
}

quint64 SoundPlayer::Play(const QString& path) {
  Silence();
  if (path.isEmpty() || !QFileInfo(path).isFile()) return 0;
  current_ = ++lastId_;
  file_ = path;
  if (output_) output_->Loop(path);
  return current_;
}

void SoundPlayer::Stop() {
  Silence();
  ++stops_;
}

bool SoundPlayer::StopIfPlaying(quint64 id) {
  if (id == 0 || id != current_) return false;
  Silence();
  return true;
}
