#pragma once
// Recording the mix from the right-click menu: "Record Mix..." asks for a WAV or FLAC file (the save dialog)
// and records the engine's mix into it (MixRecorder); "Stop Recording" finishes the file. While recording, the
// main window's title says so with the running time ("MVN v.1.40 - DJ Console - Recording 12:34"). A file that
// cannot be made, or a write that fails (a full disk), ends the recording with a message; what was written
// stays playable. Quitting finishes the file (Stop, or the destructor).
//
// UI thread only. The engine must outlive it.

#include <QObject>
#include <QString>

#include <memory>

namespace marvane {

class AudioEngine;
class ClockTimer;
class Dialogs;
class MainForm;
class MixRecorder;

class MixRecording : public QObject {
  Q_OBJECT

 public:
  static const QString kTitle;

  MixRecording(MainForm& form, AudioEngine& engine, Dialogs& dialogs, QObject* parent = nullptr);
  ~MixRecording() override;

  // "Record Mix...": asks for the file and starts. Nothing when the dialog is cancelled or a recording runs.
  void RecordMix();
  // Starts recording into `path`; false (after telling the user) when the file cannot be made.
  bool Start(const QString& path);
  // "Stop Recording": finishes the file. Nothing when not recording.
  void Stop();

  bool Recording() const;
  MixRecorder& Recorder() { return *recorder_; }

  // The running time as the title shows it: "0:05", "12:34", "1:02:03".
  static QString RunningTime(double seconds);

 private:
  void Refresh();
  void ShowState();

  MainForm& form_;
  AudioEngine& engine_;
  Dialogs& dialogs_;
  std::unique_ptr<MixRecorder> recorder_;
  ClockTimer* refresh_ = nullptr;
  QString folder_;
};

}  // namespace marvane
