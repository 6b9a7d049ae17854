#pragma once
// Butt: the console's flat caption button. A caption fills the control, framed by four one-pixel lines along its
// edges. Pressing it with the left button shows the pressed look (a sunken border instead of the frame); Click
// is raised when the left button is released while the press still counts: a press dragged off the button and
// released there does not click, dragging back on before the release does. A double click counts as a second
// press. The button's background is its container's (it draws none of its own).
//
// UI thread only.

#include <QColor>
#include <QString>
#include <QWidget>

namespace marvane {

class Butt : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ Caption WRITE SetCaption NOTIFY CaptionChanged)

 public:
  explicit Butt(QWidget* parent = nullptr);

  // The caption; "Butt" on creation.
  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);

  // The tool-tip text that TipChange applies.
  QString TipText() const { return tipText_; }
  void SetTipText(const QString& text) { tipText_ = text; }
  // Applies TipText as the caption's tool tip.
  void TipChange();

  // Caption colour from a 32-bit colour value (red in the low byte). A value that is not a colour (top byte
  // set, such as a stored -1) is refused: the colour stays and the result is false.
  bool ColChange(quint32 color);
  QColor CaptionColor() const { return captionColor_; }

  // True while the left button is held down over the button.
  bool IsPressed() const { return pressed_; }

  QSize sizeHint() const override;

 Q_SIGNALS:
  void Click();
  void MouseOver();
  void CaptionChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void SetPressedLook(bool pressed);

  QString caption_;
  QString tipText_;
  QColor captionColor_;
  bool pressed_ = false;
  bool pressedLook_ = false;
};

}  // namespace marvane
