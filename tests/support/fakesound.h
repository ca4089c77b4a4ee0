#pragma once
// A sound output that records what the program asks of the speakers, installed as the
// process-wide SoundPlayer's output for as long as it lives.

#include <QString>
#include <QStringList>

#include "sleep/soundplayer.h"

class FakeSoundOutput : public SoundOutput {
 public:
  FakeSoundOutput() {
    previous_ = SoundPlayer::Instance().Output();
    SoundPlayer::Instance().Stop();
    SoundPlayer::Instance().SetOutput(this);
  }
  ~FakeSoundOutput() override {
    SoundPlayer::Instance().Stop();
    SoundPlayer::Instance().SetOutput(previous_);
  }

  void Loop(const QString& path) override {
    looped << path;
    playing = path;
  }
  void Stop() override {
    ++stops;
    playing.clear();
  }
  bool CanPlay() const override { return canPlay; }

  // Every file started, in order; the file looping now (empty when silent).
  QStringList looped;
  QString playing;
  int stops = 0;
  // False stands for a machine without an audio device.
  bool canPlay = true;

 private:
  SoundOutput* previous_ = nullptr;
};
