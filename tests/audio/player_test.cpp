// The player as the console uses it: events and their timing, positions, seeking, looping, the end of a file.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <optional>

#include "audiotestutil.h"

namespace marvane {
namespace {

using test::EventLog;
using Ev = test::EventLog::Event;

constexpr double kPi = 3.14159265358979323846;

// The files are made once, before any engine exists: forking the ffmpeg tool from a process that already runs
// decoder threads is what thread checkers (rightly) refuse to reason about.
class PlayerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new QTemporaryDir();
    // 441 Hz at 44.1 kHz: exactly 100 samples a cycle, so a whole-second file loops without a seam.
    tone_ = test::MakeFile(dir_->path(), QStringLiteral("tone.wav"), QStringLiteral("0.5*sin(2*PI*441*t)"), 1.0,
                           {QStringLiteral("-c:a"), QStringLiteral("pcm_f32le")});
    // A ramp whose value tells the time: 0.1 per second.
    ramp_ = test::MakeFile(dir_->path(), QStringLiteral("ramp.wav"), QStringLiteral("t/10"), 8.0,
                           {QStringLiteral("-c:a"), QStringLiteral("pcm_f32le")});
    toneMp3_ = test::MakeFile(dir_->path(), QStringLiteral("tone.mp3"), QStringLiteral("0.5*sin(2*PI*441*t)"), 1.0,
                              {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-b:a"),
                               QStringLiteral("192k")});
    // A rising sweep never repeats, so a piece of it shows exactly where in the file it comes from.
    sweep_ = test::MakeFile(dir_->path(), QStringLiteral("sweep.mp3"), QStringLiteral("0.5*sin(2*PI*(200*t+150*t*t))"),
                            3.0, {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-b:a"),
                                  QStringLiteral("192k")});
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    ASSERT_FALSE(tone_.isEmpty() || ramp_.isEmpty() || sweep_.isEmpty() || toneMp3_.isEmpty()) << "the ffmpeg command-line tool is needed to make test files";
    engine_.emplace();
  }
  MediaPlayer& P() { return engine_->engine->Player(1); }

  static inline QTemporaryDir* dir_ = nullptr;
  static inline QString tone_;
  static inline QString ramp_;
  static inline QString sweep_;
  static inline QString toneMp3_;
  std::optional<test::OfflineEngine> engine_;
};

TEST_F(PlayerTest, OpenRaisesOpeningInsideTheCallAndOpenLater) {
  EventLog log(P());
  P().SetAutoStart(false);
  P().Open(tone_);
  EXPECT_EQ(P().FileName(), tone_);
  EXPECT_EQ(P().OpenState(), 5);
  EXPECT_EQ(log.events, (std::vector<Ev>{{'o', 0, 5}}));
  EXPECT_DOUBLE_EQ(P().Duration(), 0.0);
  ASSERT_TRUE(test::WaitFor([&] { return P().OpenState() == 6; }));
  EXPECT_EQ(log.events, (std::vector<Ev>{{'o', 0, 5}, {'o', 5, 6}}));
  EXPECT_NEAR(P().Duration(), 1.0, 0.01);
  EXPECT_EQ(P().PlayState(), 0);
}

TEST_F(PlayerTest, PlayAndStopRaiseTheirEventsInsideTheCall) {
  ASSERT_EQ(test::OpenAndWait(P(), tone_), 6);
  EventLog log(P());
  P().Play();
  EXPECT_EQ(log.events, (std::vector<Ev>{{'p', 0, 2}}));
  EXPECT_EQ(P().PlayState(), 2);
  P().Play();  // already playing: nothing
  P().Stop();
  EXPECT_EQ(log.events, (std::vector<Ev>{{'p', 0, 2}, {'p', 2, 0}}));
  P().Stop();  // already stopped: nothing
  EXPECT_EQ(log.events.size(), 2u);
}

TEST_F(PlayerTest, AutoStartPlaysOnceOpenAndAHandlerMayPlayFromTheOpenEvent) {
  EventLog log(P());
  P().SetAutoStart(true);
  P().Open(tone_);
  ASSERT_TRUE(test::WaitFor([&] { return P().PlayState() == 2; }));
  EXPECT_EQ(log.events, (std::vector<Ev>{{'o', 0, 5}, {'o', 5, 6}, {'p', 0, 2}}));

  MediaPlayer& other = engine_->engine->Player(2);
  other.SetAutoStart(false);
  QObject::connect(&other, &MediaPlayer::OpenStateChange, [&](int, int newState) {
    if (newState == 6) other.Play();
  });
  other.Open(tone_);
  EXPECT_TRUE(test::WaitFor([&] { return other.PlayState() == 2; }));
}

TEST_F(PlayerTest, PlayWithNothingOpenDoesNothing) {
  EventLog log(P());
  P().Play();
  P().SetCurrentPosition(0.5);
  EXPECT_EQ(P().PlayState(), 0);
  EXPECT_DOUBLE_EQ(P().CurrentPosition(), 0.0);
  EXPECT_TRUE(log.events.empty());
  const std::vector<float> out = engine_->Render(0.1);
  EXPECT_EQ(test::Peak(out), 0.0);
}

TEST_F(PlayerTest, OpeningAnotherFileStopsAndClosesTheFirst) {
  ASSERT_EQ(test::OpenAndWait(P(), tone_), 6);
  P().Play();
  engine_->Render(0.2);
  EventLog log(P());
  P().Open(tone_ + QStringLiteral(".missing"));
  EXPECT_EQ(log.events, (std::vector<Ev>{{'p', 2, 0}, {'o', 6, 0}, {'o', 0, 5}}));
  ASSERT_TRUE(test::WaitFor([&] { return P().OpenState() != 5; }));
  EXPECT_EQ(P().OpenState(), 0);
  EXPECT_EQ(log.events.back(), (Ev{'o', 5, 0}));
  EXPECT_EQ(P().FileName(), tone_ + QStringLiteral(".missing"));
  P().Play();
  EXPECT_EQ(P().PlayState(), 0);
  EXPECT_EQ(test::Peak(engine_->Render(0.1)), 0.0);
}

TEST_F(PlayerTest, PositionCountsWhatWasRenderedAndStopKeepsIt) {
  ASSERT_EQ(test::OpenAndWait(P(), tone_), 6);
  P().Play();
  engine_->Render(0.25);
  EXPECT_NEAR(P().CurrentPosition(), 0.25, 0.01);
  P().Stop();
  engine_->Render(0.25);
  EXPECT_NEAR(P().CurrentPosition(), 0.25, 0.01);
  P().Play();
  engine_->Render(0.25);
  EXPECT_NEAR(P().CurrentPosition(), 0.5, 0.01);
}

TEST_F(PlayerTest, EndOfFileStopsThroughTheEventLoopAndRewinds) {
  ASSERT_EQ(test::OpenAndWait(P(), tone_), 6);
  P().Play();
  EventLog log(P());
  const std::vector<float> out = engine_->Render(1.2);
  EXPECT_TRUE(log.events.empty()) << "the end is found by the engine and arrives later";
  EXPECT_DOUBLE_EQ(P().CurrentPosition(), 0.0);
  ASSERT_TRUE(test::WaitFor([&] { return P().PlayState() == 0; }));
  EXPECT_EQ(log.events, (std::vector<Ev>{{'p', 2, 0}}));
  EXPECT_DOUBLE_EQ(P().CurrentPosition(), 0.0);
  EXPECT_EQ(P().OpenState(), 6);
  // Sound for the file's second, silence after it.
  EXPECT_GT(test::Rms(test::Channel(out, 0, 22050, 4410)), 0.3);
  EXPECT_EQ(test::Peak(test::Channel(out, 0, 44100 + 10)), 0.0);
  // Play again starts from the beginning.
  P().Play();
  engine_->Render(0.1);
  EXPECT_NEAR(P().CurrentPosition(), 0.1, 0.01);
}

TEST_F(PlayerTest, PlayCountLoopsWithoutGapOrClickAndCountsPlays) {
  ASSERT_EQ(test::OpenAndWait(P(), tone_), 6);
  P().SetPlayCount(999999);
  P().Play();
  const std::vector<float> out = engine_->Render(3.5);
  EXPECT_NEAR(P().CurrentPosition(), 0.5, 0.01);
  // Every sample after the 5 ms fade-in must be the ideal sine: a gap, a repeated block or a click at the
  // loop points would show as a large error.
  double worst = 0.0;
  for (int i = 441; i < static_cast<int>(out.size() / 2); ++i) {
    const double ideal = 0.5 * std::sin(2.0 * kPi * 441.0 * i / 44100.0);
    worst = std::max(worst, std::fabs(out[static_cast<std::size_t>(i) * 2] - ideal));
  }
  EXPECT_LT(worst, 1e-3);
  test::WaitFor([] { return false; }, 50);
  EXPECT_EQ(P().PlayState(), 2);

  // Switching the loop off mid-play ends the file at its next end.
  P().SetPlayCount(1);
  engine_->Render(0.6);
  EXPECT_TRUE(test::WaitFor([&] { return P().PlayState() == 0; }));

  // A count of two plays exactly twice.
  P().SetPlayCount(2);
  P().Play();
  engine_->Render(1.5);
  test::WaitFor([] { return false; }, 50);
  EXPECT_EQ(P().PlayState(), 2);
  engine_->Render(0.6);
  EXPECT_TRUE(test::WaitFor([&] { return P().PlayState() == 0; }));
}

TEST_F(PlayerTest, LoopedMp3IsGaplessAcrossItsEncoderDelayAndPadding) {
  ASSERT_EQ(test::OpenAndWait(P(), toneMp3_), 6);
  EXPECT_NEAR(P().Duration(), 1.0, 0.001);
  P().SetPlayCount(999999);
  P().Play();
  const std::vector<float> out = engine_->Render(2.5);
  // MP3 is lossy, so the tolerance is wider than for a wave file, but a gap of even one frame of encoder delay
  // at a loop point would be an error of 0.5.
  double worst = 0.0;
  for (int i = 441; i < static_cast<int>(out.size() / 2); ++i) {
    const double ideal = 0.5 * std::sin(2.0 * kPi * 441.0 * i / 44100.0);
    worst = std::max(worst, std::fabs(out[static_cast<std::size_t>(i) * 2] - ideal));
  }
  EXPECT_LT(worst, 0.05);
}

TEST_F(PlayerTest, SeekingMovesThePositionAndTheSound) {
  ASSERT_EQ(test::OpenAndWait(P(), ramp_), 6);
  P().SetCurrentPosition(3.0);
  EXPECT_DOUBLE_EQ(P().CurrentPosition(), 3.0);
  P().Play();
  std::vector<float> out = engine_->Render(0.5);
  EXPECT_NEAR(P().CurrentPosition(), 3.5, 0.01);
  EXPECT_NEAR(out[static_cast<std::size_t>(441) * 2], 0.301, 0.001);  // 10 ms after 3.0 s, past the fade-in

  // Seeking while playing.
  P().SetCurrentPosition(6.25);
  out = engine_->Render(0.5);
  EXPECT_NEAR(P().CurrentPosition(), 6.75, 0.01);
  EXPECT_NEAR(out.back(), 0.675, 0.001);

  // Beyond the end clamps to the end, and back to the start.
  P().SetCurrentPosition(100.0);
  EXPECT_NEAR(P().CurrentPosition(), 8.0, 0.01);
  P().SetCurrentPosition(0.0);
  out = engine_->Render(1.0);
  EXPECT_NEAR(P().CurrentPosition(), 1.0, 0.01);
  EXPECT_NEAR(out.back(), 0.1, 0.001);
}

TEST_F(PlayerTest, SeekingAnMp3LandsWithinTenMillisecondsOfTheTarget) {
  ASSERT_EQ(test::OpenAndWait(P(), sweep_), 6);
  EXPECT_NEAR(P().Duration(), 3.0, 0.01);
  P().Play();
  const std::vector<float> straight = test::Channel(engine_->Render(2.3), 0);
  P().Stop();
  for (double target : {2.0, 0.75}) {
    P().SetCurrentPosition(target);
    EXPECT_DOUBLE_EQ(P().CurrentPosition(), target);
    P().Play();
    const std::vector<float> sought = test::Channel(engine_->Render(0.15), 0, 441, 4410);  // past the fade-in
    P().Stop();
    // Where in the straight render does the sought piece fit best?
    const int expected = static_cast<int>(target * 44100) + 441;
    int bestLag = 0;
    double bestError = 1e300;
    for (int lag = -1323; lag <= 1323; ++lag) {
      double error = 0.0;
      for (std::size_t i = 0; i < sought.size(); ++i) {
        const double d = sought[i] - straight[static_cast<std::size_t>(expected + lag) + i];
        error += d * d;
      }
      if (error < bestError) {
        bestError = error;
        bestLag = lag;
      }
    }
    RecordProperty(target > 1.0 ? "lag_at_2s_samples" : "lag_at_0_75s_samples", bestLag);
    EXPECT_LE(std::abs(bestLag), 441) << "seek to " << target << " landed " << bestLag << " samples off";
    EXPECT_LT(bestError / static_cast<double>(sought.size()), 1e-4) << "the sought sound is not the file's";
  }
}

TEST_F(PlayerTest, RamMetafileOpensTheLocalFileItNamesAndNothingElse) {
  const QString ram = dir_->filePath(QStringLiteral("list.ram"));
  auto write = [&](const QByteArray& text) {
    QFile file(ram);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
  };
  write("\n" + tone_.toUtf8() + "\n");
  EXPECT_EQ(test::OpenAndWait(P(), ram), 6);
  EXPECT_NEAR(P().Duration(), 1.0, 0.01);
  EXPECT_EQ(P().FileName(), ram);
  write("tone.wav\n");  // relative to the metafile's folder
  EXPECT_EQ(test::OpenAndWait(P(), ram), 6);
  write("rtsp://example.com/song.rm\n");
  EXPECT_EQ(test::OpenAndWait(P(), ram), 0);
  write("http://example.com/song.mp3\n" + tone_.toUtf8());
  EXPECT_EQ(test::OpenAndWait(P(), ram), 0);
  write("file://" + tone_.toUtf8());
  EXPECT_EQ(test::OpenAndWait(P(), ram), 6);
  write(ram.toUtf8());  // names itself
  EXPECT_EQ(test::OpenAndWait(P(), ram), 0);
}

}  // namespace
}  // namespace marvane
