#pragma once
// The controls of each line and the master strip: volume slider, pan knob, mute, loop switch and the three-way
// fade mode (left side of the crossfader, Always On, right side). Index 0 is the AutoPilot line (both of its
// players always share one volume and one balance), 1 to 6 the manual lines, 7 the master strip (slider and mute
// only), which drives the sound card's master volume and never follows the crossfader.
//
// The state the controls show lives here (fade mode, loop, mute) and in the widgets' values (slider, pan);
// ApplyLineVolume reads it and sends the volume law's result to the players. A muted line keeps its silence until
// it is unmuted: the left button mutes while it is held, a right click leaves the line muted until the next
// left click.
//
// UI thread only.

#include "common/states.h"
#include "console/consolestate.h"

#include <QObject>

#include <array>

namespace marvane {

class AudioEngine;
class MainForm;
class MasterStrip;
class SettingsStore;
struct ColorScheme;


class LineControls : public QObject {
  Q_OBJECT

 public:
  static constexpr int kLoopPlayCount = 999999;

  // master may be null: then index 7 does nothing.
  LineControls(MainForm& form, AudioEngine& engine, SettingsStore& settings, ConsoleState& state,
               const ColorScheme& colors, MasterStrip* master, QObject* parent = nullptr);

  // Recomputes and sends line n's volume and balance (n 0..6), or the master volume (n 7).
  void ApplyLineVolume(int n);

  // Fade-mode presses (button 1 sets the mode, saves it and applies the volume; button 2 opens the menu).
  void FadeLeftW_MouseDown(int n, int button);
  void OnW_MouseDown(int n, int button);
  void FadeRightW_MouseDown(int n, int button);
  FadeModeCode FadeMode(int n) const {
    Q_ASSERT(n >= 0 && n < static_cast<int>(fadeMode_.size()));
    return fadeMode_[n];
  }
  // Start-up's restore of Fade Mode n: line n shows the mode and its volume follows, without saving.
  void RestoreFadeMode(int n, FadeModeCode mode);

  // Loop switch: LoopW pressed turns looping on, LoopR pressed turns it off (button 1 only).
  void LoopW_MouseDown(int n, int button);
  void LoopR_MouseDown(int n, int button);
  bool Looping(int n) const {
    Q_ASSERT(n >= 0 && n < static_cast<int>(loop_.size()));
    return n == 0 ? state_.AutoPilotLoop : loop_[n];
  }
  // Start-up's restore of Loop n: the same pictures and play count as a press, without saving.
  void RestoreLoop(int n, bool on);

  // Mute: any button mutes; only the left button's release unmutes.
  void Mute_MouseDown(int n, int button);
  void Mute_MouseUp(int n, int button);
  void Mute_DblClick(int n);
  bool Muted(int n) const;

  // Slider and pan events.
  void Slider_Scroll(int n, int value);
  void Slider_MouseUp(int n);
  void Pan_Scroll(int n, int value);

  // The crossfader moved: every line's volume again (the master is not touched).
  void CrossfaderScroll();

 private:
  void SetFadeMode(int n, FadeModeCode mode, int button);
  void ShowFadeMode(int n, FadeModeCode mode);
  void SetLoop(int n, bool on, bool save);
  void ShowMuteColour(int n);
  void PopupMenu();

  MainForm& form_;
  AudioEngine& engine_;
  SettingsStore& settings_;
  ConsoleState& state_;
  const ColorScheme& colors_;
  MasterStrip* master_;
  std::array<FadeModeCode, 7> fadeMode_{kAlwaysOn, kAlwaysOn, kAlwaysOn, kAlwaysOn, kAlwaysOn, kAlwaysOn, kAlwaysOn};
  std::array<bool, 7> loop_{};  // lines 1 to 6; line 0's is AutoPilot's (ConsoleState::AutoPilotLoop)
  std::array<bool, 8> muted_{};
};

}  // namespace marvane
