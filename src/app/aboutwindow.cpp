#include "app/aboutwindow.h"

#include "appearance/butt.h"
#include "appearance/colorvalue.h"
#include "appearance/twips.h"
#include "common/appinfo.h"
#include "common/colorscheme.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

namespace marvane {

namespace {

// Layout in twips.
constexpr int kWidth = 5520;
constexpr int kFrameLeft = 120;
constexpr int kFrameTop = 120;
constexpr int kFrameWidth = 5280;
constexpr int kLabelLeft = 1320;
constexpr int kLabelWidth = 3840;
constexpr int kPictureSize = 960;
constexpr int kStartTop = 240;

// The picture: three faders of a console, drawn in the colour scheme's colours.
QPixmap Picture(const ColorScheme& colors) {
  const int size = TwipsToPixels(kPictureSize);
  QPixmap picture(size, size);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(ColorFromValue(colors.LineColor).lighter(160), 2));
  painter.setBrush(ColorFromValue(colors.LineColor));
  painter.drawRoundedRect(QRectF(1, 1, size - 2, size - 2), 8, 8);
  const int knobTops[] = {size / 4, size / 2, size * 3 / 8};
  for (int i = 0; i < 3; ++i) {
    const double x = size * (i + 1) / 4.0;
    painter.setPen(QPen(ColorFromValue(colors.TextColor), 2));
    painter.drawLine(QPointF(x, size * 0.15), QPointF(x, size * 0.85));
    painter.setPen(Qt::NoPen);
    painter.setBrush(ColorFromValue(i == 1 ? colors.HiliteColor : colors.LEDColor));
    painter.drawRoundedRect(QRectF(x - 6, knobTops[i], 12, 8), 2, 2);
  }
  return picture;
}

}  // namespace

QString AboutWindow::AboutText() {
  return QStringList{kAppTitle + QStringLiteral(" version ") + kVersion + QStringLiteral(" - "),
                     QString(),
                     QStringLiteral("A DJ mixing console"),
                     QString(),
                     QStringLiteral("Marvane is free software: you may"),
                     QStringLiteral("share and change it under the"),
                     QStringLiteral("GNU General Public License,"),
                     QStringLiteral("version 3 or later."),
                     QStringLiteral("It comes with no warranty."),
                     QString(),
                     QStringLiteral("The manual is the help page"),
                     QStringLiteral("mvnhelp.html: press Help,"),
                     QStringLiteral("or click the picture."),
                     QString(),
                     QStringLiteral("Made with Qt, FFmpeg,"),
                     QStringLiteral("FluidSynth and PortAudio.")}
      .join(QLatin1Char('\n'));
}

AboutWindow::AboutWindow(const ColorScheme& colors, QWidget* parent)
    : QWidget(parent, Qt::Dialog),
      frame1_(new QFrame(this)),
      label2_(new QLabel(AboutText(), frame1_)),
      image1_(new QLabel(frame1_)),
      butt1_(new Butt(frame1_)),
      timer1_(new QTimer(this)) {
  setObjectName(QStringLiteral("About"));
  setWindowTitle(QStringLiteral("About ") + kAppTitle);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowModality(Qt::WindowModal);
  setFixedSize(TwipsToPixels(QSize(kWidth, kFrameTop * 2 + kBottomLimit)));
  setAutoFillBackground(true);
  QPalette windowPalette = palette();
  windowPalette.setColor(QPalette::Window, ColorFromValue(colors.BackColor));
  windowPalette.setColor(QPalette::WindowText, ColorFromValue(colors.TextColor));
  setPalette(windowPalette);

  frame1_->setObjectName(QStringLiteral("Frame1"));
  frame1_->setGeometry(TwipsToPixels(kFrameLeft, kFrameTop, kFrameWidth, kBottomLimit));

  label2_->setObjectName(QStringLiteral("Label2"));
  label2_->setAccessibleName(QStringLiteral("About Marvane"));
  label2_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label2_->installEventFilter(this);
  MoveLabel2(kStartTop);

  image1_->setObjectName(QStringLiteral("Image1"));
  image1_->setAccessibleName(QStringLiteral("Open the help page"));
  image1_->setToolTip(QStringLiteral("Opens the help page"));
  image1_->setCursor(Qt::PointingHandCursor);
  image1_->setPixmap(Picture(colors));
  image1_->setGeometry(TwipsToPixels(180, 180, kPictureSize, kPictureSize));
  image1_->installEventFilter(this);

  butt1_->setObjectName(QStringLiteral("Butt1"));
  butt1_->setAccessibleName(QStringLiteral("OK"));
  butt1_->SetCaption(QStringLiteral("OK"));
  butt1_->ColChange(colors.TextColor);
  butt1_->setGeometry(TwipsToPixels(180, 1260, kPictureSize, 360));
  connect(butt1_, &Butt::Click, this, &QWidget::close);

  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setInterval(kTimerInterval);
  connect(timer1_, &QTimer::timeout, this, &AboutWindow::Timer1_Timer);
}

void AboutWindow::MoveLabel2(int top) {
  label2Top_ = top;
  label2_->setGeometry(TwipsToPixels(kLabelLeft, top, kLabelWidth, -kTopLimit));
}

void AboutWindow::Timer1_Timer() { MoveLabel2(label2Top_ > kTopLimit ? label2Top_ - kStep : kBottomLimit); }

bool AboutWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == image1_ && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton && image1_->rect().contains(mouse->position().toPoint()) && openHelp)
      openHelp();
  }
  if (watched != label2_) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      // The left button, alone or with the right one, holds the text.
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->buttons() & Qt::LeftButton) {
        timer1_->stop();
        dragging_ = true;
        dragY_ = mouse->globalPosition().y();
      }
      break;
    }
    case QEvent::MouseMove: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (!dragging_ || !(mouse->buttons() & Qt::LeftButton)) break;
      const int top = label2Top_ + static_cast<int>(PixelsToTwips(mouse->globalPosition().y() - dragY_));
      // A move that would take the text beyond its limits is not made.
      if (top >= kTopLimit && top <= kBottomLimit) {
        MoveLabel2(top);
        dragY_ = mouse->globalPosition().y();
      }
      break;
    }
    case QEvent::MouseButtonRelease:
      dragging_ = false;
      timer1_->start();
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

void AboutWindow::changeEvent(QEvent* event) {
  // The text runs while the window is the active one.
  if (event->type() == QEvent::ActivationChange) {
    if (isActiveWindow()) {
      if (!dragging_) timer1_->start();
    } else {
      timer1_->stop();
    }
  }
  QWidget::changeEvent(event);
}

void AboutWindow::closeEvent(QCloseEvent* event) {
  timer1_->stop();
  Q_EMIT Unloading();
  event->accept();
}

}  // namespace marvane
