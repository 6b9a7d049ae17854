#pragma once
// The sound card's master and microphone volume. Start-up opens the mixer once (InitMixer) and looks up the
// two volume controls; afterwards the master strip of the console and the microphone window write levels
// through SetMixerVolume. Levels are only written, never read back. The controls are looked up again only when
// the sound device comes back after it was lost (ReopenMixer). The mixer stays open as long as this object.
//
// A slider level (0 to 100) becomes a mixer level by MasterSpan / 100 x slider + MasterBase in double
// precision, rounded half to even. The microphone uses the master's span and base too, so with no master
// control every microphone level is 0.
//
// Thread contract: UI thread only.

#include "common/dialogs.h"
#include "mixer/mixerbackend.h"

#include <functional>
#include <optional>

namespace marvane {

class Mixer {
 public:
  // Texts of the start-up report when the master volume cannot be controlled.
  static const QString kMixerErrorTitle;
  static const QString kMixerErrorText;
  // Title of the debug-mode report of an unexpected failure inside InitMixer.
  static const QString kDebugErrorTitle;

  Mixer(MixerBackend& backend, Dialogs& dialogs);
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  // In debug mode an unexpected failure inside InitMixer is shown in a critical message box first.
  void SetDebugMode(bool debugMode) { debugMode_ = debugMode; }

  // Start-up hides its progress window while a message box from InitMixer is up; these are called around it.
  void SetProgressWindowHooks(std::function<void()> hide, std::function<void()> show);

  // Opens the mixer and finds the two volume controls. Runs once, at start-up. When the master volume
  // cannot be controlled it reports "Mixer Error" and the console works on without it; a missing microphone
  // control only clears MicOK. An unexpected failure (bounds whose span overflows 32 bits) leaves at once
  // with the state as far as it was set and no "Mixer Error".
  void InitMixer();

  // After the sound device came back (a restarted sound server forgets the old mixer's connection): opens the
  // mixer afresh and finds the two controls again, quietly, then writes the levels last written once more, as
  // the device may have come back at levels of its own. When the mixer does not open, nothing changes.
  void ReopenMixer();

  // Looks up the control of the given type on the given line of an open mixer; true when control was filled.
  bool GetMixerControl(quint32 handle, MixerLineType componentType, MixerControlType controlType,
                       MixerControl& control);

  // Writes a level to a control (only its ControlID is used). The result code stays in MixerResult; true when
  // the mixer accepted the level. Callers ignore the answer, as a failed write is not reported.
  bool SetMixerVolume(quint32 handle, const MixerControl& control, qint32 level);

  // The mixer level of a slider level, or nothing when it does not fit 32 bits (that change is dropped).
  std::optional<qint32> MixerLevel(int sliderLevel) const;

  // The master strip's rule (index 7 of the volume law): with MasterOK, writes the mapped slider level to the
  // master control; without, does nothing. Whether the master mute is held is the caller's test.
  void ApplyMasterVolume(int sliderValue);
  // The master mute's press: with MasterOK, writes level 0 to the master control.
  void MuteMasterVolume();
  // The microphone slider's rule: with MicOK, writes the mapped slider level to the microphone control.
  void ApplyMicVolume(int sliderValue);

  quint32 MixerHandle() const { return mixerHandle_; }
  const MixerControl& MasterControl() const { return masterControl_; }
  const MixerControl& MicControl() const { return micControl_; }
  bool MasterOK() const { return masterOK_; }
  bool MicOK() const { return micOK_; }
  qint32 MasterSpan() const { return masterSpan_; }
  qint32 MasterBase() const { return masterBase_; }
  int MixerResult() const { return mixerResult_; }

 private:
  // The steps of InitMixer; the description of the failure that ended them early, if one did.
  std::optional<QString> RunInitMixer();
  void ShowWithProgressHidden(const QString& text, MessageIcon icon, const QString& title);

  MixerBackend& backend_;
  Dialogs& dialogs_;
  bool debugMode_ = false;
  std::function<void()> hideProgress_;
  std::function<void()> showProgress_;

  quint32 mixerHandle_ = 0;
  MixerControl masterControl_;
  MixerControl micControl_;
  bool masterOK_ = false;
  bool micOK_ = false;
  qint32 masterSpan_ = 0;
  qint32 masterBase_ = 0;
  int mixerResult_ = 0;
  // The levels last written to each control, written again by ReopenMixer.
  std::optional<qint32> lastMasterLevel_;
  std::optional<qint32> lastMicLevel_;
};

}  // namespace marvane
