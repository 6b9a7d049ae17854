#include "app/progresswindow.h"

#include "appearance/twips.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

namespace marvane {

namespace {

// The window's picture: a small fader cap beside the title, drawn rather than loaded so it is always there.
class Badge : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x40, 0x40, 0x40));
    p.drawRoundedRect(rect().adjusted(10, 2, -10, -2), 3, 3);
    p.setBrush(QColor(0xE0, 0xE0, 0xE0));
    p.drawRoundedRect(QRectF(2, height() * 0.35, width() - 4, height() * 0.3), 2, 2);
    p.setPen(QPen(QColor(0xFF, 0x20, 0x20), 2));
    p.drawLine(QPointF(4, height() / 2.0), QPointF(width() - 4, height() / 2.0));
  }
};

}  // namespace

ProgressWindow::ProgressWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("SP2"));
  setWindowTitle(QStringLiteral("Marvane v.1.40"));
  setFixedSize(TwipsToPixels(QSize(kWidthTwips, kHeightTwips)));
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::black);
  p.setColor(QPalette::WindowText, QColor(0xE0, 0xE0, 0xE0));
  setPalette(p);

  auto* badge = new Badge(this);
  badge->setObjectName(QStringLiteral("Picture"));
  badge->setGeometry(TwipsToPixels(360, 360, 600, 900));

  auto* title = new QLabel(QStringLiteral("Marvane v.1.40"), this);
  title->setObjectName(QStringLiteral("Title"));
  QFont titleFont(QStringLiteral("DejaVu Sans"));
  titleFont.setPixelSize(20);
  titleFont.setBold(true);
  title->setFont(titleFont);
  title->setGeometry(TwipsToPixels(1200, 360, 3300, 450));

  auto* loading = new QLabel(QStringLiteral("Loading..."), this);
  loading->setObjectName(QStringLiteral("Loading"));
  loading->setGeometry(TwipsToPixels(1200, 900, 3300, 300));

  action_ = new QLabel(this);
  action_->setObjectName(QStringLiteral("Action"));
  action_->setGeometry(TwipsToPixels(kBarLeft, 1440, 4080, 300));

  // The bar's track shows the full 2595 twips the stages run to.
  auto* track = new QFrame(this);
  track->setObjectName(QStringLiteral("StatTrack"));
  track->setFrameShape(QFrame::Box);
  track->setStyleSheet(QStringLiteral("QFrame { border: 1px solid #404040; }"));
  track->setGeometry(TwipsToPixels(kBarLeft - 30, 1800 - 30, 2595 + 60, 240 + 60));
  stat_ = new QFrame(this);
  stat_->setObjectName(QStringLiteral("Stat"));
  stat_->setAutoFillBackground(true);
  QPalette barPalette = stat_->palette();
  barPalette.setColor(QPalette::Window, QColor(0xFF, 0x00, 0x00));
  stat_->setPalette(barPalette);
  SetStatWidth(0);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
  }
}

void ProgressWindow::SetStatWidth(int statWidth) {
  statWidth_ = statWidth;
  stat_->setGeometry(TwipsToPixels(kBarLeft, 1800, statWidth, 240));
  if (isVisible()) repaint();
}

void ProgressWindow::Progress(const QString& action, int statWidth) {
  action_->setText(action);
  SetStatWidth(statWidth);
}

QString ProgressWindow::ActionText() const { return action_->text(); }

}  // namespace marvane
