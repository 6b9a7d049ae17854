#include "console/statushelp.h"

#include "appearance/butt.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "appearance/pan.h"
#include "common/states.h"
#include "console/imagebutton.h"
#include "console/imageswitch.h"
#include "console/mainform.h"
#include "console/mouseevents.h"

#include <QLabel>
#include <QMouseEvent>

#include <algorithm>
#include <type_traits>

namespace marvane {

namespace {

constexpr int kShiftCtrlAlt = 7;

// Tool tips of a line's controls.
const QString kPlayTip = QStringLiteral("Play");
const QString kStopTip = QStringLiteral("Stop");
const QString kOpenTip = QStringLiteral("Open a sound file for play");
const QString kLoopTip = QStringLiteral("Loop the file endlessly");
const QString kOnTip = QStringLiteral("When Green, sets the line to Always On, regardless of the Crossfader.");
const QString kLeftTip = QStringLiteral("When Red, sets line to Left side of Crossfader.");
const QString kRightTip = QStringLiteral("When Red, sets line to Right side of Crossfader.");
const QString kPanTip = QStringLiteral("Pans the line from Right to Left.");
const QString kMuteTip =
    QStringLiteral("Mutes the line while holding the Left Mouse Button. Right Click to keep muted.");
const QString kSliderTip = QStringLiteral("Sets Volume on line.");

// Status texts of the controls.
const QString kLeftStatus = QStringLiteral("Sets line to Left side of Crossfader");
const QString kRightStatus = QStringLiteral("Sets line to Right side of Crossfader");
const QString kOnStatus = QStringLiteral("Sets line to Always On");
const QString kLoopStatus = QStringLiteral("Sets line to Loop mode");
const QString kOpenStatus = QStringLiteral("Opens a file");
const QString kPlayStatus = QStringLiteral("Plays file");
const QString kStopStatus = QStringLiteral("Stops playback");

}  // namespace

const QString StatusHelp::kCredits = QStringLiteral(
    "Marvane 1.40 - a DJ console by the Marvane developers. Thanks to everyone who plays, tests and mixes with it.");

StatusHelp::StatusHelp(MainForm& form, QObject* parent) : QObject(parent), form_(form) {
  BuildTips();
  ConnectStatusTexts();
  form_.installEventFilter(this);
}

void StatusHelp::BuildTips() {
  auto plain = [this](QWidget* widget, const QString& text) {
    if (widget) tips_.push_back({[widget](const QString& t) { widget->setToolTip(t); }, text});
  };
  auto knob = [this](auto* control, const QString& text) {
    if (control) tips_.push_back({[control](const QString& t) { control->ToolTipChange(t); }, text});
  };
  auto butt = [this](Butt* button, const QString& text) {
    tips_.push_back({[button](const QString& t) {
                       button->SetTipText(t);
                       button->TipChange();
                     },
                     text});
  };

  for (int n = 0; n < MainForm::kLineCount; ++n) {
    plain(form_.Line(n).PlayButt, kPlayTip);  // lines 1 to 6 only; line 0 has none
    plain(form_.Line(n).StopButt, kStopTip);
    plain(form_.Line(n).OpenW, kOpenTip);
    plain(form_.Line(n).Loop->Unlit(), kLoopTip);
    plain(form_.Line(n).Loop->Lit(), kLoopTip);
    plain(form_.Line(n).On->Lit(), kOnTip);
    plain(form_.Line(n).On->Unlit(), kOnTip);
    plain(form_.Line(n).FadeLeft->Unlit(), kLeftTip);
    plain(form_.Line(n).FadeLeft->Lit(), kLeftTip);
    plain(form_.Line(n).FadeRight->Unlit(), kRightTip);
    plain(form_.Line(n).FadeRight->Lit(), kRightTip);
    knob(form_.Line(n).Pan, kPanTip);
    plain(form_.Line(n).Mute, kMuteTip);
    knob(form_.Line(n).Slider, kSliderTip);
  }
  knob(form_.MiniCrossfader1(), QStringLiteral("Crossfades the lines set to Left and lines set to Right."));
  plain(form_.LeftFade(), QStringLiteral("AutoFades to the Left."));
  plain(form_.FadeRight(), QStringLiteral("AutoFades to the Right."));
  plain(form_.APlay(), QStringLiteral("Plays Playlist / Skips to Next Song"));
  plain(form_.AStop(), QStringLiteral("Click Once to stop after Current Song, twice to stop Now."));
  plain(form_.ANext(), QStringLiteral("Changes Next Song in Playlist."));
  butt(form_.PList(), QStringLiteral("Playlist Editor"));
  butt(form_.StopAll(), QStringLiteral("Stops all players"));
  butt(form_.MicButt(), QStringLiteral("Show Microphone Level Control"));
  butt(form_.Butt1(), QStringLiteral("About MVN 1.40"));
  butt(form_.LogButt(), QStringLiteral("Shows Logging"));
  butt(form_.ShuffButt(), QStringLiteral("SmartRandom"));
  butt(form_.ExitButton(), QStringLiteral("Exits MVN"));
  butt(form_.HelpButt(), QStringLiteral("Help"));
  butt(form_.Options1(), QStringLiteral("Options Dialog"));
}

void StatusHelp::ApplyTips(bool on) {
  for (const Tip& tip : tips_) tip.apply(on ? tip.text : QString());
}

void StatusHelp::ToolsOn() { ApplyTips(true); }

void StatusHelp::ToolsOff() { ApplyTips(false); }

void StatusHelp::ShowStatus(const QString& text) {
  QLabel* status = form_.Status();
  if (status->text() != text) status->setText(text);
}

void StatusHelp::OnLabelMove(QWidget* label, std::function<QString()> text) {
  connect(MouseEvents::Attach(label), &MouseEvents::MouseMove, this,
          [this, text = std::move(text)] { ShowStatus(text()); });
  labels_.push_back(label);
}

void StatusHelp::ConnectStatusTexts() {
  auto image = [this](ImageButton* button, const QString& text) {
    if (button) connect(button, &ImageButton::MouseMove, this, [this, text] { ShowStatus(text); });
  };
  auto fixed = [this](QWidget* label, const QString& text) {
    OnLabelMove(label, [text] { return text; });
  };
  auto over = [this](auto* control, const QString& text) {
    using Control = std::remove_pointer_t<decltype(control)>;
    connect(control, &Control::MouseOver, this, [this, text] { ShowStatus(text); });
  };

  for (int n = 0; n < MainForm::kLineCount; ++n) {
    image(form_.Line(n).FadeLeft->Lit(), kLeftStatus);
    image(form_.Line(n).FadeLeft->Unlit(), kLeftStatus);
    image(form_.Line(n).FadeRight->Lit(), kRightStatus);
    image(form_.Line(n).FadeRight->Unlit(), kRightStatus);
    image(form_.Line(n).On->Lit(), kOnStatus);
    image(form_.Line(n).On->Unlit(), kOnStatus);
    image(form_.Line(n).Loop->Lit(), kLoopStatus);
    image(form_.Line(n).Loop->Unlit(), kLoopStatus);
    image(form_.Line(n).OpenW, kOpenStatus);
    image(form_.Line(n).PlayButt, kPlayStatus);
    image(form_.Line(n).StopButt, kStopStatus);
    over(form_.Line(n).Pan, QStringLiteral("Pans line Left to Right"));
    QLabel* title = form_.Line(n).TitleLabel;
    OnLabelMove(title, [title] { return title->text(); });
  }
  // The master's slider and mute (index 7) explain themselves like the lines' ones.
  for (int n = 0; n <= MainForm::kMasterIndex; ++n) {
    fixed(form_.Line(n).Mute, QStringLiteral("Mutes Line"));
    over(form_.Line(n).Slider, QStringLiteral("Adjusts Volume"));
  }
  over(form_.MiniCrossfader1(), QStringLiteral("Crossfades lines set to Left and Right"));
  fixed(form_.LeftFade(), QStringLiteral("AutoFades to the Left"));
  fixed(form_.FadeRight(), QStringLiteral("AutoFades to the Right"));

  over(form_.ShuffButt(), QStringLiteral("Puts AutoPilot in SmartRandom Mode"));
  over(form_.PList(), QStringLiteral("Opens the Playlist Editor"));
  over(form_.StopAll(), QStringLiteral("Stops all players currently playing"));
  over(form_.MicButt(), QStringLiteral("Shows the Microphone Level control"));
  over(form_.Butt1(), QStringLiteral("Show the About Box and Credits"));
  over(form_.LogButt(), QStringLiteral("Shows the Played Songs log"));
  over(form_.ExitButton(), QStringLiteral("Exits Marvane"));
  over(form_.HelpButt(), QStringLiteral("Shows the Help file"));
  over(form_.Options1(), QStringLiteral("Opens the Options Dialog"));

  // The song labels show live information: the caption as it is when the pointer moves.
  auto currentSong = [this] { return QStringLiteral("Current Song: ") + form_.CurrentSong()->text(); };
  OnLabelMove(form_.CSLabel(), currentSong);
  OnLabelMove(form_.CurrentSong(), currentSong);
  auto nextSong = [this] { return form_.NSLabel()->text() + QLatin1Char(' ') + form_.NextSong()->text(); };
  OnLabelMove(form_.NSLabel(), nextSong);
  OnLabelMove(form_.NextSong(), nextSong);

  // The status line keeps its text under the pointer; a right click with Shift, Ctrl and Alt shows the credits.
  MouseEvents* status = MouseEvents::Attach(form_.Status());
  connect(status, &MouseEvents::MouseUp, this, [this](int button, int shift, double, double) {
    if (button == kRightButton && shift == kShiftCtrlAlt) ShowStatus(kCredits);
  });
  labels_.push_back(form_.Status());
}

bool StatusHelp::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &form_) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
      // A label passes the mouse events it does not use on to the window. The window's handlers are for its bare
      // background: a move there clears the status line and a right click opens the menu. A move over one of the
      // labels above has just written its own text, which must stand, and a click on the status line is its own.
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const QWidget* under = form_.childAt(mouse->position().toPoint());
      if (!under) break;
      if (event->type() == QEvent::MouseMove)
        return std::find(labels_.begin(), labels_.end(), under) != labels_.end();
      return under == form_.Status();
    }
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace marvane
