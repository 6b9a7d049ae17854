#pragma once
// The console as the program builds it, for tests: the real main window (offscreen), the real engine on an
// offline output, a settings file in a temporary folder, scripted dialogs and a scripted sound card.

#include "appearance/butt.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "audiotestutil.h"
#include "common/colorscheme.h"
#include "console/console.h"
#include "console/consolestate.h"
#include "console/imagebutton.h"
#include "console/imageswitch.h"
#include "console/linecontrols.h"
#include "console/mainform.h"
#include "mixer/masterstrip.h"
#include "mixer/mixer.h"
#include "mixer/scriptedmixerbackend.h"
#include "settings/settingkeys.h"
#include "support/fixture.h"
#include "support/scripteddialogs.h"

#include <QLabel>
#include <QMenu>
#include <QTest>

namespace marvane::test {

class ConsoleTest : public FolderTest {
 protected:
  ConsoleTest() {
    card_.speakers = ScriptedMixerBackend::Control(1, 0, 65535);
    mixer_.InitMixer();
    state_.SoundPath = dir_.path();
    form_.show();
  }

  // Runs an auto-fade of the crossfader to its left or right end.
  void FadeToEnd(bool left) {
    MiniCrossfader* fader = form_.MiniCrossfader1();
    left ? fader->AutoFadeLeft() : fader->AutoFadeRight();
    for (int tick = 0; tick < 300 && (fader->IsFadingLeft() || fader->IsFadingRight()); ++tick)
      left ? fader->TickLeft() : fader->TickRight();
  }

  ConsoleState state_;
  ColorScheme colors_;
  ScriptedDialogs dialogs_;
  ScriptedMixerBackend card_;
  Mixer mixer_{card_, dialogs_};
  MasterStrip master_{mixer_};
  OfflineEngine audio_;
  AudioEngine& engine_ = *audio_.engine;
  MainForm form_;
  Console console_{form_, engine_, settings_, state_, colors_, dialogs_, &master_};
};

}  // namespace marvane::test
