#include "appearance/skinparts.h"

#include "appearance/twips.h"

#include <QFileInfo>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QVariant>
#include <QWidget>

#include <cmath>

// The knob pictures are compiled into this static library; registering them explicitly keeps the linker from
// dropping the resource data, which nothing else refers to. It must be called outside any namespace.
static void InitAppearanceResources() {
  static const bool done = [] {
    Q_INIT_RESOURCE(appearance);
    return true;
  }();
  Q_UNUSED(done);
}

namespace marvane {

namespace {
// Name of the dynamic property that holds the main window's picture.
constexpr char kWindowPictureProperty[] = "marvaneWindowPicture";

QPixmap LoadBuiltIn(const QString& path) {
  InitAppearanceResources();
  return QPixmap(path);
}
}  // namespace

QPoint EventTwips(const QMouseEvent* event) {
  const QPointF twips = PixelsToTwips(event->position());
  return {static_cast<int>(std::nearbyint(twips.x())), static_cast<int>(std::nearbyint(twips.y()))};
}

void SetWindowPicture(QWidget* window, const QPixmap& picture) {
  if (window == nullptr) return;
  window->setProperty(kWindowPictureProperty, QVariant::fromValue(picture));
}

QPixmap WindowPicture(const QWidget* window) {
  if (window == nullptr) return {};
  return window->property(kWindowPictureProperty).value<QPixmap>();
}

QPixmap BuiltInSliderKnob() { return LoadBuiltIn(QStringLiteral(":/marvane/knobs/sliderknob.png")); }

QPixmap BuiltInFaderKnob() { return LoadBuiltIn(QStringLiteral(":/marvane/knobs/faderknob.png")); }

bool LoadCap(const QString& fileName, const QPixmap& builtIn, QPixmap& knob) {
  if (fileName.isEmpty() || !QFileInfo(fileName).isFile()) {
    knob = builtIn;
    return true;
  }
  QImageReader reader(fileName);
  const QImage image = reader.read();
  if (image.isNull()) return false;
  knob = QPixmap::fromImage(image);
  return true;
}

void BackgroundCopy::Take(const QPixmap& windowPicture) {
  picture = windowPicture;
  visible = !picture.isNull();
}

void BackgroundCopy::Paint(QPainter& painter, const QRect& area) const {
  if (!visible || picture.isNull()) return;
  // Only the part of the (window-sized) picture that lies under the control is drawn.
  const QPoint origin = TwipsToPixels(QPointF(offset));
  const QRect whole(QPoint(0, 0), picture.deviceIndependentSize().toSize());
  const QRect source = area.translated(-origin).intersected(whole);
  if (source.isEmpty()) return;
  painter.drawPixmap(source.translated(origin), picture, source);
}

namespace skin {

void PaintGroove(QPainter& painter, const QRect& rect) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(rect, kGrooveFill);
  painter.setPen(kGrooveShadow);
  painter.drawLine(rect.topLeft(), rect.topRight());
  painter.drawLine(rect.topLeft(), rect.bottomLeft());
  painter.setPen(kGrooveLight);
  painter.drawLine(rect.bottomLeft(), rect.bottomRight());
  painter.drawLine(rect.topRight(), rect.bottomRight());
  painter.restore();
}

}  // namespace skin
}  // namespace marvane
