#pragma once
// What the main window does with its crossfader: the "Auto Fade" labels start an auto-fade, a right click opens
// the menu, and the end of an auto-fade (Maxed) stops the lines that faded out and snaps the knob back to the
// middle, as the ASOF and AutoReset switches say. Line volumes follow the knob through LineControls.
//
// UI thread only.

#include <QObject>

#include <functional>

namespace marvane {

class AudioEngine;
class LineControls;
class MainForm;
struct ConsoleState;

class CrossfaderReactions : public QObject {
  Q_OBJECT

 public:
  CrossfaderReactions(MainForm& form, AudioEngine& engine, ConsoleState& state, LineControls& lines,
                      QObject* parent = nullptr);

  // An auto-fade reached the left end (toLeft true) or the right end.
  void Maxed(bool toLeft);

  // AutoPilot's stop-now, run when line 0 faded out.
  std::function<void()> stopAutoPilotNow;

 private:
  MainForm& form_;
  AudioEngine& engine_;
  ConsoleState& state_;
  LineControls& lines_;
};

}  // namespace marvane
