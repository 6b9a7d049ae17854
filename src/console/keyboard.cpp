#include "console/keyboard.h"

#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "common/states.h"
#include "console/imagebuttonrule.h"
#include "console/linecontrols.h"
#include "console/linetransport.h"
#include "console/mainform.h"

namespace marvane {

namespace {

constexpr int kNoShift = 0;
constexpr int kShift = 1;

enum Key {
  kSpace = 32,
  kDigit1 = 49,
  kDigit2 = 50,
  kDigit3 = 51,
  kPad2 = 98,
  kPad4 = 100,
  kPad5 = 101,
  kPad6 = 102,
  kPad8 = 104,
  kF1 = 112,
  kF6 = 117,
  kF12 = 123,
};

}  // namespace

ConsoleKeyboard::ConsoleKeyboard(MainForm& form, AudioEngine& engine, ImageButtonRule& rule, LineControls& lines,
                                 LineTransport& transport, QObject* parent)
    : QObject(parent), form_(form), engine_(engine), rule_(rule), lines_(lines), transport_(transport) {
  connect(&form_, &MainForm::KeyDown, this, &ConsoleKeyboard::KeyDown);
  connect(&form_, &MainForm::KeyUp, this, &ConsoleKeyboard::KeyUp);
}

ImageButton* ConsoleKeyboard::TransportButton(int line) const {
  return engine_.Player(line).PlayState() != kPlaying ? form_.Line(line).PlayButt : form_.Line(line).StopButt;
}

std::function<void()> ConsoleKeyboard::TransportAction(int line) const {
  LineTransport* transport = &transport_;
  if (engine_.Player(line).PlayState() != kPlaying) return [transport, line] { transport->PlayButt(line); };
  return [transport, line] { transport->StopButt(line); };
}

void ConsoleKeyboard::KeyDown(int keyCode, int shift) {
  MiniCrossfader* fader = form_.MiniCrossfader1();
  MiniSlider* master = form_.Line(MainForm::kMasterIndex).Slider;
  switch (keyCode) {
    case kPad4: fader->AutoFadeLeft(); return;
    case kPad6: fader->AutoFadeRight(); return;
    case kPad5: fader->Reset(); return;
    // Out of range at 100 or 0, SetValue changes nothing.
    case kPad8: master->SetValue(master->Value() + 1); return;
    case kPad2: master->SetValue(master->Value() - 1); return;
    case kSpace: lines_.Mute_MouseDown(MainForm::kMasterIndex, kLeftButton); return;
    case kF12: transport_.StopAllClick(); return;
    case kDigit1: rule_.MouseDown(form_.APlay(), kLeftButton); return;
    case kDigit2: rule_.MouseDown(form_.ANext(), kLeftButton); return;
    case kDigit3: rule_.MouseDown(form_.AStop(), kLeftButton); return;
    default: break;
  }
  if (keyCode >= kF1 && keyCode <= kF6) {
    const int line = keyCode - (kF1 - 1);
    if (shift == kNoShift) rule_.MouseDown(TransportButton(line), kLeftButton);
    if (shift == kShift) rule_.MouseDown(form_.Line(line).OpenW, kLeftButton);
  }
}

void ConsoleKeyboard::KeyUp(int keyCode, int shift) {
  switch (keyCode) {
    case kPad4:
    case kPad6: form_.MiniCrossfader1()->StopIt(); return;
    case kPad8:
    case kPad2: lines_.Slider_MouseUp(MainForm::kMasterIndex); return;
    case kSpace: lines_.Mute_MouseUp(MainForm::kMasterIndex, kLeftButton); return;
    case kDigit1: rule_.MouseUp(form_.APlay(), kLeftButton, aPlay); return;
    case kDigit2: rule_.MouseUp(form_.ANext(), kLeftButton, aNext); return;
    case kDigit3: rule_.MouseUp(form_.AStop(), kLeftButton, aStop); return;
    default: break;
  }
  if (keyCode >= kF1 && keyCode <= kF6) {
    const int line = keyCode - (kF1 - 1);
    if (shift == kNoShift) rule_.MouseUp(TransportButton(line), kLeftButton, TransportAction(line));
    if (shift == kShift)
      rule_.MouseUp(form_.Line(line).OpenW, kLeftButton, [this, line] { transport_.FileOpen(line); });
  }
}

}  // namespace marvane
