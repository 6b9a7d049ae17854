// Tool tips and status help on the real main window: the whole tool-tip table, the status texts written by pointer
// movement over every kind of control, the live song texts, the hidden status line, and the credits line.

#include "console/statushelp.h"

#include "appearance/butt.h"
#include "appearance/pan.h"
#include "appearance/twips.h"
#include "console/imagebutton.h"
#include "console/mainform.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <QTest>

#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace marvane {
namespace {

// The table of tool tips, by control name; the line controls' names end in "_n" for lines 0 to 6 (Play and Stop
// on lines 1 to 6 only).
std::map<QString, QString> ExpectedTips() {
  const char* on = "When Green, sets the line to Always On, regardless of the Crossfader.";
  const char* left = "When Red, sets line to Left side of Crossfader.";
  const char* right = "When Red, sets line to Right side of Crossfader.";
  const char* loop = "Loop the file endlessly";
  const std::pair<const char*, const char*> perLine[] = {
      {"OpenW", "Open a sound file for play"}, {"LoopW", loop}, {"LoopR", loop}, {"OnG", on}, {"OnW", on},
      {"FadeLeftW", left}, {"FadeLeftR", left}, {"FadeRightW", right}, {"FadeRightR", right},
      {"Pan", "Pans the line from Right to Left."}, {"Slider", "Sets Volume on line."},
      {"Mute", "Mutes the line while holding the Left Mouse Button. Right Click to keep muted."},
      {"PlayButt", "Play"}, {"StopButt", "Stop"}};
  const std::pair<const char*, const char*> single[] = {
      {"MiniCrossfader1", "Crossfades the lines set to Left and lines set to Right."},
      {"LeftFade", "AutoFades to the Left."}, {"FadeRight", "AutoFades to the Right."},
      {"APlay", "Plays Playlist / Skips to Next Song"},
      {"AStop", "Click Once to stop after Current Song, twice to stop Now."},
      {"ANext", "Changes Next Song in Playlist."}, {"PList", "Playlist Editor"}, {"StopAll", "Stops all players"},
      {"MicButt", "Show Microphone Level Control"}, {"Butt1", "About MVN 1.40"}, {"LogButt", "Shows Logging"},
      {"ShuffButt", "SmartRandom"}, {"ExitButton", "Exits MVN"}, {"HelpButt", "Help"},
      {"Options1", "Options Dialog"}};
  std::map<QString, QString> tips;
  for (const auto& [name, text] : single) tips[QLatin1String(name)] = QLatin1String(text);
  for (int n = 0; n <= 6; ++n) {
    for (const auto& [base, text] : perLine) {
      if (n > 0 || !QByteArray(base).endsWith("Butt"))
        tips[QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(n)] = QLatin1String(text);
    }
  }
  return tips;
}

// Every control of the window that carries a tool tip, by name.
std::map<QString, QString> ShownTips(const MainForm& form) {
  std::map<QString, QString> tips;
  for (const QWidget* widget : form.findChildren<QWidget*>())
    if (!widget->toolTip().isEmpty()) tips[widget->objectName()] = widget->toolTip();
  return tips;
}

class StatusHelpTest : public ::testing::Test {
 protected:
  void ShowForm() {
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
  }
  QString StatusText() const { return form_.Status()->text(); }
  // Between the AutoPilot area and line 0's label: nothing stands there.
  QPoint BareBackground() const { return QPoint(2, form_.Line(0).LineLabel->y() - 3); }
  // Moves the pointer over the bare window and then to `at` inside `widget` (the middle when not given), and
  // returns the status text.
  QString StatusOver(QWidget* widget, std::optional<QPoint> at = std::nullopt) {
    QTest::mouseMove(&form_, BareBackground());
    if (!StatusText().isEmpty()) return QStringLiteral("<bare window did not clear the status line>");
    QTest::mouseMove(widget, at.value_or(widget->rect().center()));
    return StatusText();
  }

  MainForm form_;
  StatusHelp help_{form_};
};

// The whole table, and nothing else: the master's slider and mute carry no tool tip.
TEST_F(StatusHelpTest, ToolsOnSetsExactlyTheTableAndToolsOffClearsIt) {
  help_.ToolsOff();
  EXPECT_TRUE(ShownTips(form_).empty());
  help_.ToolsOn();
  const std::map<QString, QString> expected = ExpectedTips();
  ASSERT_EQ(expected.size(), 111u);
  EXPECT_EQ(ShownTips(form_), expected);
  EXPECT_EQ(form_.PList()->TipText(), QStringLiteral("Playlist Editor"));
  help_.ToolsOff();
  EXPECT_TRUE(ShownTips(form_).empty());
  EXPECT_EQ(form_.ExitButton()->TipText(), QString());
}

TEST_F(StatusHelpTest, PointerOverEachControlShowsItsStatusText) {
  ShowForm();
  const char* left = "Sets line to Left side of Crossfader";
  const char* right = "Sets line to Right side of Crossfader";
  const char* on = "Sets line to Always On";
  const char* loop = "Sets line to Loop mode";
  const std::pair<const char*, const char*> perLine[] = {
      {"FadeLeftW", left}, {"FadeLeftR", left}, {"FadeRightW", right}, {"FadeRightR", right}, {"OnG", on},
      {"OnW", on}, {"LoopW", loop}, {"LoopR", loop}, {"OpenW", "Opens a file"}, {"Mute", "Mutes Line"},
      {"Slider", "Adjusts Volume"}, {"PlayButt", "Plays file"}, {"StopButt", "Stops playback"}};
  std::vector<std::pair<QString, QString>> table = {  // control name, status text
      {QStringLiteral("MiniCrossfader1"), QStringLiteral("Crossfades lines set to Left and Right")},
      {QStringLiteral("LeftFade"), QStringLiteral("AutoFades to the Left")},
      {QStringLiteral("FadeRight"), QStringLiteral("AutoFades to the Right")},
      {QStringLiteral("ShuffButt"), QStringLiteral("Puts AutoPilot in SmartRandom Mode")},
      {QStringLiteral("PList"), QStringLiteral("Opens the Playlist Editor")},
      {QStringLiteral("StopAll"), QStringLiteral("Stops all players currently playing")},
      {QStringLiteral("MicButt"), QStringLiteral("Shows the Microphone Level control")},
      {QStringLiteral("Butt1"), QStringLiteral("Show the About Box and Credits")},
      {QStringLiteral("LogButt"), QStringLiteral("Shows the Played Songs log")},
      {QStringLiteral("ExitButton"), QStringLiteral("Exits Marvane")},
      {QStringLiteral("HelpButt"), QStringLiteral("Shows the Help file")},
      {QStringLiteral("Options1"), QStringLiteral("Opens the Options Dialog")},
      {QStringLiteral("Mute_7"), QStringLiteral("Mutes Line")},
      {QStringLiteral("Slider_7"), QStringLiteral("Adjusts Volume")}};
  for (int n = 0; n <= 6; ++n) {
    // Each fade mode and loop state is shown on some line, so every picture is in front somewhere.
    form_.ShowFadeMode(n, n % 3);
    form_.ShowLoop(n, n % 2 == 1);
    for (const auto& [base, text] : perLine) {
      const QString name = QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(n);
      const QWidget* widget = form_.findChild<QWidget*>(name);
      if (widget && !widget->isHidden() && form_.childAt(widget->geometry().center()) == widget)
        table.emplace_back(name, QLatin1String(text));
    }
    form_.Line(n).TitleLabel->setText(QStringLiteral("Title %1").arg(n));
    table.emplace_back(form_.Line(n).TitleLabel->objectName(), QStringLiteral("Title %1").arg(n));
  }
  // 14 single controls; per line 4 pictures in front, Open, Mute, Slider and the title; Play and Stop on lines 1-6.
  ASSERT_EQ(table.size(), 14u + 7 * 8 + 6 * 2);
  for (const auto& [name, text] : table)
    EXPECT_EQ(StatusOver(form_.findChild<QWidget*>(name)), text) << name.toStdString();
  // The pan raises its event over its knob only, which starts in the middle.
  const QPoint panKnob = TwipsToPixels(QPoint(Pan::kCentreLeft + Pan::kKnobWidth / 2, Pan::kHeightTwips / 2));
  for (int n = 0; n <= 6; ++n) EXPECT_EQ(StatusOver(form_.Line(n).Pan, panKnob), QStringLiteral("Pans line Left to Right"));
}

TEST_F(StatusHelpTest, SongLabelsShowTheirCaptionsAsTheyAreWhenThePointerMoves) {
  ShowForm();
  form_.CurrentSong()->setText(QStringLiteral("Blue Monday"));
  EXPECT_EQ(StatusOver(form_.CSLabel()), QStringLiteral("Current Song: Blue Monday"));
  form_.CurrentSong()->setText(QStringLiteral("None."));
  EXPECT_EQ(StatusOver(form_.CurrentSong()), QStringLiteral("Current Song: None."));
  form_.NextSong()->setText(QStringLiteral("Song Two"));
  EXPECT_EQ(StatusOver(form_.NSLabel()), QStringLiteral("Next Song: Song Two"));
  // With AutoPilot stopped the label says so, and the status line with it.
  form_.NSLabel()->setText(QStringLiteral("Next Song (Stopped):"));
  EXPECT_EQ(StatusOver(form_.NextSong()), QStringLiteral("Next Song (Stopped): Song Two"));
}

TEST_F(StatusHelpTest, StatusTextStaysUntilReplacedAndIsWrittenWhileHidden) {
  ShowForm();
  EXPECT_EQ(StatusOver(form_.PList()), QStringLiteral("Opens the Playlist Editor"));
  // The AutoPilot buttons write nothing; the status line itself keeps its text.
  QTest::mouseMove(form_.APlay());
  QTest::mouseMove(form_.AStop());
  QTest::mouseMove(form_.Status(), QPoint(40, 5));
  EXPECT_EQ(StatusText(), QStringLiteral("Opens the Playlist Editor"));
  QTest::mouseMove(&form_, BareBackground());
  EXPECT_EQ(StatusText(), QString());

  form_.Status()->hide();
  QTest::mouseMove(form_.Line(2).Mute);
  EXPECT_EQ(StatusText(), QStringLiteral("Mutes Line"));
  form_.Status()->show();
  EXPECT_EQ(StatusText(), QStringLiteral("Mutes Line"));
}

TEST_F(StatusHelpTest, RightClickWithShiftCtrlAndAltOnTheStatusLineShowsTheCredits) {
  ShowForm();
  QTest::mouseMove(form_.Butt1());
  const QString before = StatusText();
  const QPoint at(40, 5);
  // Anything short of all three keys with the right button leaves the text alone.
  QTest::mouseClick(form_.Status(), Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier, at);
  QTest::mouseClick(form_.Status(), Qt::RightButton, Qt::ControlModifier | Qt::AltModifier, at);
  QTest::mouseClick(form_.Status(), Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier, at);
  EXPECT_EQ(StatusText(), before);
  QTest::mouseClick(form_.Status(), Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier, at);
  EXPECT_FALSE(StatusHelp::kCredits.isEmpty());
  EXPECT_EQ(StatusText(), StatusHelp::kCredits);
  // The status line is not one of the places that open the right-click menu.
  EXPECT_FALSE(form_.RCMenu()->isVisible());
}

}  // namespace
}  // namespace marvane
