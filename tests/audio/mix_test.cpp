// Levels and the mix, measured on offline renders: volume and balance in hundredths of a decibel, gain glides,
// eight players at once, clipping, and a starved player.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QThread>

#include <cmath>
#include <optional>

#include "audio/gain.h"
#include "audiotestutil.h"

namespace marvane {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The files are made once, before any engine exists (see player_test.cpp).
class MixTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new QTemporaryDir();
    const QStringList f32 = {QStringLiteral("-c:a"), QStringLiteral("pcm_f32le")};
    tone_ = test::MakeFile(dir_->path(), QStringLiteral("tone.wav"), QStringLiteral("0.5*sin(2*PI*441*t)"), 3.0, f32);
    // A ramp whose value tells the time: 0.1 per second.
    ramp_ = test::MakeFile(dir_->path(), QStringLiteral("ramp.wav"), QStringLiteral("t/10"), 8.0, f32);
    // A constant signal makes any step in the gain visible sample by sample.
    dc_ = test::MakeFile(dir_->path(), QStringLiteral("dc.wav"), QStringLiteral("0.8"), 2.0, f32);
    // Eight tones 0.2 high each: the sum's peaks reach far beyond full scale.
    for (int i = 0; i < 8; ++i)
      tones_[i] = test::MakeFile(dir_->path(), QStringLiteral("t%1.wav").arg(i),
                                 QStringLiteral("0.2*sin(2*PI*%1*t)").arg(200 + 50 * i), 1.0, f32);
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    ASSERT_FALSE(tone_.isEmpty() || dc_.isEmpty() || tones_[7].isEmpty())
        << "the ffmpeg command-line tool is needed to make test files";
    engine_.emplace();
  }
  // Left and right RMS of 0.5 s of `player` playing the tone, measured after 100 ms.
  std::pair<double, double> Levels(int volume, int balance) {
    MediaPlayer& player = engine_->engine->Player(3);
    if (player.OpenState() != 6) {
      EXPECT_EQ(test::OpenAndWait(player, tone_), 6);
    }
    player.SetVolume(volume);
    player.SetBalance(balance);
    player.SetCurrentPosition(0.0);
    player.Play();
    const std::vector<float> out = engine_->Render(0.6);
    player.Stop();
    return {test::Rms(test::Channel(out, 0, 4410, 22050)), test::Rms(test::Channel(out, 1, 4410, 22050))};
  }

  static inline QTemporaryDir* dir_ = nullptr;
  static inline QString tone_;
  static inline QString dc_;
  static inline QString ramp_;
  static inline QString tones_[8];
  std::optional<test::OfflineEngine> engine_;
};

TEST_F(MixTest, VolumeIsHundredthsOfADecibelAndTheBottomIsSilence) {
  const auto [refLeft, refRight] = Levels(0, 0);
  EXPECT_NEAR(refLeft, 0.5 / std::sqrt(2.0), 1e-3);
  EXPECT_NEAR(refRight, refLeft, 1e-6);
  for (int volume : {-332, -1055, -4000, -9569}) {
    const auto [left, right] = Levels(volume, 0);
    EXPECT_NEAR(test::Db(left / refLeft), volume / 100.0, 0.05) << volume;
    EXPECT_NEAR(test::Db(right / refRight), volume / 100.0, 0.05) << volume;
  }
  const auto [left, right] = Levels(-10000, 0);
  EXPECT_EQ(left, 0.0);
  EXPECT_EQ(right, 0.0);
  // Out-of-range values are held at the ends of the range.
  MediaPlayer& player = engine_->engine->Player(3);
  player.SetVolume(250);
  EXPECT_EQ(player.Volume(), 0);
  player.SetVolume(-20000);
  EXPECT_EQ(player.Volume(), -10000);
}

TEST_F(MixTest, BalanceLowersTheOppositeChannel) {
  const auto [refLeft, refRight] = Levels(0, 0);
  {
    const auto [left, right] = Levels(0, -3360);
    EXPECT_NEAR(test::Db(left / refLeft), 0.0, 0.05);
    EXPECT_NEAR(test::Db(right / refRight), -33.6, 0.05);
  }
  {
    const auto [left, right] = Levels(-332, 1200);
    EXPECT_NEAR(test::Db(left / refLeft), -3.32 - 12.0, 0.05);
    EXPECT_NEAR(test::Db(right / refRight), -3.32, 0.05);
  }
  {
    const auto [left, right] = Levels(0, -10000);
    EXPECT_NEAR(left, refLeft, 1e-4);
    EXPECT_EQ(right, 0.0);
  }
  {
    const auto [left, right] = Levels(0, 10000);
    EXPECT_EQ(left, 0.0);
    EXPECT_NEAR(right, refRight, 1e-4);
  }
}

TEST_F(MixTest, GainChangesGlideWithoutASampleStep) {
  MediaPlayer& player = engine_->engine->Player(1);
  ASSERT_EQ(test::OpenAndWait(player, dc_), 6);
  player.Play();
  std::vector<float> out = engine_->Render(0.1);
  player.SetVolume(-10000);  // from full level to silence in one call
  const std::vector<float> fall = engine_->Render(0.1);
  out.insert(out.end(), fall.begin(), fall.end());
  player.SetVolume(0);
  const std::vector<float> rise = engine_->Render(0.1);
  out.insert(out.end(), rise.begin(), rise.end());
  const std::vector<float> left = test::Channel(out, 0);
  double largestStep = 0.0;
  for (std::size_t i = 1; i < left.size(); ++i)
    largestStep = std::max(largestStep, static_cast<double>(std::fabs(left[i] - left[i - 1])));
  // A full-scale move spread over 5 ms at 44.1 kHz moves at most 0.8/220 per sample.
  EXPECT_LT(largestStep, 0.8 / 200.0);
  // ...and it is done well within 10 ms.
  EXPECT_EQ(left[4410 + 441], 0.0f);
  EXPECT_NEAR(left[8820 + 441], 0.8, 1e-6);
}

TEST_F(MixTest, EightPlayersMixAndTheSumIsClippedNotWrapped) {
  for (int slot = 0; slot < 8; ++slot) {
    MediaPlayer* player = engine_->engine->PlayerAt(slot);
    ASSERT_EQ(test::OpenAndWait(*player, tones_[slot]), 6);
  }
  for (int slot = 0; slot < 8; ++slot) engine_->engine->PlayerAt(slot)->Play();
  const std::vector<float> out = engine_->Render(0.5);
  EXPECT_LE(test::Peak(out), 1.0);
  EXPECT_GT(test::Peak(out), 0.99);  // clipped at full scale, not wrapped to the other sign
  // Each tone is present: correlate with each frequency.
  const std::vector<float> left = test::Channel(out, 0, 4410, 17640);
  for (int i = 0; i < 8; ++i) {
    const double f = 200 + 50 * i;
    double re = 0.0, im = 0.0;
    for (std::size_t n = 0; n < left.size(); ++n) {
      const double t = (4410.0 + static_cast<double>(n)) / 44100.0;
      re += left[n] * std::cos(2 * kPi * f * t);
      im += left[n] * std::sin(2 * kPi * f * t);
    }
    const double amplitude = 2.0 * std::hypot(re, im) / static_cast<double>(left.size());
    EXPECT_GT(amplitude, 0.1) << "tone of player " << i << " missing";
  }
  // Mute one and the others go on.
  engine_->engine->AP(0).SetVolume(-10000);
  engine_->engine->AP(1).Stop();
  const std::vector<float> rest = engine_->Render(0.2);
  EXPECT_GT(test::Rms(test::Channel(rest, 0)), 0.1);
}

TEST_F(MixTest, StarvedPlayerIsSilentForThatMomentWhileTheOthersGoOn) {
  // A real-time engine whose callback the test drives by hand, with no waiting for decoders: exactly what the
  // sound card's callback sees. Right after a seek, the player's blocks are stale and dropped, so its first
  // callback after the seek has nothing to play.
  class HandOutput : public AudioOutput {
   public:
    int SampleRate() const override { return 44100; }
    int BufferFrames() const override { return 512; }
    bool Start(AudioSource* source, QString*) override {
      source_ = source;
      return true;
    }
    void Stop() override { source_ = nullptr; }
    QString Description() const override { return QStringLiteral("by hand"); }
    AudioSource* source_ = nullptr;
  };
  auto output = std::make_unique<HandOutput>();
  HandOutput* hand = output.get();
  AudioEngine engine(std::move(output));
  MediaPlayer& a = engine.Player(1);
  MediaPlayer& b = engine.Player(2);
  ASSERT_EQ(test::OpenAndWait(a, ramp_), 6);
  ASSERT_EQ(test::OpenAndWait(b, tone_), 6);
  a.SetBalance(10000);   // a on the right only
  b.SetBalance(-10000);  // b on the left only
  a.Play();
  b.Play();
  std::vector<float> buffer(1024);
  for (int i = 0; i < 4; ++i) hand->source_->Render(buffer.data(), 512);
  // After the seek a's queued blocks are stale: until its decoder has caught up, a has nothing to play. In
  // every callback a is either silent or already at the new place (the ramp reads 0.5 at 5 s), never stale,
  // and b is never interrupted.
  a.SetCurrentPosition(5.0);
  int starved = 0;
  bool caughtUp = false;
  for (int i = 0; i < 400 && !caughtUp; ++i) {
    hand->source_->Render(buffer.data(), 512);
    ASSERT_GT(test::Rms(test::Channel(buffer, 0)), 0.3) << "b goes on in callback " << i;
    const std::vector<float> right = test::Channel(buffer, 1);
    if (test::Peak(right) == 0.0) {
      ++starved;
      QThread::usleep(500);
      continue;
    }
    for (float sample : right) ASSERT_NEAR(sample, 0.505, 0.006) << "stale or garbled sound after the seek";
    caughtUp = true;
  }
  EXPECT_TRUE(caughtUp);
  EXPECT_GT(a.CurrentPosition(), 5.0);
  EXPECT_LT(a.CurrentPosition(), 5.1);
  RecordProperty("starved_callbacks", starved);
}

TEST(GainTest, HundredthsOfADecibel) {
  EXPECT_DOUBLE_EQ(HundredthsDbToGain(0), 1.0);
  EXPECT_NEAR(HundredthsDbToGain(-600), 0.501187, 1e-6);
  EXPECT_EQ(HundredthsDbToGain(-10000), 0.0);
  EXPECT_NEAR(HundredthsDbToGain(-9999), 1.0011e-5, 1e-8);
  const StereoGain g = VolumeBalanceToGain(-332, -3360);
  EXPECT_NEAR(20 * std::log10(g.left), -3.32, 1e-4);
  EXPECT_NEAR(20 * std::log10(g.right), -3.32 - 33.6, 1e-4);
}

}  // namespace
}  // namespace marvane
