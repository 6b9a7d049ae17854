// The program on a simulated clock: the main timer, AutoPilot, the song log, the crossfader and the sound keep the
// clock's time, as a soak test or an offline render runs them.

#include "app/apptestfixture.h"
#include "appearance/minicrossfader.h"
#include "audio/audioengine.h"
#include "audio/audiotestutil.h"
#include "audio/mediaplayer.h"
#include "audio/offlineclock.h"
#include "common/simulatedclock.h"
#include "console/autopilot.h"
#include "console/timetext.h"
#include "settings/profilefile.h"
#include "songlog/songlog.h"

namespace marvane::test {
namespace {

class SimulatedClockTest : public AppTest {
 protected:
  SimulatedClockTest() { clock_ = &simulated_; }
  // The program's timers go before the clock they run on.
  ~SimulatedClockTest() override { app_.reset(); }
  // Ten seconds before midnight, so that the second song of a run is logged on the next day.
  const QDateTime origin_{QDate(2026, 12, 5), QTime(23, 59, 50)};
  SimulatedClock simulated_{origin_};
};

// Two 20-second songs, FadeSeconds 3 and SpinUp 5, main timer 300 ms: the first starts as APlay is pressed, the
// second at the first tick where no more than 3 s remain (17.1 s); each log entry carries the clock's date and
// time 500 ms after its song's start, the second on the next day.
TEST_F(SimulatedClockTest, AutoPilotHandsOverAndLogsAtTheClocksTimes) {
  const QString a = MakeFile(dir_.path(), u"low.wav"_s, u"0.5*sin(2*PI*441*t)"_s, 20.0, "-c:a pcm_s16le");
  const QString b = MakeFile(dir_.path(), u"high.wav"_s, u"0.5*sin(2*PI*882*t)"_s, 20.0, "-c:a pcm_s16le");
  ASSERT_FALSE(a.isEmpty() || b.isEmpty()) << "the ffmpeg command-line tool is needed to make files";
  const QString logFile = Path(u"songs.log"_s);
  store_.WriteSetting(keys::kPlayList, WriteBytes(Path(u"set.m3u"_s), (a + u'\n' + b + u'\n').toUtf8()));
  store_.WriteSetting(keys::kLogging, true);
  store_.WriteSetting(keys::kLogFile, logFile);
  store_.WriteSetting(keys::Loop(0), true);  // else choosing the last entry ends AutoPilot
  ASSERT_TRUE(Start());
  OfflineClock offline(simulated_, *app_->Engine());
  app_->AutoPilotParts()->APlay();
  simulated_.Advance(18000);

  const ProfileFile log = ProfileFile::Load(logFile);
  for (const auto& [n, song, ms] : {std::tuple{1, u"low"_s, 500}, {2, u"high"_s, 17600}}) {
    const QDateTime at = origin_.addMSecs(ms);
    EXPECT_EQ(log.Value(u"Songs"_s, u"%1 File"_s.arg(n)), song);
    EXPECT_EQ(log.Value(u"Songs"_s, u"%1 Date"_s.arg(n)), SongLog::DateText(at.date(), QLocale::system())) << n;
    EXPECT_EQ(log.Value(u"Songs"_s, u"%1 Time"_s.arg(n)), SongLog::TimeText(at.time(), QLocale::system())) << n;
  }
  EXPECT_EQ(app_->Form()->Line(7).Colon->text(), ClockCaption(origin_.addMSecs(18000)));
}

// From the middle at Speed 50 an auto-fade to the left takes 23 ticks of 55 ms of the clock's time.
TEST_F(SimulatedClockTest, CrossfaderAutoFadeTakesItsTicksOfTheClocksTime) {
  ASSERT_TRUE(Start());
  MiniCrossfader* fader = app_->Form()->MiniCrossfader1();
  fader->AutoFadeLeft();
  simulated_.Advance(23 * 55 - 1);
  EXPECT_TRUE(fader->IsFadingLeft());
  EXPECT_DOUBLE_EQ(fader->Position(), 1140 - 22 * 50);
  simulated_.Advance(1);
  EXPECT_FALSE(fader->IsFadingLeft());
  EXPECT_DOUBLE_EQ(fader->Position(), 0);
}

}  // namespace
}  // namespace marvane::test
