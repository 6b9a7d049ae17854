#pragma once
// Pieces shared by the skinnable controls (MiniSlider, Pan, Butt, MiniCrossfader): the button masks their rules
// are written in (common/states.h), the main window's picture that GetPic copies, the two built-in knob
// pictures, the background copy that lets a Face's picture show behind a knob, and the drawing of tracks and
// scale lines.
// UI thread only, like every widget.

#include "common/states.h"

#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>
#include <Qt>

class QMouseEvent;
class QPainter;
class QWidget;

namespace marvane {

// The pointer's position in whole twips. Whole twips are finer than any screen's pixels (a fifteenth of a
// logical pixel), and keep the controls' positions whole numbers as their rules expect.
QPoint EventTwips(const QMouseEvent* event);

// The main window's picture (a Face's background) is kept on the top-level window, so that the controls'
// GetPic can copy it without knowing the window's class. A null picture means "no picture".
void SetWindowPicture(QWidget* window, const QPixmap& picture);
QPixmap WindowPicture(const QWidget* window);

// The built-in knob pictures: the volume slider's cap (21 x 31 pixels) and the crossfader's (41 x 23 pixels).
QPixmap BuiltInSliderKnob();
QPixmap BuiltInFaderKnob();

// The SetCap rule shared by the slider and the crossfader: an empty name, or one that names no existing file,
// gives the built-in picture; otherwise the file is loaded, and a file that cannot be read as a picture leaves
// the knob as it was. Returns false only in that last case.
bool LoadCap(const QString& fileName, const QPixmap& builtIn, QPixmap& knob);

// A copy of the main window's picture drawn behind everything else in a control, shifted so that it lines up
// with the window: its top-left corner sits at offset (twips, normally minus the control's position).
struct BackgroundCopy {
  QPixmap picture;
  QPoint offset;
  bool visible = false;

  // Takes the window's current picture; the copy shows only when that picture is not empty.
  void Take(const QPixmap& windowPicture);
  // Draws the part of the copy that falls inside area (the control's rectangle, in pixels).
  void Paint(QPainter& painter, const QRect& area) const;
};

// Colours of the controls' own drawing, chosen for the console's default black background.
namespace skin {
inline const QColor kGrooveFill = QColor(8, 8, 10);
inline const QColor kGrooveShadow = QColor(60, 60, 64);
inline const QColor kGrooveLight = QColor(120, 120, 126);
inline const QColor kScaleLine = QColor(112, 112, 118);
inline const QColor kCentreMark = QColor(220, 40, 40);
inline const QColor kFrameLine = QColor(128, 128, 128);

// A recessed slot for a knob to run in, drawn inside rect (pixels): dark floor, shadowed top and left edges,
// lit bottom and right edges.
void PaintGroove(QPainter& painter, const QRect& rect);
}  // namespace skin

}  // namespace marvane
