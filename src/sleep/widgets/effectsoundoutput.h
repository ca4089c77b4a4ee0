#pragma once
// The program's speakers: Qt Multimedia's QSoundEffect looping a wave file. One output
// serves the whole program (the SoundPlayer's).

#include <QObject>
#include <QPointer>

#include "sleep/soundplayer.h"

class QSoundEffect;

class EffectSoundOutput : public QObject, public SoundOutput {
  Q_OBJECT

 public:
  explicit EffectSoundOutput(QObject* parent = nullptr);
  ~EffectSoundOutput() override;

  void Loop(const QString& path) override;
  void Stop() override;
  // Qt Multimedia lists no audio output: nothing can be heard.
  bool CanPlay() const override;

 private:
  QPointer<QSoundEffect> effect_;
};

// Gives the process-wide SoundPlayer a QSoundEffect output when it has none yet (tests
// install their own first). The output lives as long as the application object.
void EnsureSoundOutput();
