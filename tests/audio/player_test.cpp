// The player as the console uses it: events and their timing, positions, seeking, looping, the end of a file.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cmath>
#include <optional>
#include <tuple>

#include "audiotestutil.h"

namespace marvane {
namespace {

using test::EventLog;
using Ev = test::EventLog::Event;
using Events = std::vector<Ev>;

// The files are made once, before any engine exists: forking the ffmpeg tool from a process that already runs
// decoder threads is what thread checkers (rightly) refuse to reason about.
class PlayerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new QTemporaryDir();
    const QString d = dir_->path();
    tone_ = test::MakeFile(d, QStringLiteral("tone.wav"), test::kTone441, 1.0, "-c:a pcm_f32le");
    // A ramp whose value tells the time: 0.1 per second.
    ramp_ = test::MakeFile(d, QStringLiteral("ramp.wav"), QStringLiteral("t/10"), 8.0, "-c:a pcm_f32le");
    toneMp3_ = test::MakeFile(d, QStringLiteral("tone.mp3"), test::kTone441, 1.0, "-c:a libmp3lame -b:a 192k");
    // A rising sweep never repeats, so a piece of it shows exactly where in the file it comes from.
    sweep_ = test::MakeFile(d, QStringLiteral("sweep.mp3"), QStringLiteral("0.5*sin(2*PI*(200*t+150*t*t))"), 3.0,
                            "-c:a libmp3lame -b:a 192k");
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    ASSERT_FALSE(tone_.isEmpty() || ramp_.isEmpty() || sweep_.isEmpty() || toneMp3_.isEmpty())
        << "the ffmpeg command-line tool is needed to make test files";
    engine_.emplace();
  }
  MediaPlayer& P() { return engine_->engine->Player(1); }
  std::vector<float> Render(double seconds) { return engine_->Render(seconds); }
  static void Settle() { test::WaitFor([] { return false; }, 50); }

  static inline QTemporaryDir* dir_ = nullptr;
  static inline QString tone_, ramp_, sweep_, toneMp3_;
  std::optional<test::OfflineEngine> engine_;
};

TEST_F(PlayerTest, EventsComeInOrderAndOnlyTheOpenFinishesLater) {
  EventLog log(P());
  P().SetAutoStart(false);
  P().Open(tone_);
  EXPECT_EQ(P().FileName(), tone_);
  EXPECT_EQ(P().OpenState(), 5);
  EXPECT_EQ(log.events, (Events{{'o', 0, 5}})) << "opening is raised inside the call";
  EXPECT_DOUBLE_EQ(P().Duration(), 0.0);
  ASSERT_TRUE(test::WaitFor([&] { return P().OpenState() == 6; }));
  EXPECT_NEAR(P().Duration(), 1.0, 0.01);
  EXPECT_EQ(P().PlayState(), 0);
  // Play and Stop raise their events inside the call; repeating either does nothing.
  P().Play();
  EXPECT_EQ(P().PlayState(), 2);
  P().Play();
  P().Stop();
  P().Stop();
  EXPECT_EQ(log.events, (Events{{'o', 0, 5}, {'o', 5, 6}, {'p', 0, 2}, {'p', 2, 0}}));

  // With AutoStart the player plays once open; a handler may also play from the open event.
  EventLog autoLog(engine_->engine->Player(2));
  engine_->engine->Player(2).SetAutoStart(true);
  engine_->engine->Player(2).Open(tone_);
  MediaPlayer& other = engine_->engine->Player(3);
  other.SetAutoStart(false);
  QObject::connect(&other, &MediaPlayer::OpenStateChange, [&](int, int newState) {
    if (newState == 6) other.Play();
  });
  other.Open(tone_);
  EXPECT_TRUE(test::WaitFor([&] { return engine_->engine->Player(2).PlayState() == 2 && other.PlayState() == 2; }));
  EXPECT_EQ(autoLog.events, (Events{{'o', 0, 5}, {'o', 5, 6}, {'p', 0, 2}}));
}

TEST_F(PlayerTest, NothingOpenOrAFailedOpenPlaysNothing) {
  EventLog log(P());
  P().Play();
  P().SetCurrentPosition(0.5);
  EXPECT_EQ(P().PlayState(), 0);
  EXPECT_DOUBLE_EQ(P().CurrentPosition(), 0.0);
  EXPECT_TRUE(log.events.empty());
  EXPECT_EQ(test::Peak(Render(0.1)), 0.0);

  // Opening another file stops and closes the first, inside the call; a missing file then fails later.
  ASSERT_EQ(test::OpenAndWait(P(), tone_), 6);
  P().Play();
  Render(0.2);
  log.events.clear();
  const QString missing = tone_ + QStringLiteral(".missing");
  P().Open(missing);
  EXPECT_EQ(log.events, (Events{{'p', 2, 0}, {'o', 6, 0}, {'o', 0, 5}}));
  ASSERT_TRUE(test::WaitFor([&] { return P().OpenState() != 5; }));
  EXPECT_EQ(P().OpenState(), 0);
  EXPECT_EQ(log.events.back(), (Ev{'o', 5, 0}));
  EXPECT_EQ(P().FileName(), missing);
  P().Play();
  EXPECT_EQ(P().PlayState(), 0);
  EXPECT_EQ(test::Peak(Render(0.1)), 0.0);
}

TEST_F(PlayerTest, PositionCountsRenderedSoundAndTheEndStopsLaterAndRewinds) {
  ASSERT_EQ(test::OpenAndWait(P(), tone_), 6);
  P().Play();
  Render(0.25);
  EXPECT_NEAR(P().CurrentPosition(), 0.25, 0.01);
  P().Stop();
  Render(0.25);
  EXPECT_NEAR(P().CurrentPosition(), 0.25, 0.01) << "Stop keeps the place";
  P().Play();
  EventLog log(P());
  const std::vector<float> out = Render(1.0);
  EXPECT_TRUE(log.events.empty()) << "the end is found by the engine and arrives later";
  EXPECT_DOUBLE_EQ(P().CurrentPosition(), 0.0);
  ASSERT_TRUE(test::WaitFor([&] { return P().PlayState() == 0; }));
  EXPECT_EQ(log.events, (Events{{'p', 2, 0}}));
  EXPECT_DOUBLE_EQ(P().CurrentPosition(), 0.0);
  EXPECT_EQ(P().OpenState(), 6);
  // Sound for the rest of the file's second, silence after it.
  EXPECT_GT(test::Rms(test::Channel(out, 0, 11025, 4410)), 0.3);
  EXPECT_EQ(test::Peak(test::Channel(out, 0, 33075 + 441)), 0.0);
  P().Play();
  Render(0.1);
  EXPECT_NEAR(P().CurrentPosition(), 0.1, 0.01) << "play again starts from the beginning";
}

TEST_F(PlayerTest, PlayCountLoopsWithoutGapOrClickAndCountsPlays) {
  // Every sample after the 5 ms fade-in must be the ideal sine: a gap, a repeated block or a click at a loop
  // point would show as a large error. MP3 is lossy, so its tolerance is wider, but one frame of encoder delay
  // or padding at a loop point would be an error of 0.5.
  for (const auto& [file, tolerance] : {std::pair{tone_, 1e-3}, std::pair{toneMp3_, 0.05}}) {
    SCOPED_TRACE(file.toStdString());
    ASSERT_EQ(test::OpenAndWait(P(), file), 6);
    EXPECT_NEAR(P().Duration(), 1.0, 0.001);
    P().SetPlayCount(999999);
    P().Play();
    EXPECT_LT(test::SineError(Render(3.5), 441), tolerance);
    EXPECT_NEAR(P().CurrentPosition(), 0.5, 0.01);
    Settle();
    EXPECT_EQ(P().PlayState(), 2);
    // Switching the loop off mid-play ends the file at its next end.
    P().SetPlayCount(1);
    Render(0.6);
    EXPECT_TRUE(test::WaitFor([&] { return P().PlayState() == 0; }));
  }
  // A count of two plays exactly twice.
  P().SetPlayCount(2);
  P().Play();
  Render(1.5);
  Settle();
  EXPECT_EQ(P().PlayState(), 2);
  Render(0.6);
  EXPECT_TRUE(test::WaitFor([&] { return P().PlayState() == 0; }));
}

TEST_F(PlayerTest, SeekingMovesThePositionAndTheSound) {
  ASSERT_EQ(test::OpenAndWait(P(), ramp_), 6);
  P().SetCurrentPosition(3.0);
  EXPECT_DOUBLE_EQ(P().CurrentPosition(), 3.0);
  P().Play();
  std::vector<float> out = Render(0.5);
  EXPECT_NEAR(P().CurrentPosition(), 3.5, 0.01);
  EXPECT_NEAR(out[441 * 2], 0.301, 0.001);  // 10 ms after 3.0 s, past the fade-in
  // While playing; beyond the end clamps to the end; back to the start.
  P().SetCurrentPosition(6.25);
  out = Render(0.5);
  EXPECT_NEAR(P().CurrentPosition(), 6.75, 0.01);
  EXPECT_NEAR(out.back(), 0.675, 0.001);
  P().SetCurrentPosition(100.0);
  EXPECT_NEAR(P().CurrentPosition(), 8.0, 0.01);
  P().SetCurrentPosition(0.0);
  out = Render(1.0);
  EXPECT_NEAR(P().CurrentPosition(), 1.0, 0.01);
  EXPECT_NEAR(out.back(), 0.1, 0.001);
}

TEST_F(PlayerTest, SeekingAnMp3LandsWithinTenMillisecondsOfTheTarget) {
  ASSERT_EQ(test::OpenAndWait(P(), sweep_), 6);
  EXPECT_NEAR(P().Duration(), 3.0, 0.01);
  P().Play();
  const std::vector<float> straight = test::Channel(Render(2.3), 0);
  P().Stop();
  for (double target : {2.0, 0.75}) {
    P().SetCurrentPosition(target);
    EXPECT_DOUBLE_EQ(P().CurrentPosition(), target);
    P().Play();
    const std::vector<float> sought = test::Channel(Render(0.15), 0, 441, 4410);  // past the fade-in
    P().Stop();
    // Where in the straight render does the sought piece fit best?
    const int expected = static_cast<int>(target * 44100) + 441;
    int bestLag = 0;
    double bestError = 1e300;
    for (int lag = -1323; lag <= 1323; ++lag) {
      double error = 0.0;
      for (std::size_t i = 0; i < sought.size(); ++i)
        error += std::pow(sought[i] - straight[static_cast<std::size_t>(expected + lag) + i], 2);
      if (error < bestError) std::tie(bestError, bestLag) = std::pair{error, lag};
    }
    EXPECT_LE(std::abs(bestLag), 441) << "seek to " << target << " landed " << bestLag << " samples off";
    EXPECT_LT(bestError / static_cast<double>(sought.size()), 1e-4) << "the sought sound is not the file's";
  }
}

TEST_F(PlayerTest, RamMetafileOpensTheLocalFileItNamesAndNothingElse) {
  const QString ram = dir_->filePath(QStringLiteral("list.ram"));
  const QByteArray tone = tone_.toUtf8();
  const std::pair<QByteArray, int> cases[] = {
      {"\n" + tone + "\n", 6},  // the first line with text
      {"tone.wav\n", 6},        // relative to the metafile's folder
      {"file://" + tone, 6},
      {"rtsp://example.com/song.rm\n", 0},
      {"http://example.com/song.mp3\n" + tone, 0},
      {ram.toUtf8(), 0},  // names itself
  };
  for (const auto& [text, state] : cases) {
    ASSERT_FALSE(test::WriteFile(ram, text).isEmpty());
    EXPECT_EQ(test::OpenAndWait(P(), ram), state) << text.toStdString();
    if (state == 6) {
      EXPECT_NEAR(P().Duration(), 1.0, 0.01);
      EXPECT_EQ(P().FileName(), ram);
    }
  }
}

}  // namespace
}  // namespace marvane
