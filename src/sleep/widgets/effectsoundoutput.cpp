#include "sleep/widgets/effectsoundoutput.h"

#include <QCoreApplication>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

EffectSoundOutput::EffectSoundOutput(QObject* parent) : QObject(parent) {}

EffectSoundOutput::~EffectSoundOutput() {
  Stop();
  if (SoundPlayer::Instance().Output() == this) SoundPlayer::Instance().SetOutput(nullptr);
}

void EffectSoundOutput::Loop(const QString& path) {
  Stop();
  // A fresh effect per sound: the source loads asynchronously and play() waits for it,
  // so the call never blocks the window.
  auto* effect = new QSoundEffect(this);
  effect->setSource(QUrl::fromLocalFile(path));
  effect->setLoopCount(QSoundEffect::Infinite);
  effect->play();
  effect_ = effect;
}

void EffectSoundOutput::Stop() {
  if (!effect_) return;
  effect_->stop();
  effect_->deleteLater();
  effect_ = nullptr;
}

bool EffectSoundOutput::CanPlay() const { return !QMediaDevices::audioOutputs().isEmpty(); }

void EnsureSoundOutput() {
  SoundPlayer& player = SoundPlayer::Instance();
  if (player.Output() || !QCoreApplication::instance()) return;
  player.SetOutput(new EffectSoundOutput(QCoreApplication::instance()));
}
