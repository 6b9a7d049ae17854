#pragma once
// A small picture on the main window that reports its raw mouse events in twips, as the console's image
// controls do (open, play and stop buttons, loop switch, fade-mode switch, AutoPilot buttons). It can show a
// thin border (the pressed look of an image button). What a press or release does is decided by the window
// that owns the control. For assistive technology it is a push button whose press action is a left click.
//
// UI thread only.

#include "common/states.h"

#include <QPixmap>
#include <QWidget>

namespace marvane {

class ImageButton : public QWidget {
  Q_OBJECT

 public:
  explicit ImageButton(QWidget* parent = nullptr);

  void SetPicture(const QPixmap& picture);
  const QPixmap& Picture() const { return picture_; }

  // Border style 1 (a thin border) or 0 (none).
  void SetBorder(bool on);
  bool HasBorder() const { return border_; }

 Q_SIGNALS:
  // button: 1 left, 2 right, 4 middle; for moves the mask of the buttons held. shift: 1 Shift, 2 Ctrl, 4 Alt.
  // x, y: the pointer in twips from the control's top-left corner.
  void MouseDown(int button, int shift, double x, double y);
  void MouseMove(int button, int shift, double x, double y);
  void MouseUp(int button, int shift, double x, double y);
  void DblClick();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QPixmap picture_;
  bool border_ = false;
};

// The program's shift mask of a Qt event (its button masks are in common/states.h).
int ShiftMask(Qt::KeyboardModifiers modifiers);

}  // namespace marvane
