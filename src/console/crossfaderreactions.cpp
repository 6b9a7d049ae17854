#include "console/crossfaderreactions.h"

#include "appearance/minicrossfader.h"
#include "appearance/twips.h"
#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "common/states.h"
#include "console/consolestate.h"
#include "console/linecontrols.h"
#include "console/mainform.h"
#include "console/mouseevents.h"

#include <QCursor>
#include <QLabel>

namespace marvane {

namespace {

// A plain label's click: the left button released over the label it was pressed on.
void OnClick(QLabel* label, QObject* context, std::function<void()> action) {
  MouseEvents* events = MouseEvents::Attach(label);
  QObject::connect(events, &MouseEvents::MouseUp, context, [label, action](int button, int, double x, double y) {
    const bool inside = x >= 0 && y >= 0 && x < PixelsToTwips(label->width()) && y < PixelsToTwips(label->height());
    if (button == kLeftButton && inside) action();
  });
}

}  // namespace

CrossfaderReactions::CrossfaderReactions(MainForm& form, AudioEngine& engine, ConsoleState& state,
                                         LineControls& lines, QObject* parent)
    : QObject(parent), form_(form), engine_(engine), state_(state), lines_(lines) {
  MiniCrossfader* fader = form_.MiniCrossfader1();
  connect(fader, &MiniCrossfader::Maxed, this, [this](bool& toLeft) { Maxed(toLeft); }, Qt::DirectConnection);
  connect(fader, &MiniCrossfader::RightClick, this, [this] { form_.PopupRCMenu(QCursor::pos()); });
  OnClick(form_.LeftFade(), this, [fader] { fader->AutoFadeLeft(); });
  OnClick(form_.FadeRight(), this, [fader] { fader->AutoFadeRight(); });
}

void CrossfaderReactions::Maxed(bool toLeft) {
  if (!state_.ASOF) return;
  // Fading to the left silences the right side, and the other way round.
  const int fadedOut = toLeft ? kFadeRight : kFadeLeft;
  for (int n = 1; n < MainForm::kLineCount; ++n) {
    if (lines_.FadeMode(n) != fadedOut) continue;
    MediaPlayer& player = engine_.Player(n);
    player.Stop();
    player.SetCurrentPosition(0);
  }
  if (lines_.FadeMode(0) == fadedOut && stopAutoPilotNow) stopAutoPilotNow();
  if (state_.AutoReset) form_.MiniCrossfader1()->Reset();
}

}  // namespace marvane
