#pragma once
// The program's one sound: a wave file looping until stopped. Starting a sound ends the
// one before, and a stop from anywhere ends whatever plays, so the sleep view and the
// kids view share it. The rules live here; the output that reaches the speakers is
// behind SoundOutput (Qt Multimedia in the program, a recorder in tests).

#include <QString>
#include <QtGlobal>

class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // Plays the wave file from its start and again each time it ends, until Stop; ends
  // whatever played before.
  virtual void Loop(const QString& path) = 0;
  virtual void Stop() = 0;
  // Whether a sound can reach her at all (false: no audio device).
  virtual bool CanPlay() const { return true; }
};

class SoundPlayer {
 public:
  // The process-wide player.
  static SoundPlayer& Instance();

  // The output sounds go to; nullptr plays nothing (the rules still hold).
  void SetOutput(SoundOutput* output) { output_ = output; }
  SoundOutput* Output() const { return output_; }

  // Stops what plays, then loops the file when it exists. Returns the id of the new
  // sound, 0 when nothing plays (an empty path or a missing file is silent).
  quint64 Play(const QString& path);
  // Stops any sound at once: the user's Stop, the tray's "Stop Alarm".
  void Stop();
  // Stops the sound only while it is the one that Play returned id for: an alarm's
  // automatic stop never ends a sound started after it.
  bool StopIfPlaying(quint64 id);

  bool IsPlaying() const { return current_ != 0; }
  // Whether what plays can be heard: an output that has a device.
  bool CanBeHeard() const { return output_ && output_->CanPlay(); }
  quint64 CurrentId() const { return current_; }
  QString CurrentFile() const { return file_; }
  // How many times Stop ran; a snooze that sees this change knows the user stopped.
  quint64 StopCount() const { return stops_; }

 private:
  void Silence();

  SoundOutput* output_ = nullptr;
  quint64 current_ = 0;
  quint64 lastId_ = 0;
  quint64 stops_ = 0;
  QString file_;
};
