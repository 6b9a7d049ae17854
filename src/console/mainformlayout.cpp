// Where every control of the main window stands. All positions are in twips; each line is a column centred on
// its volume slider, the master strip is the rightmost column, the AutoPilot area runs along the top, the
// crossfader and the button bar along the bottom.

#include "console/mainform.h"

#include "appearance/accessiblecontrols.h"
#include "appearance/butt.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "appearance/pan.h"
#include "appearance/twips.h"
#include "console/consoleicons.h"
#include "console/elidelabel.h"
#include "console/imagebutton.h"
#include "console/imageswitch.h"

#include <QFrame>
#include <QLabel>

namespace marvane {

namespace {

// Left edges of the eight volume sliders (lines 0 to 6, then the master), and their common top.
constexpr std::array<int, 8> kSliderLeft = {300, 1500, 2580, 3660, 4740, 5820, 6900, 8100};
constexpr int kSliderTop = 3300;
constexpr int kColumnWidth = 1050;
constexpr int kImageSize = 240;  // the 16-pixel image buttons

// Rows of a line's column.
constexpr int kLineLabelTop = 1080;
constexpr int kTitleTop = 1320;
constexpr int kColonTop = 1590;
constexpr int kButtonRowTop = 1950;
constexpr int kModeRowTop = 2280;
constexpr int kPanTop = 2640;
constexpr int kMuteTop = 2970;

constexpr int kCrossfaderLeft = 3060;
constexpr int kCrossfaderTop = 5460;

int ColumnCentre(int n) { return kSliderLeft[n] + MiniSlider::kWidthTwips / 2; }

void Place(QWidget* widget, int left, int top, int width, int height) {
  widget->setGeometry(TwipsToPixels(left, top, width, height));
}

template <typename Widget>
Widget* Named(Widget* widget, const QString& name) {
  widget->setObjectName(name);
  return widget;
}

QString Indexed(const char* name, int index) { return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index); }

// A label; with an accessible name it is known by that name and shows its text as its value (a title, a time
// display), and with the role of a button it is one that acts on a click (a mute, an auto-fade label).
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, Qt::Alignment align,
                  const QString& accessibleName = {}, QAccessible::Role role = QAccessible::StaticText) {
  auto* label = Named(new ElideLabel(parent), name);
  SetAccessibleRole(label, role);
  label->setAccessibleName(accessibleName);
  label->setAlignment(align | Qt::AlignVCenter);
  label->setTextFormat(Qt::PlainText);
  label->setText(text);
  return label;
}

ImageButton* MakeImage(QWidget* parent, const QString& name, ConsoleIcon icon, int left, int top,
                       const QString& accessibleName = {}) {
  auto* button = Named(new ImageButton(parent), name);
  button->setAccessibleName(accessibleName);
  button->SetPicture(ConsoleIconPixmap(icon));
  Place(button, left, top, kImageSize, kImageSize);
  return button;
}

// A switch of line n: its unlit and lit pictures stacked at one place.
ImageSwitch* MakeSwitch(QWidget* parent, ImageSwitch::Kind kind, int n, const char* unlitName, ConsoleIcon unlit,
                        const char* litName, ConsoleIcon lit, int left, int top, const QString& accessibleName) {
  return new ImageSwitch(kind, MakeImage(parent, Indexed(unlitName, n), unlit, left, top),
                         MakeImage(parent, Indexed(litName, n), lit, left, top), accessibleName, parent);
}

Butt* MakeButt(QWidget* parent, const QString& name, const QString& caption) {
  auto* butt = Named(new Butt(parent), name);
  butt->SetCaption(caption);
  return butt;
}

}  // namespace

void MainForm::BuildLines() {
  for (int n = 0; n < kLineCount; ++n) {
    LineWidgets& line = lines_[n];
    const int centre = ColumnCentre(n);
    const int left = centre - kColumnWidth / 2;
    const QString lineName = n == 0 ? QStringLiteral("AutoPilot") : QStringLiteral("Line %1").arg(n);

    const auto part = [&lineName](const char* what) { return lineName + QLatin1Char(' ') + QLatin1String(what); };

    line.LineLabel = MakeLabel(this, Indexed("LineLabel", n), lineName, Qt::AlignHCenter);
    Place(line.LineLabel, left, kLineLabelTop, kColumnWidth, 240);
    line.TitleLabel = MakeLabel(this, Indexed("TitleLabel", n), n == 0 ? QString() : QStringLiteral("None"),
                               Qt::AlignHCenter, part("Title"));
    Place(line.TitleLabel, left, kTitleTop, kColumnWidth, 240);
    line.TitleLabel->installEventFilter(this);
    line.TitleLabel->setAcceptDrops(true);
    line.Colon = MakeLabel(this, Indexed("Colon", n), QStringLiteral("0:00"), Qt::AlignHCenter, part("Time"));
    Place(line.Colon, left, kColonTop, kColumnWidth, 300);

    // Open, Play, Stop and the loop switch share one row; line 0 has no Play and Stop of its own.
    const int rowLeft = centre - kColumnWidth / 2;
    constexpr int kStep = 270;
    line.OpenW = MakeImage(this, Indexed("OpenW", n), ConsoleIcon::Open, rowLeft, kButtonRowTop, part("Open"));
    if (n > 0) {
      line.PlayButt =
          MakeImage(this, Indexed("PlayButt", n), ConsoleIcon::Play, rowLeft + kStep, kButtonRowTop, part("Play"));
      line.StopButt = MakeImage(this, Indexed("StopButt", n), ConsoleIcon::Stop, rowLeft + 2 * kStep, kButtonRowTop,
                               part("Stop"));
    }
    // Loop off until the settings say otherwise.
    line.Loop = MakeSwitch(this, ImageSwitch::Kind::Toggle, n, "LoopW", ConsoleIcon::LoopUnlit, "LoopR",
                                ConsoleIcon::LoopLit, rowLeft + 3 * kStep, kButtonRowTop, part("Loop"));

    // The fade-mode switches: lit and unlit pictures stacked at the same place, three of the six visible; Always
    // On, as the window is designed.
    constexpr int kModeStep = 315;
    const int modeLeft = centre - kImageSize / 2 - kModeStep;
    line.FadeLeft = MakeSwitch(this, ImageSwitch::Kind::Choice, n, "FadeLeftW", ConsoleIcon::LeftUnlit, "FadeLeftR",
                                ConsoleIcon::LeftLit, modeLeft, kModeRowTop, part("Left"));
    line.On = MakeSwitch(this, ImageSwitch::Kind::Choice, n, "OnW", ConsoleIcon::OnUnlit, "OnG",
                              ConsoleIcon::OnLit, modeLeft + kModeStep, kModeRowTop, part("On"));
    line.FadeRight = MakeSwitch(this, ImageSwitch::Kind::Choice, n, "FadeRightW", ConsoleIcon::RightUnlit,
                                 "FadeRightR", ConsoleIcon::RightLit, modeLeft + 2 * kModeStep, kModeRowTop,
                                 part("Right"));
    ShowFadeMode(n, kAlwaysOn);

    line.Pan = Named(new marvane::Pan(this), Indexed("Pan", n));
    line.Pan->setAccessibleName(part("Pan"));
    Place(line.Pan, centre - marvane::Pan::kWidthTwips / 2, kPanTop, marvane::Pan::kWidthTwips,
          marvane::Pan::kHeightTwips);

    line.Mute = MakeLabel(this, Indexed("Mute", n), QStringLiteral("Mute"), Qt::AlignHCenter, part("Mute"),
                         QAccessible::Button);
    Place(line.Mute, centre - 450, kMuteTop, 900, 240);

    line.Slider = Named(new MiniSlider(this), Indexed("Slider", n));
    line.Slider->setAccessibleName(part("Volume"));
    Place(line.Slider, kSliderLeft[n], kSliderTop, MiniSlider::kWidthTwips, MiniSlider::kHeightTwips);
  }
}

void MainForm::BuildMasterStrip() {
  const int centre = ColumnCentre(kMasterIndex);
  masterLabel_ = MakeLabel(this, QStringLiteral("MasterLabel"), QStringLiteral("Master"), Qt::AlignHCenter);
  Place(masterLabel_, centre - kColumnWidth / 2, kLineLabelTop, kColumnWidth, 240);
  lines_[kMasterIndex].Mute = MakeLabel(this, Indexed("Mute", kMasterIndex), QStringLiteral("Mute"), Qt::AlignHCenter,
                                  QStringLiteral("Master Mute"), QAccessible::Button);
  Place(lines_[kMasterIndex].Mute, centre - 450, kMuteTop, 900, 240);
  lines_[kMasterIndex].Slider = Named(new MiniSlider(this), Indexed("Slider", kMasterIndex));
  lines_[kMasterIndex].Slider->setAccessibleName(QStringLiteral("Master Volume"));
  Place(lines_[kMasterIndex].Slider, kSliderLeft[kMasterIndex], kSliderTop, MiniSlider::kWidthTwips,
        MiniSlider::kHeightTwips);
}

void MainForm::BuildAutoPilotArea() {
  aPlay_ = MakeImage(this, QStringLiteral("APlay"), ConsoleIcon::AutoPlay, 300, 150, QStringLiteral("AutoPilot Play"));
  aNext_ = MakeImage(this, QStringLiteral("ANext"), ConsoleIcon::AutoNext, 600, 150, QStringLiteral("AutoPilot Next"));
  aStop_ = MakeImage(this, QStringLiteral("AStop"), ConsoleIcon::AutoStop, 900, 150, QStringLiteral("AutoPilot Stop"));

  csLabel_ = MakeLabel(this, QStringLiteral("CSLabel"), QStringLiteral("Current Song:"), Qt::AlignLeft);
  Place(csLabel_, 1500, 120, 1300, 240);
  currentSong_ = MakeLabel(this, QStringLiteral("CurrentSong"), QStringLiteral("None."), Qt::AlignLeft,
                           QStringLiteral("Current Song"));
  Place(currentSong_, 2820, 120, 3420, 240);
  nsLabel_ = MakeLabel(this, QStringLiteral("NSLabel"), QStringLiteral("Next Song:"), Qt::AlignLeft);
  Place(nsLabel_, 1500, 420, 1300, 240);
  nextSong_ = MakeLabel(this, QStringLiteral("NextSong"), QString(), Qt::AlignLeft, QStringLiteral("Next Song"));
  Place(nextSong_, 2820, 420, 3420, 240);
  fading_ = MakeLabel(this, QStringLiteral("Fading"), QStringLiteral("Loading Next Song..."), Qt::AlignLeft);
  Place(fading_, 1500, 700, 3000, 240);
  fading_->hide();

  // The clock shares the top band, at its right end.
  lines_[kMasterIndex].Colon = MakeLabel(this, Indexed("Colon", kMasterIndex), QStringLiteral("12:00 PM"),
                                         Qt::AlignRight, QStringLiteral("Clock"));
  Place(lines_[kMasterIndex].Colon, 6360, 120, 2640, 300);
}

void MainForm::BuildCrossfader() {
  crossfader_ = Named(new marvane::MiniCrossfader(clock_, this), QStringLiteral("MiniCrossfader1"));
  crossfader_->setAccessibleName(QStringLiteral("Crossfader"));
  Place(crossfader_, kCrossfaderLeft, kCrossfaderTop, MiniCrossfader::kWidthTwips, MiniCrossfader::kHeightTwips);
  leftFade_ = MakeLabel(this, QStringLiteral("LeftFade"), QStringLiteral("<< Auto Fade"), Qt::AlignRight, {},
                        QAccessible::Button);
  Place(leftFade_, 1560, 5580, 1380, 270);
  fadeRight_ = MakeLabel(this, QStringLiteral("FadeRight"), QStringLiteral("Auto Fade >>"), Qt::AlignLeft, {},
                         QAccessible::Button);
  Place(fadeRight_, 6075, 5580, 1380, 270);
}

void MainForm::BuildButtonBar() {
  pList_ = MakeButt(this, QStringLiteral("PList"), QStringLiteral("Playlist"));
  stopAll_ = MakeButt(this, QStringLiteral("StopAll"), QStringLiteral("Stop All"));
  shuffButt_ = MakeButt(this, QStringLiteral("ShuffButt"), QStringLiteral("SmartRandom"));
  logButt_ = MakeButt(this, QStringLiteral("LogButt"), QStringLiteral("Logging"));
  micButt_ = MakeButt(this, QStringLiteral("MicButt"), QStringLiteral("Mic Level"));
  options1_ = MakeButt(this, QStringLiteral("Options1"), QStringLiteral("Options"));
  helpButt_ = MakeButt(this, QStringLiteral("HelpButt"), QStringLiteral("Help"));
  butt1_ = MakeButt(this, QStringLiteral("Butt1"), QStringLiteral("About"));
  exitButton_ = MakeButt(this, QStringLiteral("ExitButton"), QStringLiteral("Exit"));
  // Widths follow the captions; the bar runs from 120 to 9000 twips with 60 between buttons.
  const std::array<std::pair<Butt*, int>, 9> bar = {{{pList_, 960}, {stopAll_, 960}, {shuffButt_, 1260},
                                                     {logButt_, 960}, {micButt_, 960}, {options1_, 960},
                                                     {helpButt_, 780}, {butt1_, 780}, {exitButton_, 780}}};
  int left = 120;
  for (const auto& [butt, width] : bar) {
    Place(butt, left, 6150, width, 330);
    left += width + 60;
  }
}

void MainForm::BuildStatusAndLines() {
  status_ = MakeLabel(this, QStringLiteral("Status"), QString(), Qt::AlignLeft, QStringLiteral("Status"));
  Place(status_, 150, 6570, 8820, 270);

  auto makeLine = [this](int i, int left, int top, int width, int height) {
    auto* line = Named(new QFrame(this), QStringLiteral("Line%1").arg(i));
    SetAccessibleRole(line, QAccessible::Separator);
    line->setFrameShape(QFrame::NoFrame);
    line->setAutoFillBackground(true);
    Place(line, left, top, width, height);
    line->lower();
    dividers_[i - 1] = line;
  };
  // Line1 under the AutoPilot area, Line2 to Line8 between the columns, Line9 above the crossfader and
  // Line10 above the button bar.
  makeLine(1, 90, 990, 8940, 15);
  for (int n = 0; n < kLineCount; ++n) {
    const int between = (ColumnCentre(n) + ColumnCentre(n + 1)) / 2;
    makeLine(n + 2, between, kLineLabelTop, 15, kSliderTop + MiniSlider::kHeightTwips - kLineLabelTop);
  }
  makeLine(9, 90, 4950, 8940, 15);
  makeLine(10, 90, 6060, 8940, 15);
}

}  // namespace marvane
