// Opening, playing and stopping a line's file on the real main window and engine, and Stop All.

#include "appearance/twipmouse.h"
#include "console/linetransport.h"
#include "consolefixture.h"

namespace marvane::test {
namespace {

class TransportTest : public ConsoleTest {
 protected:
  void OpenOnLine(int n, const QString& path) {
    dialogs_.openAnswers.push_back(path);
    QTest::mouseClick(form_.Line(n).OpenW, Qt::LeftButton, {}, QPoint(8, 8));
    ASSERT_TRUE(WaitFor([&] { return engine_.Player(n).OpenState() != 5; }));
  }
};

TEST_F(TransportTest, OpeningAFileAsksWithTheLinesDialogLoadsItStoppedAndRefusesOtherFiles) {
  const QString tone = Tone(u"Opening Track.WAV"_s);  // the extension test ignores case
  OpenOnLine(2, tone);
  ASSERT_EQ(dialogs_.openRequests.size(), 1);
  EXPECT_EQ(std::pair(dialogs_.openRequests[0].title, dialogs_.openRequests[0].folder),
            std::pair(u"Open a file on line 2"_s, dir_.path()));
  EXPECT_EQ(std::pair(engine_.Player(2).OpenState(), engine_.Player(2).PlayState()), std::pair(kOpen, kStopped));
  // The title and the remembered file change at once, before any Play.
  EXPECT_EQ(form_.Line(2).TitleLabel->text(), u"Opening Track"_s);
  EXPECT_EQ(settings_.ReadSetting(keys::File(2), QString()), tone);
  EXPECT_EQ(settings_.ReadSetting(keys::kPath, QString()), dir_.path() + QLatin1Char('/'));

  // The sound endings are those of a title drop (playlistflow_test); a file of another kind is refused.
  dialogs_.openAnswers.push_back(WriteBytes(dir_.filePath(u"notes.text"_s), "x"));
  console_.Transport().FileOpen(3);
  dialogs_.openAnswers.push_back(dir_.filePath(u"missing.wav"_s));
  console_.Transport().FileOpen(3);
  EXPECT_EQ(dialogs_.MessageTexts(), QStringList(2, u"Error loading file."_s));
  EXPECT_EQ(std::pair(engine_.Player(3).FileName(), form_.Line(3).TitleLabel->text()), std::pair(QString(), u"None"_s));
  console_.Transport().FileOpen(4);  // Cancel ends the operation silently
  EXPECT_EQ(dialogs_.messages.size(), 2);
}

TEST_F(TransportTest, PlayActsOnlyWhenReleasedInsideTheButtonAndOnlyOnALoadedLine) {
  QTest::mouseClick(form_.Line(6).PlayButt, Qt::LeftButton, {}, QPoint(8, 8));
  EXPECT_EQ(engine_.Player(6).PlayState(), 0);

  OpenOnLine(1, Tone(u"one.wav"_s));
  ImageButton* play = form_.Line(1).PlayButt;
  // Pressed, moved out of the 16-pixel square and released there: nothing.
  QTest::mousePress(play, Qt::LeftButton, {}, QPoint(8, 8));
  EXPECT_TRUE(play->HasBorder());
  MoveTo(play, {600, 120}, Qt::LeftButton);
  EXPECT_FALSE(play->HasBorder());
  QTest::mouseRelease(play, Qt::LeftButton, {}, QPoint(40, 8));
  EXPECT_EQ(engine_.Player(1).PlayState(), 0);

  // Moving back inside before the release plays, from the start.
  engine_.Player(1).SetCurrentPosition(1.0);
  QTest::mousePress(play, Qt::LeftButton, {}, QPoint(8, 8));
  MoveTo(play, {600, 120}, Qt::LeftButton);
  MoveTo(play, {225, 225}, Qt::LeftButton);
  EXPECT_TRUE(play->HasBorder());
  QTest::mouseRelease(play, Qt::LeftButton, {}, QPoint(15, 15));
  EXPECT_TRUE(engine_.Player(1).PlayState() == 2 && engine_.Player(1).CurrentPosition() < 0.5);
  EXPECT_EQ(form_.Line(1).LineLabel->palette().color(QPalette::WindowText), QColor(0xFF, 0, 0));

  QTest::mouseClick(form_.Line(1).StopButt, Qt::LeftButton, {}, QPoint(8, 8));
  EXPECT_EQ(std::pair(engine_.Player(1).PlayState(), engine_.Player(1).CurrentPosition()), std::pair(kStopped, 0.0));
  EXPECT_EQ(form_.Line(1).LineLabel->palette().color(QPalette::WindowText), QColor(0xE0, 0xE0, 0xE0));
}

TEST_F(TransportTest, StopAllStopsPlayingLinesAndLeavesTheOthersAlone) {
  OpenOnLine(1, Tone(u"one.wav"_s));
  OpenOnLine(2, Tone(u"two.wav"_s));
  console_.Transport().PlayButt(1);
  audio_.Render(0.3);
  engine_.Player(2).SetCurrentPosition(1.25);  // loaded, not playing, cued
  state_.AutoPilotOn = true;
  QTest::mouseClick(form_.StopAll(), Qt::LeftButton);
  EXPECT_EQ(std::pair(engine_.Player(1).PlayState(), engine_.Player(1).CurrentPosition()), std::pair(kStopped, 0.0));
  EXPECT_DOUBLE_EQ(engine_.Player(2).CurrentPosition(), 1.25);
  EXPECT_FALSE(state_.AutoPilotOn);
}

TEST_F(TransportTest, EverySongThatStartsIsLoggedWhenLoggingAll) {
  QStringList logged;
  console_.Transport().logSong = [&](const QString& file) { logged << file; };
  const QString one = Tone(u"one.wav"_s);
  OpenOnLine(1, one);
  for (bool logAll : {false, true}) {
    state_.LogAll = logAll;
    console_.Transport().PlayButt(1), console_.Transport().StopButt(1);
  }
  EXPECT_EQ(logged, QStringList{one});
}

}  // namespace
}  // namespace marvane::test
