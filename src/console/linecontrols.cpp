#include "console/linecontrols.h"

#include "appearance/colorvalue.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "appearance/pan.h"
#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "common/colorscheme.h"
#include "common/states.h"
#include "console/consolestate.h"
#include "console/imagebutton.h"
#include "console/imageswitch.h"
#include "console/mainform.h"
#include "console/mouseevents.h"
#include "console/volumelaw.h"
#include "mixer/masterstrip.h"
#include "settings/settingkeys.h"
#include "settings/settingsstore.h"

#include <QCursor>
#include <QLabel>

namespace marvane {

namespace {
constexpr int kSilence = -10000;
}  // namespace

LineControls::LineControls(MainForm& form, AudioEngine& engine, SettingsStore& settings, ConsoleState& state,
                           const ColorScheme& colors, MasterStrip* master, QObject* parent)
    : QObject(parent), form_(form), engine_(engine), settings_(settings), state_(state), colors_(colors),
      master_(master) {
  for (int n = 0; n < MainForm::kLineCount; ++n) {
    connect(form_.Line(n).FadeLeft->Unlit(), &ImageButton::MouseDown, this,
            [this, n](int button) { FadeLeftW_MouseDown(n, button); });
    connect(form_.Line(n).On->Unlit(), &ImageButton::MouseDown, this,
            [this, n](int button) { OnW_MouseDown(n, button); });
    connect(form_.Line(n).FadeRight->Unlit(), &ImageButton::MouseDown, this,
            [this, n](int button) { FadeRightW_MouseDown(n, button); });
    connect(form_.Line(n).Loop->Unlit(), &ImageButton::MouseDown, this,
            [this, n](int button) { LoopW_MouseDown(n, button); });
    connect(form_.Line(n).Loop->Lit(), &ImageButton::MouseDown, this,
            [this, n](int button) { LoopR_MouseDown(n, button); });
    // A quick second click counts as a second press.
    connect(form_.Line(n).Loop->Unlit(), &ImageButton::DblClick, this, [this, n] { LoopW_MouseDown(n, kLeftButton); });
    connect(form_.Line(n).Loop->Lit(), &ImageButton::DblClick, this, [this, n] { LoopR_MouseDown(n, kLeftButton); });
    connect(form_.Line(n).Pan, &Pan::Scroll, this, [this, n](int value) { Pan_Scroll(n, value); });
  }
  for (int n = 0; n <= MainForm::kMasterIndex; ++n) {
    connect(form_.Line(n).Slider, &MiniSlider::Scroll, this, [this, n](int value) { Slider_Scroll(n, value); });
    connect(form_.Line(n).Slider, &MiniSlider::MouseUp, this, [this, n] { Slider_MouseUp(n); });
    connect(form_.Line(n).Slider, &MiniSlider::RightClick, this, [this] { PopupMenu(); });
    MouseEvents* mute = MouseEvents::Attach(form_.Line(n).Mute);
    connect(mute, &MouseEvents::MouseDown, this, [this, n](int button) { Mute_MouseDown(n, button); });
    connect(mute, &MouseEvents::MouseUp, this, [this, n](int button) { Mute_MouseUp(n, button); });
    connect(mute, &MouseEvents::DblClick, this, [this, n] { Mute_DblClick(n); });
  }
  connect(form_.MiniCrossfader1(), &MiniCrossfader::Scroll, this, &LineControls::CrossfaderScroll);
}

bool LineControls::Muted(int n) const {
  Q_ASSERT(n >= 0 && n <= MainForm::kMasterIndex);
  if (n == MainForm::kMasterIndex) return master_ && master_->Muted();
  return muted_[n];
}

void LineControls::ApplyLineVolume(int n) {
  // The master strip keeps its own mute and applies the sound card's master volume.
  if (n == MainForm::kMasterIndex) {
    if (master_) master_->Scroll(form_.Line(n).Slider->Value());
    return;
  }
  Q_ASSERT(n >= 0 && n < MainForm::kLineCount);
  if (muted_[n]) return;
  const int slider = form_.Line(n).Slider->Value();
  int level = 100;
  if (fadeMode_[n] == kFadeLeft) level = form_.MiniCrossfader1()->LeftLevel();
  if (fadeMode_[n] == kFadeRight) level = form_.MiniCrossfader1()->RightLevel();
  const int volume = LineVolume(slider, level);
  const int balance = form_.Line(n).Pan->Value();
  // Both AutoPilot players always share line 0's volume and balance.
  if (n == 0) {
    engine_.AP(0).SetVolumeAndBalance(volume, balance);
    engine_.AP(1).SetVolumeAndBalance(volume, balance);
  } else {
    engine_.Player(n).SetVolumeAndBalance(volume, balance);
  }
}

void LineControls::PopupMenu() { form_.PopupRCMenu(QCursor::pos()); }

void LineControls::ShowFadeMode(int n, FadeModeCode mode) {
  Q_ASSERT(n >= 0 && n < MainForm::kLineCount);
  fadeMode_[n] = mode;
  form_.ShowFadeMode(n, mode);
}

void LineControls::SetFadeMode(int n, FadeModeCode mode, int button) {
  if (button == kRightButton) {
    PopupMenu();
    return;
  }
  if (button != kLeftButton) return;
  ShowFadeMode(n, mode);
  settings_.WriteSetting(keys::FadeMode(n), static_cast<int>(mode));
  ApplyLineVolume(n);
}

void LineControls::RestoreFadeMode(int n, FadeModeCode mode) {
  ShowFadeMode(n, mode);
  ApplyLineVolume(n);
}

void LineControls::FadeLeftW_MouseDown(int n, int button) { SetFadeMode(n, kFadeLeft, button); }
void LineControls::OnW_MouseDown(int n, int button) { SetFadeMode(n, kAlwaysOn, button); }
void LineControls::FadeRightW_MouseDown(int n, int button) { SetFadeMode(n, kFadeRight, button); }

void LineControls::SetLoop(int n, bool on, bool save) {
  Q_ASSERT(n >= 0 && n < MainForm::kLineCount);
  form_.ShowLoop(n, on);
  if (n == 0) {
    state_.AutoPilotLoop = on;
  } else {
    loop_[n] = on;
    engine_.Player(n).SetPlayCount(on ? kLoopPlayCount : 1);
  }
  if (save) settings_.WriteSetting(keys::Loop(n), on);
}

void LineControls::LoopW_MouseDown(int n, int button) {
  if (button == kLeftButton) SetLoop(n, true, true);
}

void LineControls::LoopR_MouseDown(int n, int button) {
  if (button == kLeftButton) SetLoop(n, false, true);
}

void LineControls::RestoreLoop(int n, bool on) {
  // Line 0's loop switch is restored with AutoPilot's own settings, the players' counts untouched.
  if (n == 0) {
    form_.ShowLoop(0, on);
    state_.AutoPilotLoop = on;
    return;
  }
  SetLoop(n, on, false);
}

void LineControls::ShowMuteColour(int n) {
  QLabel* label = form_.Line(n).Mute;
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText, ColorFromValue(Muted(n) ? colors_.HiliteColor : colors_.TextColor));
  label->setPalette(p);
}

void LineControls::Mute_MouseDown(int n, int) {
  if (n == MainForm::kMasterIndex) {
    if (master_) master_->MuteDown();
    ShowMuteColour(n);
    return;
  }
  Q_ASSERT(n >= 0 && n < MainForm::kLineCount);
  muted_[n] = true;
  ShowMuteColour(n);
  if (n == 0) {
    engine_.AP(0).SetVolume(kSilence);
    engine_.AP(1).SetVolume(kSilence);
  } else {
    engine_.Player(n).SetVolume(kSilence);
  }
}

void LineControls::Mute_MouseUp(int n, int button) {
  if (n == MainForm::kMasterIndex) {
    if (master_) master_->MuteUp(button);
    ShowMuteColour(n);
    return;
  }
  if (button != kLeftButton) return;
  Q_ASSERT(n >= 0 && n < MainForm::kLineCount);
  muted_[n] = false;
  ShowMuteColour(n);
  ApplyLineVolume(n);
}

void LineControls::Mute_DblClick(int n) { Mute_MouseDown(n, kLeftButton); }

void LineControls::Slider_Scroll(int n, int value) {
  if (n == MainForm::kMasterIndex) {
    if (master_) master_->Scroll(value);
    return;
  }
  ApplyLineVolume(n);
}

void LineControls::Slider_MouseUp(int n) { settings_.WriteSetting(keys::Slider(n), form_.Line(n).Slider->Value()); }

void LineControls::Pan_Scroll(int n, int balance) {
  if (n == 0) {
    engine_.AP(0).SetBalance(balance);
    engine_.AP(1).SetBalance(balance);
  } else {
    engine_.Player(n).SetBalance(balance);
  }
}

void LineControls::CrossfaderScroll() {
  for (int n = 0; n < MainForm::kLineCount; ++n) ApplyLineVolume(n);
}

}  // namespace marvane
