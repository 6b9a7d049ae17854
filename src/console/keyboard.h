#pragma once
// The main window's keyboard shortcuts. A key emulates a mouse press on key-down and the matching release on
// key-up, so the buttons that act on release act when the key is let go:
//   keypad 4 / 6   auto-fade left / right while held (the release stops the fade); keypad 5 centres the knob;
//   keypad 8 / 2   master slider one step up / down (held keys repeat); the release saves it;
//   Space          holds the master mute; F12 stops every line;
//   F1..F6         play line 1..6 when it is not playing, else stop it; Shift+F1..F6 open a file on it;
//   1, 2, 3        the AutoPilot buttons Play, Next and Stop: the main keyboard's digit-row keys, whatever the
//                  layout and the Shift state make them type (MainForm::KeyCodeOf).
//
// UI thread only.

#include <QObject>

#include <functional>

namespace marvane {

class AudioEngine;
class ImageButton;
class ImageButtonRule;
class LineControls;
class LineTransport;
class MainForm;

class ConsoleKeyboard : public QObject {
  Q_OBJECT

 public:
  ConsoleKeyboard(MainForm& form, AudioEngine& engine, ImageButtonRule& rule, LineControls& lines,
                  LineTransport& transport, QObject* parent = nullptr);

  void KeyDown(int keyCode, int shift);
  void KeyUp(int keyCode, int shift);

  // The actions of the AutoPilot buttons (keys 1, 2 and 3), set by AutoPilot.
  std::function<void()> aPlay;
  std::function<void()> aNext;
  std::function<void()> aStop;

 private:
  // The F-key's button of line k: Play when the line is not playing, else Stop.
  ImageButton* TransportButton(int line) const;
  std::function<void()> TransportAction(int line) const;

  MainForm& form_;
  AudioEngine& engine_;
  ImageButtonRule& rule_;
  LineControls& lines_;
  LineTransport& transport_;
};

}  // namespace marvane
