#pragma once
// The console's behaviour on the main window: the image-button rule, the line controls and volume law, the
// transport of the manual lines, the crossfader's reactions and the keyboard. Created once the main window and
// the audio engine exist; each part is reachable for start-up and for the parts built on top (AutoPilot).
//
// UI thread only.

#include <QObject>

#include <memory>

namespace marvane {

class AudioEngine;
class ConsoleKeyboard;
class CrossfaderReactions;
class Dialogs;
class ImageButtonRule;
class LineControls;
class LineTransport;
class MainForm;
class MasterStrip;
class SettingsStore;
struct ColorScheme;
struct ConsoleState;

class Console : public QObject {
  Q_OBJECT

 public:
  // master may be null (no sound-card mixer): the master strip then does nothing.
  Console(MainForm& form, AudioEngine& engine, SettingsStore& settings, ConsoleState& state,
          const ColorScheme& colors, Dialogs& dialogs, MasterStrip* master, QObject* parent = nullptr);
  ~Console() override;

  ImageButtonRule& Rule() { return *rule_; }
  LineControls& Lines() { return *lines_; }
  LineTransport& Transport() { return *transport_; }
  CrossfaderReactions& Crossfader() { return *crossfader_; }
  ConsoleKeyboard& Keyboard() { return *keyboard_; }

 private:
  std::unique_ptr<ImageButtonRule> rule_;
  std::unique_ptr<LineControls> lines_;
  std::unique_ptr<LineTransport> transport_;
  std::unique_ptr<CrossfaderReactions> crossfader_;
  std::unique_ptr<ConsoleKeyboard> keyboard_;
};

}  // namespace marvane
