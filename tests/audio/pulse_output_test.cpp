// The engine through PortAudio, ALSA's pulse plugin and a private PulseAudio daemon with a null sink: played at
// the pace of real time through a real system mixer, recorded from the sink's monitor with parecord, and
// compared with what was asked; and a crash of the daemon while a player plays. CTest serialises the tests that
// start PulseAudio ("pulseaudio" resource lock).

#include "audiotestutil.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace marvane::test {
namespace {

TEST(PulseOutputTest, ToneIsPlayedInRealTimeThroughTheSystemMixerAtTheLevelSet) {
  if (const QString missing = PrivatePulse::Missing(); !missing.isEmpty()) GTEST_SKIP() << missing.toStdString();
  QTemporaryDir dir;
  // Made before any thread of the engine exists.
  const QString tone = MakeFile(dir.path(), u"tone.wav"_s, kTone441, 1.0, "-c:a pcm_f32le");
  ASSERT_FALSE(tone.isEmpty());
  PrivatePulse pulse;
  ASSERT_TRUE(pulse.Ready()) << "PulseAudio did not start";
  const QString raw = pulse.Path(u"capture.raw"_s);
  const pid_t recorder = StartRecorder(raw);
  ASSERT_GT(recorder, 0);
  qint64 playedMs = 0;
  {
    QString notice;
    AudioEngine engine(AudioEngine::CreateDefaultOutput(&notice));
    ASSERT_TRUE(notice.isEmpty()) << notice.toStdString();
    MediaPlayer& player = engine.Player(3);
    ASSERT_EQ(OpenAndWait(player, tone), 6);
    WaitFor([] { return false; }, 300);  // the recorder is connected
    player.SetVolume(-600), player.SetBalance(2000);
    QElapsedTimer clock;
    clock.start(), player.Play();
    ASSERT_TRUE(WaitFor([&] { return player.PlayState() == 0; }, 10000));
    playedMs = clock.elapsed();
    WaitFor([] { return false; }, 500);  // silence for the output's latency, or the tail never reaches the sink
    // Neither a device that plays silence nor one stopped on purpose is lost.
    EXPECT_FALSE(engine.OutputLostNow());
    engine.Output().Stop();
    WaitFor([] { return false; }, 2 * AudioEngine::kStallLimit.count());
    EXPECT_FALSE(engine.OutputLostNow());
  }
  StopRecorder(recorder);
  EXPECT_TRUE(playedMs > 900 && playedMs < 2000) << "a second of sound took " << playedMs << " ms: not paced";
  const std::vector<float> stereo = CapturedTone(raw, 44100);
  ASSERT_FALSE(stereo.empty()) << "no whole second of tone was recorded";
  const double expected = 0.5 / std::sqrt(2.0);
  EXPECT_NEAR(Db(Rms(Channel(stereo, 0, 11025, 22050)) / expected), -6.0 - 20.0, 0.1);
  EXPECT_NEAR(Db(Rms(Channel(stereo, 1, 11025, 22050)) / expected), -6.0, 0.1);
}

TEST(PulseOutputTest, APlayerGoesOnInTimeThroughACrashOfTheServerAndIsHeardAgainWhenItReturns) {
  if (const QString missing = PrivatePulse::Missing(); !missing.isEmpty()) GTEST_SKIP() << missing.toStdString();
  QTemporaryDir dir;
  const QString tone = MakeFile(dir.path(), u"tone.wav"_s, kTone441, 20.0, "-c:a pcm_s16le");
  ASSERT_FALSE(tone.isEmpty());
  PrivatePulse pulse;
  ASSERT_TRUE(pulse.Ready()) << "PulseAudio did not start";
  QString notice;
  AudioEngine engine(AudioEngine::CreateDefaultOutput(&notice));
  ASSERT_TRUE(notice.isEmpty()) << notice.toStdString();
  QStringList said;
  QObject::connect(&engine, &AudioEngine::OutputLost, [&](const QString& text) { said << text; });
  QObject::connect(&engine, &AudioEngine::OutputRestored, [&] { said << u"back"_s; });
  MediaPlayer& player = engine.Player(1);
  ASSERT_EQ(OpenAndWait(player, tone), 6);
  player.Play();
  WaitFor([] { return false; }, 1000);
  const double before = player.CurrentPosition();
  QElapsedTimer clock;
  clock.start();
  pulse.Kill();
  EXPECT_TRUE(WaitFor([&] { return engine.OutputLostNow(); }, 2000));
  WaitFor([] { return false; }, 1000);
  ASSERT_TRUE(pulse.Start());
  const QString raw = pulse.Path(u"after.raw"_s);
  const pid_t recorder = StartRecorder(raw);
  EXPECT_TRUE(WaitFor([&] { return Heard(raw); }, 3000)) << "not heard within 3 s of the server's return";
  StopRecorder(recorder);
  EXPECT_NEAR(player.CurrentPosition() - before, clock.elapsed() / 1000.0, 0.25);
  EXPECT_EQ(said, (QStringList{AudioEngine::kDeviceLostNotice, u"back"_s}));
}

// Through the real device, recorded: a new buffer size while a line plays a ramp (its value tells the time). The
// switch leaves a moment of silence, but the sound after it goes on from where it was, within one buffer.
TEST(PulseOutputTest, ANewBufferSizeGoesOnWhereTheLineWasWithinOneBuffer) {
  if (const QString missing = PrivatePulse::Missing(); !missing.isEmpty()) GTEST_SKIP() << missing.toStdString();
  QTemporaryDir dir;
  const QString ramp = MakeFile(dir.path(), u"ramp.wav"_s, u"t/10"_s, 8.0, "-c:a pcm_f32le");
  ASSERT_FALSE(ramp.isEmpty());
  PrivatePulse pulse;
  ASSERT_TRUE(pulse.Ready()) << "PulseAudio did not start";
  const pid_t recorder = StartRecorder(pulse.Path(u"capture.raw"_s));
  AudioEngine engine(OutputChoice{u"Default"_s, 512, 44100}, &AudioEngine::OpenPortAudio);
  MediaPlayer& line = engine.Player(1);
  ASSERT_EQ(OpenAndWait(line, ramp), 6);
  line.Play();
  for (const int frames : {2048, 128, 1024})
    WaitFor([] { return false; }, 700), engine.SwitchOutput({u"Default"_s, frames, 44100});
  WaitFor([] { return false; }, 700);
  StopRecorder(recorder);
  // Each switch fades the sound out over one buffer, leaves a silence and fades it in again over one buffer: no
  // step between samples is larger than a fade's (a click). Between silences the sound's loudest sample is the
  // ramp unfaded, which tells where that stretch of sound began and ended; each stretch takes up where the one
  // before ended, give or take one buffer skipped and nothing repeated.
  struct Stretch {
    qsizetype start = 0, top = 0, end = 0;
    float peak = 0.0f;
  };
  std::vector<Stretch> stretches;
  const QByteArray bytes = ReadBytes(pulse.Path(u"capture.raw"_s));
  double largestStep = 0.0;
  float previous = 0.0f;
  for (qsizetype i = 0; i + 8 <= bytes.size(); i += 8) {
    float left;
    std::memcpy(&left, bytes.constData() + i, sizeof left);
    largestStep = std::max(largestStep, double(std::abs(left - previous)));
    if (left != 0.0f && previous == 0.0f) stretches.push_back({i / 8, i / 8, i / 8, 0.0f});
    previous = left;
    if (left == 0.0f) continue;
    Stretch& stretch = stretches.back();
    if (left > stretch.peak) stretch.peak = left, stretch.top = i / 8;
    stretch.end = i / 8 + 1;
  }
  ASSERT_GE(stretches.size(), 4u) << "each switch leaves a moment of silence";
  EXPECT_GT(stretches.back().peak * 10, 2.5) << "not heard";
  double largestSkip = 0.0, largestRepeat = 0.0;
  for (std::size_t k = 1; k < stretches.size(); ++k) {
    const Stretch& before = stretches[k - 1];
    const Stretch& after = stretches[k];
    const double moved = (10.0 * after.peak - double(after.top - after.start) / 44100.0) -
                         (10.0 * before.peak + double(before.end - before.top) / 44100.0);
    largestSkip = std::max(largestSkip, moved);
    largestRepeat = std::max(largestRepeat, -moved);
  }
  EXPECT_LT(largestSkip, 2048 / 44100.0) << "sound skipped";
  EXPECT_LT(largestRepeat, 0.001) << "sound repeated";
  EXPECT_LT(largestStep, 0.01) << "a click";
}

}  // namespace
}  // namespace marvane::test
