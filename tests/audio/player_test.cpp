// The player as the console uses it, on offline renders: events and their timing, positions, seeking, looping,
// the end of a file; volume and balance in hundredths of a decibel, gain glides, eight players at once, clipping,
// and a starved player.

#include "audiotestutil.h"

#include "audio/loudnessmeter.h"
#include "audio/mixrecorder.h"
#include "audio/soundfilewriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

#include <atomic>
#include <chrono>
#include <csignal>
#include <functional>
#include <future>
#include <limits>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace marvane::test {
namespace {

using Ev = EventLog::Event;
using Events = std::vector<Ev>;

// A real-time output whose callbacks the test makes by hand, with no waiting for decoders: exactly what the
// sound card's callback sees.
struct HandOutput : AudioOutput {
  int SampleRate() const override { return 44100; }
  int BufferFrames() const override { return 512; }
  bool Start(AudioSource* source, QString*) override { return (source_ = source) != nullptr; }
  void Stop() override { source_ = nullptr; }
  QString Description() const override { return u"by hand"_s; }
  // One callback of `seconds` on a thread of its own; `act` runs on the calling thread `delay` after it began.
  // Returns how long the callback took.
  std::chrono::nanoseconds RenderWhile(double seconds, std::chrono::nanoseconds delay,
                                       const std::function<void()>& act) {
    using Clock = std::chrono::steady_clock;
    std::vector<float> buffer(static_cast<std::size_t>(seconds * 44100) * 2);
    std::atomic<bool> go{false};
    std::atomic<std::int64_t> took{0};
    std::thread callback([&] {
      while (!go.load()) {}
      const auto begin = Clock::now();
      source_->Render(buffer.data(), static_cast<int>(buffer.size() / 2));
      took.store((Clock::now() - begin).count());
    });
    const auto begin = Clock::now();
    go.store(true);
    while (Clock::now() - begin < delay) {}
    act();
    callback.join();
    return std::chrono::nanoseconds(took.load());
  }
  // Callbacks of 512 frames at about the pace of real time until done() holds or `seconds` were rendered.
  void RenderUntil(const std::function<bool()>& done, double seconds) {
    std::vector<float> buffer(1024);
    for (int i = 0; i < seconds * 44100 / 512 && !done(); ++i) {
      source_->Render(buffer.data(), 512);
      QCoreApplication::processEvents();
      QThread::usleep(1000);
    }
  }
  AudioSource* source_ = nullptr;
};

// The files are made once, before any engine exists: forking the ffmpeg tool from a process that already runs
// decoder threads is what thread checkers (rightly) refuse to reason about.
class PlayerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const QString d = dir_.path();
    tone_ = MakeFile(d, u"tone.wav"_s, kTone441, 1.0, "-c:a pcm_f32le");
    toneMp3_ = MakeFile(d, u"tone.mp3"_s, kTone441, 1.0, "-c:a libmp3lame -b:a 192k");
    ramp_ = MakeFile(d, u"ramp.wav"_s, u"t/10"_s, 8.0, "-c:a pcm_f32le");  // its value tells the time
    // A rising sweep never repeats, so a piece of it shows exactly where in the file it comes from.
    sweep_ = MakeFile(d, u"sweep.mp3"_s, u"0.5*sin(2*PI*(200*t+150*t*t))"_s, 3.0, "-c:a libmp3lame -b:a 192k");
    dc_ = MakeFile(d, u"dc.wav"_s, u"0.8"_s, 2.0, "-c:a pcm_f32le");  // shows any step in the gain
    full_ = MakeFile(d, u"full.wav"_s, u"sin(2*PI*1000*t)"_s, 1.0, "-c:a pcm_f32le");
    held_ = MakeFile(d, u"held.wav"_s, kTone441, 1.0, "-c:a pcm_s16le");
    heldToo_ = MakeFile(d, u"held2.wav"_s, kTone441, 1.0, "-c:a pcm_s16le");
    // Eight tones 0.2 high each: the sum's peaks reach far beyond full scale.
    for (int i = 0; i < 8; ++i)
      tones_[i] = MakeFile(d, u"t%1.wav"_s.arg(i), u"0.2*sin(2*PI*%1*t)"_s.arg(200 + 50 * i), 1.0, "-c:a pcm_f32le");
  }
  void SetUp() override {
    for (const QString& file : {tone_, toneMp3_, ramp_, sweep_, dc_, tones_[7]})
      ASSERT_FALSE(file.isEmpty()) << "the ffmpeg command-line tool is needed to make test files";
    engine_.emplace();
  }
  MediaPlayer& P(int n = 1) { return engine_->engine->Player(n); }
  std::vector<float> Render(double seconds) { return engine_->Render(seconds); }
  static void Settle() { WaitFor([] { return false; }, 50); }

  static inline QTemporaryDir dir_;
  static inline QString tone_, toneMp3_, ramp_, sweep_, dc_, full_, held_, heldToo_, tones_[8];
  std::optional<OfflineEngine> engine_;
};

TEST_F(PlayerTest, EventsComeInOrderAndOnlyTheOpenFinishesLater) {
  EventLog log(P());
  P().SetAutoStart(false);
  P().Open(tone_);
  EXPECT_EQ(std::pair(P().FileName(), P().OpenState()), std::pair(tone_, kOpening));
  EXPECT_EQ(log.events, (Events{{'o', 0, 5}})) << "opening is raised inside the call";
  EXPECT_DOUBLE_EQ(P().Duration(), 0.0);
  ASSERT_TRUE(WaitFor([&] { return P().OpenState() == 6; }));
  EXPECT_NEAR(P().Duration(), 1.0, 0.01);
  EXPECT_EQ(P().PlayState(), 0);
  // Play and Stop raise their events inside the call; repeating either does nothing.
  P().Play();
  EXPECT_EQ(P().PlayState(), 2);
  P().Play(), P().Stop(), P().Stop();
  EXPECT_EQ(log.events, (Events{{'o', 0, 5}, {'o', 5, 6}, {'p', 0, 2}, {'p', 2, 0}}));

  // With AutoStart the player plays once open; a handler may also play from the open event.
  EventLog autoLog(P(2));
  P(2).SetAutoStart(true);
  P(2).Open(tone_);
  P(3).SetAutoStart(false);
  QObject::connect(&P(3), &MediaPlayer::OpenStateChange, [&](int, int newState) {
    if (newState == 6) P(3).Play();
  });
  P(3).Open(tone_);
  EXPECT_TRUE(WaitFor([&] { return P(2).PlayState() == 2 && P(3).PlayState() == 2; }));
  EXPECT_EQ(autoLog.events, (Events{{'o', 0, 5}, {'o', 5, 6}, {'p', 0, 2}}));
}

TEST_F(PlayerTest, NothingOpenOrAFailedOpenPlaysNothing) {
  EventLog log(P());
  P().Play();
  P().SetCurrentPosition(0.5);
  EXPECT_EQ(std::pair(P().PlayState(), P().CurrentPosition()), std::pair(kStopped, 0.0));
  EXPECT_TRUE(log.events.empty());
  // Opening another file stops and closes the first, inside the call; a missing file then fails later.
  ASSERT_EQ(OpenAndWait(P(), tone_), 6);
  P().Play();
  Render(0.2);
  log.events.clear();
  const QString missing = tone_ + u".missing"_s;
  P().Open(missing);
  EXPECT_EQ(log.events, (Events{{'p', 2, 0}, {'o', 6, 0}, {'o', 0, 5}}));
  ASSERT_TRUE(WaitFor([&] { return P().OpenState() != 5; }));
  EXPECT_EQ(std::pair(P().OpenState(), P().FileName()), std::pair(kClosed, missing));
  EXPECT_EQ(log.events.back(), (Ev{'o', 5, 0}));
  P().Play();
  EXPECT_EQ(P().PlayState(), 0);
  EXPECT_EQ(Peak(Channel(Render(0.1), 0, 441)), 0.0) << "silent once the tone has faded out";
}

TEST_F(PlayerTest, PositionCountsRenderedSoundAndTheEndStopsLaterAndRewinds) {
  ASSERT_EQ(OpenAndWait(P(), tone_), 6);
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
  ASSERT_TRUE(WaitFor([&] { return P().PlayState() == 0; }));
  EXPECT_EQ(log.events, (Events{{'p', 2, 0}}));
  EXPECT_EQ(P().OpenState(), 6) << "the file stays open";
  // Sound for the rest of the file's second, silence after it.
  EXPECT_GT(Rms(Channel(out, 0, 11025, 4410)), 0.3);
  EXPECT_EQ(Peak(Channel(out, 0, 33075 + 441)), 0.0);
  P().Play();
  Render(0.1);
  EXPECT_NEAR(P().CurrentPosition(), 0.1, 0.01) << "play again starts from the beginning";
}

TEST_F(PlayerTest, PlayCountLoopsWithoutGapOrClickAndCountsPlays) {
  // Every sample after the 5 ms fade-in must be the ideal sine: a gap, a repeated block or a click at a loop
  // point would show as a large error. MP3 is lossy, so its tolerance is wider, but one frame of encoder delay
  // or padding at a loop point would be an error of 0.5.
  const auto sineError = [](const std::vector<float>& stereo) {
    double worst = 0.0;
    for (std::size_t i = 441; i < stereo.size() / 2; ++i)
      worst = std::max(worst, std::fabs(stereo[i * 2] - 0.5 * std::sin(2.0 * M_PI * 441.0 * i / 44100.0)));
    return worst;
  };
  for (const auto& [file, tolerance] : {std::pair{tone_, 1e-3}, std::pair{toneMp3_, 0.05}}) {
    SCOPED_TRACE(file.toStdString());
    ASSERT_EQ(OpenAndWait(P(), file), 6);
    EXPECT_NEAR(P().Duration(), 1.0, 0.001);
    P().SetPlayCount(999999);
    P().Play();
    EXPECT_LT(sineError(Render(3.5)), tolerance);
    EXPECT_NEAR(P().CurrentPosition(), 0.5, 0.01);
    Settle();
    EXPECT_EQ(P().PlayState(), 2);
    P().SetPlayCount(1);  // switching the loop off mid-play ends the file at its next end
    Render(0.6);
    EXPECT_TRUE(WaitFor([&] { return P().PlayState() == 0; }));
  }
  P().SetPlayCount(2);  // a count of two plays exactly twice
  P().Play();
  Render(1.5);
  Settle();
  EXPECT_EQ(P().PlayState(), 2);
  Render(0.6);
  EXPECT_TRUE(WaitFor([&] { return P().PlayState() == 0; }));
}

TEST_F(PlayerTest, SeekingMovesThePositionAndTheSound) {
  ASSERT_EQ(OpenAndWait(P(), ramp_), 6);
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
  EXPECT_NEAR(out.back(), 0.1, 0.001);
}

// The user picks another buffer size or rate while a line plays: the line goes on from where it was, within one
// buffer, and at the new rate its sound keeps its pitch (the ramp's value tells the time).
TEST_F(PlayerTest, ANewBufferSizeOrRateGoesOnWhereTheLineWas) {
  AudioEngine engine(OutputChoice{u"Default"_s, 512, 44100}, [](const OutputChoice& choice, QString*) {
    return std::make_unique<OfflineOutput>(choice.sampleRate, choice.bufferFrames);
  });
  MediaPlayer& line = engine.Player(2);
  ASSERT_EQ(OpenAndWait(line, ramp_), 6);
  line.Play();
  auto render = [&engine](double seconds) {
    auto& output = dynamic_cast<OfflineOutput&>(engine.Output());
    return output.Pull(static_cast<int>(seconds * output.SampleRate()));
  };
  render(1.0);
  for (const auto& [frames, rate] : {std::pair(2048, 44100), std::pair(128, 48000), std::pair(1024, 44100)}) {
    const double before = line.CurrentPosition();
    engine.SwitchOutput({u"Default"_s, frames, rate});
    ASSERT_EQ(std::pair(engine.Output().BufferFrames(), engine.SampleRate()), std::pair(frames, rate));
    const std::vector<float> out = render(0.5);
    const std::size_t heard = 2 * static_cast<std::size_t>(frames);  // the new output's first callback fades in
    const double buffer = static_cast<double>(frames) / rate;
    EXPECT_NEAR(out[heard] * 10, before + buffer, buffer) << frames << " frames at " << rate;
    EXPECT_NEAR((out[heard + rate / 2] - out[heard]) * 10, 0.25, 0.001) << "not at pitch at " << rate;
    EXPECT_NEAR(line.CurrentPosition(), before + 0.5, static_cast<double>(frames) / rate);
  }
}

TEST_F(PlayerTest, SeekingAnMp3LandsWithinTenMillisecondsOfTheTarget) {
  ASSERT_EQ(OpenAndWait(P(), sweep_), 6);
  EXPECT_NEAR(P().Duration(), 3.0, 0.01);
  P().Play();
  const std::vector<float> straight = Channel(Render(2.3), 0);
  P().Stop();
  for (double target : {2.0, 0.75}) {
    P().SetCurrentPosition(target);
    P().Play();
    const std::vector<float> sought = Channel(Render(0.15), 0, 441, 4410);  // past the fade-in
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
  const QString ram = dir_.filePath(u"list.ram"_s);
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
    WriteBytes(ram, text);
    EXPECT_EQ(OpenAndWait(P(), ram), state) << text.toStdString();
    if (state == 6) {
      EXPECT_EQ(std::pair(P().FileName(), qRound(P().Duration())), std::pair(ram, 1));
    }
  }
}

TEST_F(PlayerTest, VolumeAndBalanceAreHundredthsOfADecibelAndTheBottomIsSilence) {
  ASSERT_EQ(OpenAndWait(P(3), tone_), 6);
  const double reference = 0.5 / std::sqrt(2.0);
  constexpr double kSilent = -std::numeric_limits<double>::infinity();
  for (const auto& [volume, balance, leftDb, rightDb] :
       {std::tuple{0, 0, 0.0, 0.0}, {-332, 0, -3.32, -3.32}, {-4000, 0, -40.0, -40.0}, {-9569, 0, -95.69, -95.69},
        {-10000, 0, kSilent, kSilent}, {0, -3360, 0.0, -33.6}, {-332, 1200, -15.32, -3.32},
        {0, -10000, 0.0, kSilent}, {0, 10000, kSilent, 0.0}}) {
    SCOPED_TRACE(testing::Message() << "volume " << volume << " balance " << balance);
    P(3).SetVolume(volume);
    P(3).SetBalance(balance);
    P(3).SetCurrentPosition(0.0);
    P(3).Play();
    const std::vector<float> out = Render(0.6);  // measured after 100 ms
    P(3).Stop();
    for (const auto& [channel, db] : {std::pair{0, leftDb}, {1, rightDb}}) {
      const double level = Rms(Channel(out, channel, 4410, 22050));
      if (db == kSilent) EXPECT_EQ(level, 0.0) << channel;
      else EXPECT_NEAR(Db(level / reference), db, 0.05) << channel;
    }
  }
  // Out-of-range values are held at the ends of the range.
  for (const auto& [set, held] : {std::pair{250, 0}, {-20000, -10000}}) {
    P(3).SetVolume(set);
    EXPECT_EQ(P(3).Volume(), held);
  }
}

TEST_F(PlayerTest, GainChangesGlideWithoutASampleStep) {
  ASSERT_EQ(OpenAndWait(P(), dc_), 6);
  P().Play();
  std::vector<float> out;
  for (int volume : {0, -10000, 0}) {  // from full level to silence in one call, and back
    P().SetVolume(volume);
    const std::vector<float> part = Render(0.1);
    out.insert(out.end(), part.begin(), part.end());
  }
  const std::vector<float> left = Channel(out, 0);
  double largestStep = 0.0;
  for (std::size_t i = 1; i < left.size(); ++i)
    largestStep = std::max(largestStep, static_cast<double>(std::fabs(left[i] - left[i - 1])));
  // A full-scale move spread over 5 ms at 44.1 kHz moves at most 0.8/220 per sample, and it is done within 10 ms.
  EXPECT_LT(largestStep, 0.8 / 200.0);
  EXPECT_EQ(left[4410 + 441], 0.0f);
  EXPECT_NEAR(left[8820 + 441], 0.8, 1e-6);
}

TEST_F(PlayerTest, StopAndAnOpenOverAPlayingFileFadeOutInsteadOfCutting) {
  const std::pair<const char*, std::function<void()>> cases[] = {{"Stop", [&] { P().Stop(); }},
                                                                 {"Open", [&] { P().Open(dc_); }}};
  for (const auto& [what, letGo] : cases) {
    ASSERT_EQ(OpenAndWait(P(), full_), 6) << what;
    P().Play();
    std::vector<float> out = Render(0.25025);  // up to a peak of the full-scale 1 kHz tone: a cut steps by 1
    Settle();
    letGo();
    const std::vector<float> after = Render(0.05);
    out.insert(out.end(), after.begin(), after.end());
    const std::vector<float> left = Channel(out, 0);
    const auto largestStep = [&](int from, int to) {
      double step = 0.0;
      for (int i = from; i < to; ++i) step = std::max(step, std::fabs(left[i] - left[i - 1] + 0.0));
      return step;
    };
    EXPECT_LE(largestStep(11036, 13241), largestStep(441, 11036)) << what << ": the end steps more than the tone";
    EXPECT_EQ(Peak(Channel(after, 0, 441)), 0.0) << what << ": silent within 10 ms";
  }
}

TEST_F(PlayerTest, EightPlayersMixAndTheSumIsClippedNotWrapped) {
  AudioEngine& engine = *engine_->engine;
  for (int slot = 0; slot < 8; ++slot) ASSERT_EQ(OpenAndWait(*engine.PlayerAt(slot), tones_[slot]), 6);
  for (int slot = 0; slot < 8; ++slot) engine.PlayerAt(slot)->Play();
  const std::vector<float> out = Render(0.5);
  EXPECT_TRUE(Peak(out) <= 1.0 && Peak(out) > 0.99) << "clipped at full scale, not wrapped to the other sign";
  const std::vector<float> left = Channel(out, 0, 4410, 17640);
  for (int i = 0; i < 8; ++i)
    EXPECT_GT(ToneAmplitude(left, 200 + 50 * i, 44100, 4410), 0.1) << "tone of player " << i << " missing";
}

TEST_F(PlayerTest, StarvedPlayerIsSilentForThatMomentWhileTheOthersGoOn) {
  auto output = std::make_unique<HandOutput>();
  HandOutput* hand = output.get();
  AudioEngine engine(std::move(output));
  MediaPlayer &a = engine.Player(1), &b = engine.Player(2);
  ASSERT_EQ(OpenAndWait(a, ramp_), 6);
  ASSERT_EQ(OpenAndWait(b, tone_), 6);
  a.SetBalance(10000);   // a on the right only
  b.SetBalance(-10000);  // b on the left only
  b.SetPlayCount(999999);
  a.Play();
  b.Play();
  std::vector<float> buffer(1024);
  for (int i = 0; i < 4; ++i) hand->source_->Render(buffer.data(), 512);
  // After the seek a's queued blocks are stale: until its decoder has caught up, a has nothing to play. In every
  // callback a is either silent or already at the new place (the ramp reads 0.5 at 5 s), never stale, and b is
  // never interrupted.
  a.SetCurrentPosition(5.0);
  bool caughtUp = false;
  for (int i = 0; i < 400 && !caughtUp; ++i) {
    hand->source_->Render(buffer.data(), 512);
    ASSERT_GT(Rms(Channel(buffer, 0)), 0.3) << "b goes on in callback " << i;
    const std::vector<float> right = Channel(buffer, 1);
    if (Peak(right) == 0.0) {
      QThread::usleep(500);
      continue;
    }
    for (float sample : right) ASSERT_NEAR(sample, 0.505, 0.006) << "stale or garbled sound after the seek";
    caughtUp = true;
  }
  EXPECT_TRUE(caughtUp);
  EXPECT_TRUE(a.CurrentPosition() > 5.0 && a.CurrentPosition() < 5.1) << a.CurrentPosition();
}

TEST_F(PlayerTest, PlaySoundsInTheFirstCallbackWhenTheStartIsQueuedAndWakesASleepingOutput) {
  auto output = std::make_unique<HandOutput>();
  HandOutput* hand = output.get();
  AudioEngine engine(std::move(output));
  MediaPlayer& p = engine.Player(1);
  ASSERT_EQ(OpenAndWait(p, ramp_), 6);
  const auto asleep = [&] { return hand->source_ == nullptr; };
  std::vector<float> buffer(1024);
  // Just opened; stopped and rewound (the console's Stop, then Play); after the end; sought while the output slept.
  const std::pair<std::string_view, double> cases[] = {{"opened", 0}, {"rewound", 0}, {"ended", 0}, {"asleep", 2}};
  for (const auto& [when, from] : cases) {
    WaitFor([] { return false; }, 300);  // the decoder queues the sound meanwhile
    if (from == 0.0) p.SetCurrentPosition(0.0);  // as the console's Play button does
    p.Play();
    ASSERT_FALSE(asleep()) << when << ": running again when Play returns";
    hand->source_->Render(buffer.data(), 512);
    EXPECT_NEAR(buffer.back(), (from + 511.0 / 44100) / 10, 3e-4) << when << ": the ramp from there, at once";
    if (when == "opened") p.Stop(), p.SetCurrentPosition(0.0), hand->RenderUntil([] { return false; }, 0.5);
    if (when == "rewound") hand->RenderUntil([&] { return p.PlayState() == 0; }, 9.0);
    if (when != "ended") continue;
    p.Stop();
    for (bool hold : {true, false}) {
      engine.HoldOutput(hold);
      EXPECT_EQ(WaitFor(asleep, 2500), !hold) << "held " << hold;
    }
    EXPECT_FALSE(engine.OutputLostNow()) << "stopped on purpose";
    p.SetCurrentPosition(2.0);  // while no callback runs, for the last case
  }
}

// A file that does not answer: another program holds a lease on it, so opening it waits until that program lets go
// (for up to /proc/sys/fs/lease-break-time, 45 s by default), as a file on a hung network mount waits. Here the
// lease is let go after 5 s at the latest, so a player that waits for it makes the test late and failed, not hung.
struct HeldFile {
  explicit HeldFile(const QString& path) : fd(::open(QFile::encodeName(path).constData(), O_RDONLY)) {
    std::signal(SIGIO, SIG_IGN);  // the holder is told that someone wants the file
    if (fd >= 0 && ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0)
      releaser = std::thread([this, letGo = done.get_future()] {
        letGo.wait_for(std::chrono::seconds(5));
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
      });
  }
  ~HeldFile() {
    done.set_value();
    if (releaser.joinable()) releaser.join();
    if (fd >= 0) ::close(fd);
  }
  bool Held() const { return releaser.joinable(); }

  const int fd;
  std::promise<void> done;
  std::thread releaser;
};

TEST_F(PlayerTest, AFileThatDoesNotAnswerHoldsNeitherThePlayerNorTheEngineEnd) {
  // A named pipe that no one writes opens nothing, at once.
  QTemporaryDir pipeDir;
  const QString pipe = pipeDir.filePath(u"pipe.wav"_s);
  ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
  QElapsedTimer timer;
  timer.start();
  EXPECT_EQ(OpenAndWait(P(), pipe), 0);
  EXPECT_LT(timer.elapsed(), 1000);

  HeldFile held(held_);
  if (!held.Held()) GTEST_SKIP() << "this file system gives no leases, so no file here can be made to hang";
  P().SetAutoStart(false);
  P().Open(held_);
  Settle();
  EXPECT_EQ(P().OpenState(), kOpening);
  // The player lets the file go and opens another at once.
  timer.restart();
  EXPECT_EQ(OpenAndWait(P(), tone_), 6);
  EXPECT_LT(timer.elapsed(), 1000) << "opening another file waited for the one that does not answer";
  // And the engine ends within a second while a player is still opening such a file.
  HeldFile heldToo(heldToo_);
  ASSERT_TRUE(heldToo.Held());
  P(2).SetAutoStart(false);
  P(2).Open(heldToo_);
  Settle();
  timer.restart();
  engine_.reset();
  EXPECT_LT(timer.elapsed(), 1000) << "ending the engine waited for the file that does not answer";
}

TEST_F(PlayerTest, ACallbackInProgressNeverLosesTheEndOfTheFile) {
  auto output = std::make_unique<HandOutput>();
  HandOutput* hand = output.get();
  AudioEngine engine(std::move(output));
  // Six players race one long callback each time; each is mixed at a different moment of it.
  const auto all = [&](const std::function<void(MediaPlayer&)>& f) {
    for (int line = 1; line <= 6; ++line) f(engine.Player(line));
  };
  const auto every = [&](const std::function<bool(MediaPlayer&)>& f) {
    bool result = true;
    all([&](MediaPlayer& p) { result = result && f(p); });
    return result;
  };
  struct Race {
    const char* what;
    QString file;
    double callbackSeconds;
    std::function<void(MediaPlayer&)> act;
  };
  const Race races[] = {
      // The callback reaches the end of the file while Stop runs: the next Play plays the file from the start.
      {"Stop at the end", dc_, 2.1, [](MediaPlayer& p) { p.Stop(), p.Play(); }},
      // A seek close to the end while the callback mixes: the new end-of-file block is current, not stale.
      {"seek close to the end", ramp_, 2.3, [](MediaPlayer& p) { p.SetCurrentPosition(7.99); }},
  };
  for (const Race& race : races) {
    all([&](MediaPlayer& p) { ASSERT_EQ(OpenAndWait(p, race.file), 6); });
    std::chrono::nanoseconds length{0};
    for (int attempt = 0; attempt <= 24; ++attempt) {
      SCOPED_TRACE(testing::Message() << race.what << ", attempt " << attempt);
      all([](MediaPlayer& p) { p.SetCurrentPosition(0.0), p.Play(); });
      hand->RenderUntil([&] { return every([](MediaPlayer& p) { return p.CurrentPosition() > 0.0; }); }, 1.0);
      Settle();  // the decoders fill their queues
      // The first call comes at once and measures how long a callback takes; the others spread over that length.
      const auto took = hand->RenderWhile(race.callbackSeconds, length * attempt / 24, [&] { all(race.act); });
      if (attempt == 0) length = took;
      hand->RenderUntil([&] { return every([](MediaPlayer& p) { return p.PlayState() == 0; }); }, 3.0);
      all([](MediaPlayer& p) { ASSERT_EQ(p.PlayState(), 0) << p.objectName().toStdString() << " never ended"; });
    }
  }
}

TEST_F(PlayerTest, ALoopingFileThatYieldsNoFramesEndsInsteadOfSpinning) {
  // A MIDI file whose one tick lasts a few nanoseconds: it opens and seeks, and every read gives nothing.
  const QByteArray midi = QByteArray::fromHex("4d546864000000060000000100ff4d54726b0000000b00ff510300000101ff2f00");
  const QString empty = WriteBytes(dir_.filePath(u"empty.mid"_s), midi);
  ASSERT_EQ(OpenAndWait(P(), empty), 6);
  P().SetPlayCount(999999);
  P().Play();
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(Peak(Render(0.05)), 0.0);
  EXPECT_LT(clock.elapsed(), 2000) << "the render waited for a decoder that never settles";
  EXPECT_TRUE(WaitFor([&] { return P().PlayState() == 0; }, 2000));
}

TEST_F(PlayerTest, ARecordingHoldsTheMixSampleForSample) {
  ASSERT_EQ(OpenAndWait(P(1), ramp_), 6);
  ASSERT_EQ(OpenAndWait(P(2), sweep_), 6);
  P(1).Play();
  P(2).Play();
  Render(0.3);  // what plays before the recording starts is not in it
  MixRecorder recorder(*engine_->engine);
  const QString path = dir_.filePath(u"mix.wav"_s);
  ASSERT_TRUE(recorder.Start(path, nullptr));
  const std::vector<float> mix = Render(2.0);
  recorder.Stop();
  Render(0.2);
  EXPECT_EQ(recorder.DroppedFrames(), 0);
  EXPECT_TRUE(recorder.Failure().isEmpty());
  const std::vector<float> recorded = DecodedSamples(path);
  ASSERT_EQ(recorded.size(), mix.size());
  EXPECT_TRUE(recorded == mix) << "the recording differs from the mix";
}

TEST_F(PlayerTest, ARecordingCutShortByAFileSizeLimitStopsAndStillPlays) {
  engine_.reset();  // the child starts its own threads
  const QString path = dir_.filePath(u"limited.wav"_s);
  constexpr rlim_t kLimit = 400000;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const rlimit limit{kLimit, kLimit};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_IGN);
    OfflineEngine engine;
    if (OpenAndWait(engine.engine->Player(1), ramp_) != 6) _exit(3);
    engine.engine->Player(1).Play();
    MixRecorder recorder(*engine.engine);
    engine.Render(0.1);  // past the gain's first glide: the recording starts at the ramp's frame 4410
    if (!recorder.Start(path, nullptr)) _exit(4);
    for (int i = 0; i < 100 && recorder.Failure().isEmpty(); ++i) {
      engine.Render(0.1);
      usleep(20000);  // about five times real time: the writer keeps up
    }
    const bool failed = !recorder.Failure().isEmpty();
    recorder.Stop();
    _exit(failed ? 0 : 5);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the writer saw no failure (3, 4: the child could not start)";
  const std::vector<float> recorded = DecodedSamples(path);
  ASSERT_GT(recorded.size(), 2 * 44100 / 2) << "the file does not play, or holds less than half a second";
  EXPECT_LE(recorded.size() * sizeof(float), kLimit);
  for (std::size_t i = 0; i < recorded.size(); i += 2)
    ASSERT_NEAR(recorded[i], static_cast<double>(i / 2 + 4410) / 44100 / 10, 1e-6) << "the ramp's frame " << i / 2;
}

TEST_F(PlayerTest, LevellingBringsTwoTonesTwelveDecibelsApartToTheTargetLoudness) {
  const QString loud = MakeFile(dir_.path(), u"loud.wav"_s, u"0.5*sin(2*PI*1000*t)"_s, 5.0, "-c:a pcm_f32le");
  const QString soft = MakeFile(dir_.path(), u"soft.wav"_s, u"0.125594*sin(2*PI*1000*t)"_s, 5.0, "-c:a pcm_f32le");
  double levels[2] = {};
  for (int k = 0; k < 2; ++k) {
    const std::optional<SongMeasure> song = MeasureSong(k == 0 ? loud : soft);
    ASSERT_TRUE(song.has_value());
    EXPECT_NEAR(song->seconds, 5.0, 0.01);
    OfflineEngine engine;
    ASSERT_EQ(OpenAndWait(engine.engine->AP(0), k == 0 ? loud : soft), 6);
    engine.engine->AP(0).SetTrim(-18.0 - song->lufs);
    engine.engine->AP(0).Play();
    const std::vector<float> out = engine.Render(5.0);
    SoundFileWriter file;
    const QString played = dir_.filePath(u"played%1.wav"_s.arg(k));
    ASSERT_TRUE(file.Open(played, 44100, false, nullptr) && file.Write(out.data(), int(out.size() / 2), nullptr));
    file.Close();
    levels[k] = MeasureSong(played).value_or(SongMeasure{}).lufs;
    EXPECT_NEAR(levels[k], -18.0, 0.5) << (k == 0 ? "loud" : "soft") << " tone, measured at " << song->lufs;
  }
  EXPECT_NEAR(levels[0], levels[1], 0.5);
  // A ReplayGain tag is taken as it is, without decoding the song.
  const QString tagged = MakeFile(dir_.path(), u"tagged.mp3"_s, u"0.5*sin(2*PI*1000*t)"_s, 5.0,
                                  "-c:a libmp3lame -metadata REPLAYGAIN_TRACK_GAIN=-3.25");
  EXPECT_NEAR(MeasureSong(tagged).value_or(SongMeasure{}).lufs, -18.0 + 3.25, 1e-6);
}

}  // namespace
}  // namespace marvane::test
