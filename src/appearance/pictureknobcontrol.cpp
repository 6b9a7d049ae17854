#include "appearance/pictureknobcontrol.h"

#include "appearance/twips.h"

#include <QPainter>

namespace marvane {

PictureKnobControl::PictureKnobControl(QSize sizeTwips, const QPixmap& builtInKnob, QWidget* parent)
    : KnobControl(sizeTwips, parent), builtInKnob_(builtInKnob), knob_(builtInKnob) {}

void PictureKnobControl::SetCap(const QString& fileName) {
  LoadCap(fileName, builtInKnob_, knob_);
  update();
}

void PictureKnobControl::ShowLines(bool show) {
  linesVisible_ = show;
  update();
}

QRectF PictureKnobControl::KnobRect() const {
  if (knob_.isNull()) return {};
  return {KnobTopLeft(), knob_.deviceIndependentSize() * kTwipsPerPixel};
}

QSize PictureKnobControl::KnobSizePixels() const {
  return (knob_.isNull() ? builtInKnob_ : knob_).deviceIndependentSize().toSize();
}

void PictureKnobControl::TakeWindowPicture() {
  background_.Take(WindowPicture(window()));
  update();
}

void PictureKnobControl::SetBackgroundOffset(QPoint twips) {
  background_.offset = twips;
  update();
}

void PictureKnobControl::EnsureKnob() {
  if (knob_.isNull()) knob_ = builtInKnob_;
}

void PictureKnobControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  background_.Paint(painter, rect());
  PaintTrack(painter);
  if (!knob_.isNull()) painter.drawPixmap(TwipsToPixels(KnobTopLeft()), knob_);
}

}  // namespace marvane
