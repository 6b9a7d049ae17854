#pragma once
// PictureKnobControl: a knob control whose knob is a picture (MiniSlider and MiniCrossfader). The knob starts
// as the control's built-in picture, and a Face may replace it (SetCap). Behind everything the control can draw
// a copy of the main window's picture, shifted so that it lines up with the window (the background copy), and
// over the track it draws its scale lines, which ShowLines shows or hides. The knob is always drawn in front.
//
// UI thread only.

#include "appearance/knobcontrol.h"
#include "appearance/skinparts.h"

#include <QPixmap>

namespace marvane {

class PictureKnobControl : public KnobControl {
  Q_OBJECT

 public:
  // The knob picture from a file; an empty name or a missing file gives the built-in knob, a file that cannot
  // be read as a picture keeps the previous one.
  void SetCap(const QString& fileName);
  // Shows or hides the control's scale lines.
  void ShowLines(bool show);

  const QPixmap& KnobPicture() const { return knob_; }
  bool BackgroundCopyVisible() const { return background_.visible; }
  // The background copy's top-left corner in twips.
  QPoint BackgroundCopyPos() const { return background_.offset; }
  bool LinesVisible() const { return linesVisible_; }

 protected:
  PictureKnobControl(QSize sizeTwips, const QPixmap& builtInKnob, QWidget* parent);

  // Where the knob picture's top-left corner stands, in twips.
  virtual QPointF KnobTopLeft() const = 0;
  // Draws the track (and, when LinesVisible, its scale lines) between the background copy and the knob.
  virtual void PaintTrack(QPainter& painter) const = 0;

  QRectF KnobRect() const override;
  // The knob picture's size in pixels, or the built-in one's when there is no picture.
  QSize KnobSizePixels() const;

  // Takes the main window's current picture (see SetWindowPicture) as the background copy, shown only when
  // that picture is not empty.
  void TakeWindowPicture();
  void SetBackgroundOffset(QPoint twips);
  // Gives a knob without a picture the built-in one.
  void EnsureKnob();

  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap builtInKnob_;
  QPixmap knob_;
  BackgroundCopy background_;
  bool linesVisible_ = true;
};

}  // namespace marvane
