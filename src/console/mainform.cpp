#include "console/mainform.h"

#include "appearance/butt.h"
#include "appearance/colorvalue.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "appearance/pan.h"
#include "appearance/skinparts.h"
#include "appearance/twips.h"
#include "common/appinfo.h"
#include "console/consoleaccessibility.h"
#include "console/imagebutton.h"
#include "console/imageswitch.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace marvane {

MainForm::MainForm(Clock& clock, QWidget* parent) : QWidget(parent), clock_(clock) {
  InstallConsoleAccessibility();
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(kCaptionPrefix + QStringLiteral("DJ Console"));
  setFixedSize(TwipsToPixels(QSize(kWidthTwips, kHeightTwips)));
  setAutoFillBackground(true);
  setMouseTracking(true);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(11);
  setFont(font);

  BuildStatusAndLines();
  BuildAutoPilotArea();
  BuildLines();
  BuildMasterStrip();
  BuildCrossfader();
  BuildButtonBar();
  BuildMenu();
  ColorChange(colors_);

  // The window takes the keyboard for its shortcuts; its controls never keep the focus.
  setFocusPolicy(Qt::StrongFocus);

  timer1_ = clock_.CreateTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setInterval(300);
}

MainForm::~MainForm() = default;

void MainForm::BuildMenu() {
  rcMenu_ = new QMenu(this);
  rcMenu_->setObjectName(QStringLiteral("RCMenu"));
  auto item = [this](const char* name, const QString& text, Butt* button) {
    QAction* action = rcMenu_->addAction(text);
    action->setObjectName(QLatin1String(name));
    // Each item runs exactly what the button's click runs.
    if (button) connect(action, &QAction::triggered, button, &Butt::Click);
    return action;
  };
  mnuMic_ = item("mnuMic", QStringLiteral("Mic Level"), micButt_);
  rcMenu_->addSeparator();
  mnuHelp_ = item("mnuHelp", QStringLiteral("Help"), helpButt_);
  mnuAbout_ = item("mnuAbout", QStringLiteral("About"), butt1_);
  rcMenu_->addSeparator();
  mnuOps_ = item("mnuOps", QStringLiteral("Options"), options1_);
  mnuLog_ = item("mnuLog", QStringLiteral("Logging"), logButt_);
  rcMenu_->addSeparator();
  mnuPLst_ = item("mnuPLst", QStringLiteral("Playlist"), pList_);
  rcMenu_->addSeparator();
  mnuRecord_ = item("mnuRecord", QStringLiteral("Record Mix..."), nullptr);
  mnuStopRecord_ = item("mnuStopRecord", QStringLiteral("Stop Recording"), nullptr);
  mnuStopRecord_->setEnabled(false);
  rcMenu_->addSeparator();
  muExit_ = item("muExit", QStringLiteral("Exit"), exitButton_);
}

const LineWidgets& MainForm::Line(int n) const {
  static const LineWidgets kNone;
  return n >= 0 && n <= kMasterIndex ? lines_[n] : kNone;
}

void MainForm::ShowFadeMode(int n, int mode) {
  Q_ASSERT(n >= 0 && n < kLineCount);
  lines_[n].FadeLeft->SetLit(mode == kFadeLeft);
  lines_[n].On->SetLit(mode == kAlwaysOn);
  lines_[n].FadeRight->SetLit(mode == kFadeRight);
}

void MainForm::ShowLoop(int n, bool on) {
  Q_ASSERT(n >= 0 && n < kLineCount);
  lines_[n].Loop->SetLit(on);
}

void MainForm::ApplyShowLines(bool show) {
  for (QFrame* line : dividers_) line->setVisible(show);
  for (const LineWidgets& line : lines_) line.Slider->ShowLines(show);
  crossfader_->ShowLines(show);
}

void MainForm::AlignSliderBacks() {
  for (const LineWidgets& line : lines_) {
    MiniSlider* s = line.Slider;
    s->GetPic();
    s->MovePic(PixelsToTwips(s->x()), PixelsToTwips(s->y()));
  }
}

void MainForm::PopupRCMenu(const QPoint& globalPos) { rcMenu_->popup(globalPos); }

void MainForm::ColorChange(const ColorScheme& colors) {
  colors_ = colors;
  // A value that is not a colour (a stored -1) is refused: what it would paint keeps its colour.
  const bool textOk = IsColorValue(colors.TextColor);
  const QColor text = ColorFromValue(colors.TextColor);
  const QColor led = ColorFromValue(colors.LEDColor);
  const QColor line = ColorFromValue(colors.LineColor);

  QPalette windowPalette = palette();
  if (IsColorValue(colors.BackColor)) windowPalette.setColor(QPalette::Window, ColorFromValue(colors.BackColor));
  if (textOk) windowPalette.setColor(QPalette::WindowText, text);
  setPalette(windowPalette);

  auto setText = [](QWidget* widget, const QColor& color) {
    if (!widget) return;
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, color);
    widget->setPalette(p);
  };
  // Every caption takes the text colour but the time displays, which take the LED colour.
  auto isTimeDisplay = [this](const QLabel* label) {
    return std::any_of(lines_.begin(), lines_.end(), [label](const LineWidgets& l) { return l.Colon == label; });
  };
  if (textOk)
    for (QLabel* label : findChildren<QLabel*>())
      if (!isTimeDisplay(label)) setText(label, text);
  for (const LineWidgets& widgets : lines_) {
    QLabel* colon = widgets.Colon;
    if (IsColorValue(colors.LEDColor)) setText(colon, led);
    QFont ledFont(QStringLiteral("DejaVu Sans Mono"));
    ledFont.setPixelSize(colon == lines_[kMasterIndex].Colon ? 13 : 16);
    ledFont.setBold(true);
    colon->setFont(ledFont);
  }
  if (IsColorValue(colors.LineColor)) {
    for (QFrame* frame : dividers_) {
      QPalette p = frame->palette();
      p.setColor(QPalette::Window, line);
      frame->setPalette(p);
    }
  }
  for (Butt* butt : findChildren<Butt*>()) butt->ColChange(colors.TextColor);
  if (IsColorValue(colors.HiliteColor)) setText(fading_, ColorFromValue(colors.HiliteColor));
}

void MainForm::paintEvent(QPaintEvent*) {
  const QPixmap picture = WindowPicture(this);
  if (picture.isNull()) return;
  QPainter painter(this);
  painter.drawPixmap(0, 0, picture);
}

int MainForm::KeyCodeOf(const QKeyEvent* event) {
  // The digit row's keys "1" to "9" and "0" by their X key codes.
  constexpr quint32 kDigitRowFirst = 10;
  constexpr quint32 kDigitRowLast = 19;
  const int key = event->key();
  if (event->modifiers() & Qt::KeypadModifier) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return 96 + (key - Qt::Key_0);
    return 0;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return 112 + (key - Qt::Key_F1);
  if (key == Qt::Key_Space) return 32;
  if (const quint32 scan = event->nativeScanCode(); scan != 0) {
    if (scan >= kDigitRowFirst && scan <= kDigitRowLast) return 48 + static_cast<int>(scan - kDigitRowFirst + 1) % 10;
  } else if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    return 48 + (key - Qt::Key_0);
  }
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 65 + (key - Qt::Key_A);
  return 0;
}

void MainForm::keyPressEvent(QKeyEvent* event) {
  const int code = KeyCodeOf(event);
  if (code == 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  Q_EMIT KeyDown(code, ShiftMask(event->modifiers()));
}

void MainForm::keyReleaseEvent(QKeyEvent* event) {
  const int code = KeyCodeOf(event);
  // A held key repeats its key-down only; its key-up comes once, when it is let go.
  if (code == 0 || event->isAutoRepeat()) {
    QWidget::keyReleaseEvent(event);
    return;
  }
  Q_EMIT KeyUp(code, ShiftMask(event->modifiers()));
}

void MainForm::closeEvent(QCloseEvent* event) {
  if (closeRequest && !closeRequest()) {
    event->ignore();
    return;
  }
  event->accept();
}

bool MainForm::IsBareBackground(const QPoint& pos) const {
  // Mouse events that a control leaves unhandled reach the window too; only the window's own background (or a
  // dividing line drawn on it) counts as the bare window.
  QWidget* child = childAt(pos);
  return !child || std::find(dividers_.begin(), dividers_.end(), child) != dividers_.end();
}

void MainForm::mouseMoveEvent(QMouseEvent* event) {
  // The pointer over the bare window clears the status line.
  if (IsBareBackground(event->position().toPoint())) status_->clear();
  QWidget::mouseMoveEvent(event);
}

void MainForm::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton && IsBareBackground(event->position().toPoint()))
    PopupRCMenu(event->globalPosition().toPoint());
  QWidget::mouseReleaseEvent(event);
}

namespace {

QStringList LocalFiles(const QMimeData* data) {
  QStringList files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) files << url.toLocalFile();
  }
  return files;
}

}  // namespace

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
  const auto title = std::find_if(lines_.begin(), lines_.begin() + kLineCount,
                                  [watched](const LineWidgets& line) { return line.TitleLabel == watched; });
  if (title != lines_.begin() + kLineCount) {
    const int index = static_cast<int>(title - lines_.begin());
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
      auto* drag = static_cast<QDropEvent*>(event);
      const QStringList files = LocalFiles(drag->mimeData());
      if (!files.isEmpty() && acceptsTitleDrop && acceptsTitleDrop(index, files))
        drag->acceptProposedAction();
      else
        drag->ignore();
      return true;
    }
    if (event->type() == QEvent::Drop) {
      auto* drop = static_cast<QDropEvent*>(event);
      const QStringList files = LocalFiles(drop->mimeData());
      if (!files.isEmpty() && acceptsTitleDrop && acceptsTitleDrop(index, files)) {
        drop->acceptProposedAction();
        Q_EMIT TitleDropped(index, files);
      }
      return true;
    }
  }
  // A right-button release on a title label opens the right-click menu too (the time displays' own handler does
  // the same for them).
  if (event->type() == QEvent::MouseButtonRelease) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::RightButton) {
      PopupRCMenu(mouse->globalPosition().toPoint());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace marvane
