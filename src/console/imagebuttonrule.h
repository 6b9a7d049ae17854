#pragma once
// The image-button rule of the console: a 16-pixel picture acts when the left button is released over it after
// being pressed on it. The press shows a thin border and arms the button; moving out of the 240-twip square
// (both edges included) with the left button held disarms it and removes the border, moving back in arms it
// again; the release removes the border and acts when the button is still armed. A double click counts as a
// further press, so the second click of a double click acts on its release too. One flag, ButtonDown, serves
// every image button of the window, as only one can be held at a time.
//
// The keyboard shortcuts press and release the same buttons through Press and Release.
//
// UI thread only.

#include <QObject>

#include <functional>

namespace marvane {

class ImageButton;

class ImageButtonRule : public QObject {
  Q_OBJECT

 public:
  static constexpr double kSquareTwips = 240;

  using QObject::QObject;

  // Connects a button's mouse events to the rule; action runs on an armed release.
  void Attach(ImageButton* button, std::function<void()> action);

  // The rule's steps, also used by the keyboard (button 1 = left).
  void MouseDown(ImageButton* button, int mouseButton);
  void MouseMove(ImageButton* button, int buttons, double x, double y);
  // Returns true when the action ran.
  bool MouseUp(ImageButton* button, int mouseButton, const std::function<void()>& action);

  int ButtonDown() const { return buttonDown_; }

 private:
  int buttonDown_ = 0;
};

}  // namespace marvane
