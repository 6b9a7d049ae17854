// Tool tips and status help on the real main window: the tool-tip table in its order, the status texts written by
// pointer movement over every kind of control, the live song texts, the hidden status line, and the credits line.

#include "console/statushelp.h"

#include "appearance/butt.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "appearance/pan.h"
#include "appearance/twips.h"
#include "console/imagebutton.h"
#include "console/mainform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include <optional>
#include <utility>
#include <vector>

namespace marvane {
namespace {

using Tip = std::pair<QString, QString>;  // control name, tool tip

// Records every tool-tip change of a widget, in order.
class TipRecorder : public QObject {
 public:
  TipRecorder() { qApp->installEventFilter(this); }
  ~TipRecorder() override { qApp->removeEventFilter(this); }
  std::vector<Tip> changes;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ToolTipChange) {
      if (auto* widget = qobject_cast<QWidget*>(watched)) changes.emplace_back(widget->objectName(), widget->toolTip());
    }
    return false;
  }
};

// The table of tool tips, written out as the console documents it.
std::vector<Tip> ExpectedTips() {
  std::vector<Tip> tips;
  auto add = [&tips](const QString& name, const char* text) { tips.emplace_back(name, QString::fromUtf8(text)); };
  for (int n = 0; n <= 6; ++n) {
    auto at = [n](const char* base) { return QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(n); };
    if (n >= 1) {
      add(at("PlayButt"), "Play");
      add(at("StopButt"), "Stop");
    }
    add(at("OpenW"), "Open a sound file for play");
    add(at("LoopW"), "Loop the file endlessly");
    add(at("LoopR"), "Loop the file endlessly");
    add(at("OnG"), "When Green, sets the line to Always On, regardless of the Crossfader.");
    add(at("OnW"), "When Green, sets the line to Always On, regardless of the Crossfader.");
    add(at("FadeLeftW"), "When Red, sets line to Left side of Crossfader.");
    add(at("FadeLeftR"), "When Red, sets line to Left side of Crossfader.");
    add(at("FadeRightW"), "When Red, sets line to Right side of Crossfader.");
    add(at("FadeRightR"), "When Red, sets line to Right side of Crossfader.");
    add(at("Pan"), "Pans the line from Right to Left.");
    add(at("Mute"), "Mutes the line while holding the Left Mouse Button. Right Click to keep muted.");
    add(at("Slider"), "Sets Volume on line.");
  }
  add(QStringLiteral("MiniCrossfader1"), "Crossfades the lines set to Left and lines set to Right.");
  add(QStringLiteral("LeftFade"), "AutoFades to the Left.");
  add(QStringLiteral("FadeRight"), "AutoFades to the Right.");
  add(QStringLiteral("APlay"), "Plays Playlist / Skips to Next Song");
  add(QStringLiteral("AStop"), "Click Once to stop after Current Song, twice to stop Now.");
  add(QStringLiteral("ANext"), "Changes Next Song in Playlist.");
  add(QStringLiteral("PList"), "Playlist Editor");
  add(QStringLiteral("StopAll"), "Stops all players");
  add(QStringLiteral("MicButt"), "Show Microphone Level Control");
  add(QStringLiteral("Butt1"), "About MVN 1.40");
  add(QStringLiteral("LogButt"), "Shows Logging");
  add(QStringLiteral("ShuffButt"), "SmartRandom");
  add(QStringLiteral("ExitButton"), "Exits MVN");
  add(QStringLiteral("HelpButt"), "Help");
  add(QStringLiteral("Options1"), "Options Dialog");
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
  QPoint BareBackground() const { return QPoint(2, form_.LineLabel(0)->y() - 3); }
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

TEST_F(StatusHelpTest, ToolsOnSetsTheWholeTableInOrderAndToolsOffClearsTheSameControls) {
  const std::vector<Tip> expected = ExpectedTips();
  ASSERT_EQ(expected.size(), 111u);
  {
    TipRecorder recorder;
    help_.ToolsOn();
    EXPECT_EQ(recorder.changes, expected);
  }
  for (const auto& [name, text] : expected)
    EXPECT_EQ(form_.findChild<QWidget*>(name)->toolTip(), text) << name.toStdString();
  EXPECT_EQ(form_.PList()->TipText(), QStringLiteral("Playlist Editor"));
  // The master's slider and mute carry no tool tip.
  EXPECT_EQ(form_.Slider(7)->toolTip(), QString());
  EXPECT_EQ(form_.Mute(7)->toolTip(), QString());

  {
    TipRecorder recorder;
    help_.ToolsOff();
    ASSERT_EQ(recorder.changes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(recorder.changes[i].first, expected[i].first) << i;
      EXPECT_EQ(recorder.changes[i].second, QString()) << i;
    }
  }
  for (QWidget* widget : form_.findChildren<QWidget*>())
    EXPECT_EQ(widget->toolTip(), QString()) << widget->objectName().toStdString();
  EXPECT_EQ(form_.ExitButton()->TipText(), QString());
}

TEST_F(StatusHelpTest, WithToolTipsOffAtStartUpNoControlHasATipUntilTurnedOn) {
  help_.ToolsOff();
  for (QWidget* widget : form_.findChildren<QWidget*>())
    EXPECT_EQ(widget->toolTip(), QString()) << widget->objectName().toStdString();
  help_.ToolsOn();
  EXPECT_EQ(form_.OpenW(1)->toolTip(), QStringLiteral("Open a sound file for play"));
}

TEST_F(StatusHelpTest, PointerOverEachLineControlShowsItsStatusText) {
  ShowForm();
  const QString left = QStringLiteral("Sets line to Left side of Crossfader");
  const QString right = QStringLiteral("Sets line to Right side of Crossfader");
  const QString on = QStringLiteral("Sets line to Always On");
  const QString loop = QStringLiteral("Sets line to Loop mode");
  // The pan raises its event over its knob only, which starts in the middle.
  const QPoint panKnob = TwipsToPixels(QPoint(marvane::Pan::kCentreLeft + marvane::Pan::kKnobWidth / 2,
                                              marvane::Pan::kHeightTwips / 2));
  for (int n = 0; n <= 6; ++n) {
    SCOPED_TRACE(n);
    // Always On shows the unlit Left and Right pictures and the lit On picture.
    form_.ShowFadeMode(n, 1);
    EXPECT_EQ(StatusOver(form_.FadeLeftW(n)), left);
    EXPECT_EQ(StatusOver(form_.FadeRightW(n)), right);
    EXPECT_EQ(StatusOver(form_.OnG(n)), on);
    form_.ShowFadeMode(n, 0);
    EXPECT_EQ(StatusOver(form_.FadeLeftR(n)), left);
    EXPECT_EQ(StatusOver(form_.OnW(n)), on);
    form_.ShowFadeMode(n, 2);
    EXPECT_EQ(StatusOver(form_.FadeRightR(n)), right);
    form_.ShowFadeMode(n, 1);
    form_.ShowLoop(n, true);
    EXPECT_EQ(StatusOver(form_.LoopR(n)), loop);
    form_.ShowLoop(n, false);
    EXPECT_EQ(StatusOver(form_.LoopW(n)), loop);

    EXPECT_EQ(StatusOver(form_.OpenW(n)), QStringLiteral("Opens a file"));
    if (n >= 1) {
      EXPECT_EQ(StatusOver(form_.PlayButt(n)), QStringLiteral("Plays file"));
      EXPECT_EQ(StatusOver(form_.StopButt(n)), QStringLiteral("Stops playback"));
    }
    EXPECT_EQ(StatusOver(form_.Pan(n), panKnob), QStringLiteral("Pans line Left to Right"));
    form_.TitleLabel(n)->setText(QStringLiteral("Title %1").arg(n));
    EXPECT_EQ(StatusOver(form_.TitleLabel(n)), QStringLiteral("Title %1").arg(n));
  }
  for (int n = 0; n <= 7; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(StatusOver(form_.Mute(n)), QStringLiteral("Mutes Line"));
    EXPECT_EQ(StatusOver(form_.Slider(n)), QStringLiteral("Adjusts Volume"));
  }
}

TEST_F(StatusHelpTest, PointerOverTheCrossfaderAndButtonBarShowsTheirStatusTexts) {
  ShowForm();
  const std::vector<std::pair<QWidget*, QString>> table = {
      {form_.MiniCrossfader1(), QStringLiteral("Crossfades lines set to Left and Right")},
      {form_.LeftFade(), QStringLiteral("AutoFades to the Left")},
      {form_.FadeRight(), QStringLiteral("AutoFades to the Right")},
      {form_.ShuffButt(), QStringLiteral("Puts AutoPilot in SmartRandom Mode")},
      {form_.PList(), QStringLiteral("Opens the Playlist Editor")},
      {form_.StopAll(), QStringLiteral("Stops all players currently playing")},
      {form_.MicButt(), QStringLiteral("Shows the Microphone Level control")},
      {form_.Butt1(), QStringLiteral("Show the About Box and Credits")},
      {form_.LogButt(), QStringLiteral("Shows the Played Songs log")},
      {form_.ExitButton(), QStringLiteral("Exits Marvane")},
      {form_.HelpButt(), QStringLiteral("Shows the Help file")},
      {form_.Options1(), QStringLiteral("Opens the Options Dialog")},
  };
  for (const auto& [widget, text] : table) EXPECT_EQ(StatusOver(widget), text) << widget->objectName().toStdString();
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

TEST_F(StatusHelpTest, StatusTextStaysUntilAnotherControlOrTheBareWindowReplacesIt) {
  ShowForm();
  EXPECT_EQ(StatusOver(form_.PList()), QStringLiteral("Opens the Playlist Editor"));
  // The AutoPilot buttons and the line names write nothing; the status line itself keeps its text.
  QTest::mouseMove(form_.APlay());
  QTest::mouseMove(form_.AStop());
  QTest::mouseMove(form_.Status(), QPoint(40, 5));
  EXPECT_EQ(StatusText(), QStringLiteral("Opens the Playlist Editor"));
  QTest::mouseMove(form_.StopAll());
  EXPECT_EQ(StatusText(), QStringLiteral("Stops all players currently playing"));
  QTest::mouseMove(&form_, BareBackground());
  EXPECT_EQ(StatusText(), QString());
}

TEST_F(StatusHelpTest, HiddenStatusLineStillTakesTextsAndShowsThemWhenMadeVisible) {
  ShowForm();
  form_.Status()->hide();
  QTest::mouseMove(form_.MicButt());
  EXPECT_EQ(StatusText(), QStringLiteral("Shows the Microphone Level control"));
  QTest::mouseMove(form_.Mute(2));
  EXPECT_EQ(StatusText(), QStringLiteral("Mutes Line"));
  form_.Status()->show();
  EXPECT_TRUE(form_.Status()->isVisible());
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
  EXPECT_EQ(StatusText(), StatusHelp::kCredits);
  EXPECT_FALSE(StatusHelp::kCredits.isEmpty());
  // The status line is not one of the places that open the right-click menu.
  EXPECT_FALSE(form_.RCMenu()->isVisible());
}

}  // namespace
}  // namespace marvane
