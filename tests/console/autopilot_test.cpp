// AutoPilot on the real main window and engine, rendering offline: hand-overs, stops, the stall watchdog.

#include "console/autopilot.h"

#include "appearance/colorvalue.h"
#include "consolefixture.h"
#include "playlist/nextsongchooser.h"
#include "playlist/playlist.h"

#include <QFileInfo>


namespace marvane::test {
namespace {

constexpr double kTick = 0.3;  // the main timer's interval

// Amplitude of one frequency in the 0.1 s of a mono render from `seconds` on.
double ToneLevel(const std::vector<float>& render, double seconds, double frequency) {
  const auto from = render.begin() + static_cast<int>(seconds * 44100);
  return ToneAmplitude(std::vector<float>(from, from + 4410), frequency, 44100);
}

class AutoPilotTest : public ConsoleTest {
 protected:
  AutoPilotTest() {
    state_.FadeSeconds = 3, state_.SpinUp = 5, state_.NoRep = 10;
    // The list loops: in list order, choosing the last entry ends AutoPilot unless the AutoPilot line loops.
    state_.AutoPilotLoop = true;
    autoPilot_.logSong = [this](const QString& file) { logged_ << QFileInfo(file).completeBaseName(); };
    form_.Line(0).Slider->SetValue(100);
  }

  QString Song(const QString& name, double hz, double seconds) {
    return MakeFile(dir_.path(), name + u".wav"_s, u"0.25*sin(2*PI*%1*t)"_s.arg(hz), seconds, "-c:a pcm_s16le");
  }

  // Lets the players' finished opens and ends reach the console.
  void Settle() {
    WaitFor([this] { return engine_.AP(0).OpenState() != 5 && engine_.AP(1).OpenState() != 5; }, 5000);
    QTest::qWait(15);
  }

  // One main-timer interval: the audio of the interval, then the AutoPilot tick, as the timer runs it.
  std::vector<float> Step() {
    std::vector<float> audio = audio_.Render(kTick);
    Settle();
    autoPilot_.Tick();
    Settle();
    return audio;
  }

  void PlayList(const QStringList& songs) {
    playlist_.ListItems = songs;
    playlist_.ListItemCount = static_cast<int>(songs.size());
    autoPilot_.Chooser().ChooseNextSong();
    autoPilot_.APlay();
    Settle();
  }

  // The left channel of `steps` timer intervals.
  std::vector<float> Run(int steps) {
    std::vector<float> render;
    for (int step = 0; step < steps; ++step) std::ranges::copy(Step(), std::back_inserter(render));
    return Channel(render, 0);
  }

  Playlist playlist_;
  QRandomGenerator random_{42};
  QStringList logged_;  // the songs AutoPilot asked to log
  AutoPilot autoPilot_{form_, engine_, settings_, state_, colors_, playlist_, dialogs_, console_.Rule(), random_};
};

// Three 15-second songs, FadeSeconds 3 and SpinUp 5: each next song opens when 8 s remain and starts when 3 s
// remain (the sound of the overlap is checked on an offline render of a set, in desktop_test).
TEST_F(AutoPilotTest, HandsOverWithAnOverlapOfFadeSeconds) {
  playlist_.ListItems = {Song(u"song1"_s, 441, 15.0), Song(u"song2"_s, 661.5, 15.0), Song(u"song3"_s, 882, 15.0)};
  playlist_.ListItemCount = 3;
  autoPilot_.Chooser().ChooseNextSong();
  EXPECT_EQ(form_.NextSong()->text(), u"song1"_s);
  QTest::mouseClick(form_.APlay(), Qt::LeftButton, {}, QPoint(8, 8));
  ASSERT_TRUE(state_.AutoPilotOn);
  Settle();
  ASSERT_EQ(engine_.AP(autoPilot_.CurrentAP()).PlayState(), 2);
  EXPECT_EQ(std::pair(form_.CurrentSong()->text(), form_.NextSong()->text()), std::pair(u"song1"_s, u"song2"_s));

  QList<double> openedAt, startedAt;  // remaining time of the current song at each early open and start
  int current = autoPilot_.CurrentAP();
  bool fadingShown = false;
  for (int step = 0; step < 200 && playlist_.PlayedList.size() < 4; ++step) {
    const MediaPlayer& playing = engine_.AP(autoPilot_.CurrentAP());
    const double remainingBefore = playing.Duration() - playing.CurrentPosition();
    Step();
    if (form_.Fading()->isVisibleTo(&form_) && !fadingShown) openedAt << remainingBefore - kTick;
    fadingShown = form_.Fading()->isVisibleTo(&form_);
    if (autoPilot_.CurrentAP() != current) {
      startedAt << remainingBefore - kTick;
      current = autoPilot_.CurrentAP();
    }
  }
  ASSERT_TRUE(openedAt.size() >= 2 && startedAt.size() >= 2);
  for (double remaining : openedAt) EXPECT_NEAR(remaining, 8.0, kTick + 0.05);
  for (double remaining : startedAt) EXPECT_NEAR(remaining, 3.0, kTick + 0.05);

  // List order 1, 2, 3, 1 as the list loops, each logged and put at the front of the played songs.
  EXPECT_EQ(logged_, (QStringList{u"song1"_s, u"song2"_s, u"song3"_s, u"song1"_s}));
  EXPECT_EQ(playlist_.PlayedList, (QStringList{playlist_.ListItems[0], playlist_.ListItems[2],
                                               playlist_.ListItems[1], playlist_.ListItems[0]}));
}

// With songs of 6 s or less (FadeSeconds 3) there is no overlap: the next song starts when the current one ends.
TEST_F(AutoPilotTest, ShortSongsAreNotOverlapped) {
  PlayList({Song(u"long"_s, 441, 10.0), Song(u"short"_s, 882, 5.5)});
  const std::vector<float> left = Run(60);
  for (double t = 0.0; t + 0.1 < left.size() / 44100.0; t += 0.1)
    EXPECT_FALSE(ToneLevel(left, t, 441) > 0.05 && ToneLevel(left, t, 882) > 0.05) << "both at " << t << " s";
  EXPECT_EQ(logged_.mid(0, 2), (QStringList{u"long"_s, u"short"_s}));
}

TEST_F(AutoPilotTest, StopOncePlaysToTheEndPlayWhileRunningCutsOverAndStopTwiceStopsAtOnce) {
  autoPilot_.APlay();  // an empty list: nothing happens
  EXPECT_FALSE(state_.AutoPilotOn);
  EXPECT_EQ(engine_.AP(0).FileName(), QString());

  PlayList({Song(u"a"_s, 441, 4.0), Song(u"b"_s, 882, 4.0)});
  Step();
  autoPilot_.AStop();
  EXPECT_TRUE(!state_.AutoPilotOn && form_.NSLabel()->text() == u"Next Song (Stopped):"_s);
  EXPECT_EQ(engine_.AP(autoPilot_.CurrentAP()).PlayState(), 2);  // plays on
  Run(20);
  EXPECT_TRUE(engine_.AP(0).PlayState() != 2 && engine_.AP(1).PlayState() != 2);
  EXPECT_EQ(form_.CurrentSong()->text(), u"None."_s);
  EXPECT_EQ(logged_, QStringList{u"a"_s});  // nothing followed

  autoPilot_.APlay();
  Settle();
  Step();
  const int first = autoPilot_.CurrentAP();
  EXPECT_EQ(form_.CurrentSong()->text(), u"b"_s);
  autoPilot_.APlay();  // while running: cuts to the next song on the other player
  Settle();
  const int current = autoPilot_.CurrentAP();
  EXPECT_NE(current, first);
  EXPECT_EQ(std::pair(engine_.AP(first).PlayState(), engine_.AP(current).PlayState()), std::pair(kStopped, kPlaying));
  EXPECT_EQ(form_.CurrentSong()->text(), u"a"_s);
  autoPilot_.AStop();
  autoPilot_.AStop();
  EXPECT_EQ(std::pair(engine_.AP(current).PlayState(), engine_.AP(current).CurrentPosition()),
            std::pair(kStopped, 0.0));
  EXPECT_EQ(form_.CurrentSong()->text(), u"None."_s);
}

TEST_F(AutoPilotTest, NextAfterTheEarlyOpenOpensTheNewChoiceForTheHandOver) {
  PlayList({Song(u"a"_s, 441, 10.0), Song(u"b"_s, 661.5, 10.0), Song(u"c"_s, 882, 10.0)});
  while (!form_.Fading()->isVisibleTo(&form_) && state_.AutoPilotOn) Step();
  const int other = 1 - autoPilot_.CurrentAP();
  EXPECT_EQ(engine_.AP(other).FileName(), playlist_.ListItems[1]);
  autoPilot_.ANext();  // list order: c is next now
  EXPECT_EQ(form_.NextSong()->text(), u"c"_s);
  Step();
  EXPECT_EQ(engine_.AP(other).FileName(), playlist_.ListItems[2]);
  const int before = autoPilot_.CurrentAP();
  while (autoPilot_.CurrentAP() == before && state_.AutoPilotOn) Step();
  EXPECT_EQ(form_.CurrentSong()->text(), u"c"_s);
}

TEST_F(AutoPilotTest, ASongThatNeverStartsIsReplacedAfterTheStallLimit) {
  const QString broken = dir_.filePath(u"broken.wav"_s);
  WriteBytes(broken, QByteArray(4096, 'x'));
  PlayList({broken, Song(u"good"_s, 441, 10.0)});
  EXPECT_NE(engine_.AP(autoPilot_.CurrentAP()).PlayState(), 2);
  for (int tick = 1; tick < 5; ++tick) {
    Step();
    EXPECT_EQ(autoPilot_.StallTicks(), tick);
  }
  Step();  // the fifth stalled tick chooses again and starts
  EXPECT_EQ(std::pair(engine_.AP(autoPilot_.CurrentAP()).PlayState(), form_.CurrentSong()->text()),
            std::pair(kPlaying, u"good"_s));
}

TEST_F(AutoPilotTest, SmartRandomButtonTogglesColoursAndIsSaved) {
  for (const bool on : {true, false}) {
    QTest::mouseClick(form_.ShuffButt(), Qt::LeftButton);
    EXPECT_EQ(state_.SmartRandom, on);
    EXPECT_EQ(form_.ShuffButt()->CaptionColor(), ColorFromValue(on ? colors_.HiliteColor : colors_.TextColor));
    EXPECT_EQ(settings_.ReadSetting(keys::kRandom, QString()), on ? u"True"_s : u"False"_s);
  }
}

}  // namespace
}  // namespace marvane::test
