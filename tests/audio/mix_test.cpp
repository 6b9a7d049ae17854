// Levels and the mix, measured on offline renders: volume and balance in hundredths of a decibel, gain glides,
// eight players at once, clipping, and a starved player.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QThread>

#include <cmath>
#include <limits>
#include <optional>

#include "audiotestutil.h"

namespace marvane {
namespace {

// The files are made once, before any engine exists (see player_test.cpp).
class MixTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new QTemporaryDir();
    const QString d = dir_->path();
    tone_ = test::MakeFile(d, QStringLiteral("tone.wav"), test::kTone441, 3.0, "-c:a pcm_f32le");
    // A ramp whose value tells the time: 0.1 per second.
    ramp_ = test::MakeFile(d, QStringLiteral("ramp.wav"), QStringLiteral("t/10"), 8.0, "-c:a pcm_f32le");
    // A constant signal makes any step in the gain visible sample by sample.
    dc_ = test::MakeFile(d, QStringLiteral("dc.wav"), QStringLiteral("0.8"), 2.0, "-c:a pcm_f32le");
    // Eight tones 0.2 high each: the sum's peaks reach far beyond full scale.
    for (int i = 0; i < 8; ++i)
      tones_[i] = test::MakeFile(d, QStringLiteral("t%1.wav").arg(i),
                                 QStringLiteral("0.2*sin(2*PI*%1*t)").arg(200 + 50 * i), 1.0, "-c:a pcm_f32le");
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    ASSERT_FALSE(tone_.isEmpty() || dc_.isEmpty() || ramp_.isEmpty() || tones_[7].isEmpty())
        << "the ffmpeg command-line tool is needed to make test files";
    engine_.emplace();
  }

  static inline QTemporaryDir* dir_ = nullptr;
  static inline QString tone_, dc_, ramp_, tones_[8];
  std::optional<test::OfflineEngine> engine_;
};

TEST_F(MixTest, VolumeAndBalanceAreHundredthsOfADecibelAndTheBottomIsSilence) {
  MediaPlayer& player = engine_->engine->Player(3);
  ASSERT_EQ(test::OpenAndWait(player, tone_), 6);
  // Left and right RMS of 0.5 s of the tone, measured after 100 ms.
  auto levels = [&](int volume, int balance) {
    player.SetVolume(volume);
    player.SetBalance(balance);
    player.SetCurrentPosition(0.0);
    player.Play();
    const std::vector<float> out = engine_->Render(0.6);
    player.Stop();
    return std::pair{test::Rms(test::Channel(out, 0, 4410, 22050)), test::Rms(test::Channel(out, 1, 4410, 22050))};
  };
  const double reference = 0.5 / std::sqrt(2.0);
  constexpr double kSilent = -std::numeric_limits<double>::infinity();
  struct Case {
    int volume, balance;
    double leftDb, rightDb;
  };
  for (const Case& c : {Case{0, 0, 0.0, 0.0}, Case{-332, 0, -3.32, -3.32}, Case{-1055, 0, -10.55, -10.55},
                        Case{-4000, 0, -40.0, -40.0}, Case{-9569, 0, -95.69, -95.69},
                        Case{-10000, 0, kSilent, kSilent}, Case{0, -3360, 0.0, -33.6},
                        Case{-332, 1200, -15.32, -3.32}, Case{0, -10000, 0.0, kSilent},
                        Case{0, 10000, kSilent, 0.0}}) {
    SCOPED_TRACE(testing::Message() << "volume " << c.volume << " balance " << c.balance);
    const auto [left, right] = levels(c.volume, c.balance);
    for (const auto& [level, db] : {std::pair{left, c.leftDb}, std::pair{right, c.rightDb}}) {
      if (db == kSilent) {
        EXPECT_EQ(level, 0.0);
      } else {
        EXPECT_NEAR(test::Db(level / reference), db, 0.05);
      }
    }
  }
  // Out-of-range values are held at the ends of the range.
  player.SetVolume(250);
  EXPECT_EQ(player.Volume(), 0);
  player.SetVolume(-20000);
  EXPECT_EQ(player.Volume(), -10000);
}

TEST_F(MixTest, GainChangesGlideWithoutASampleStep) {
  MediaPlayer& player = engine_->engine->Player(1);
  ASSERT_EQ(test::OpenAndWait(player, dc_), 6);
  player.Play();
  std::vector<float> out;
  for (int volume : {0, -10000, 0}) {  // from full level to silence in one call, and back
    player.SetVolume(volume);
    const std::vector<float> part = engine_->Render(0.1);
    out.insert(out.end(), part.begin(), part.end());
  }
  const std::vector<float> left = test::Channel(out, 0);
  double largestStep = 0.0;
  for (std::size_t i = 1; i < left.size(); ++i)
    largestStep = std::max(largestStep, static_cast<double>(std::fabs(left[i] - left[i - 1])));
  // A full-scale move spread over 5 ms at 44.1 kHz moves at most 0.8/220 per sample, and it is done within 10 ms.
  EXPECT_LT(largestStep, 0.8 / 200.0);
  EXPECT_EQ(left[4410 + 441], 0.0f);
  EXPECT_NEAR(left[8820 + 441], 0.8, 1e-6);
}

TEST_F(MixTest, EightPlayersMixAndTheSumIsClippedNotWrapped) {
  for (int slot = 0; slot < 8; ++slot) ASSERT_EQ(test::OpenAndWait(*engine_->engine->PlayerAt(slot), tones_[slot]), 6);
  for (int slot = 0; slot < 8; ++slot) engine_->engine->PlayerAt(slot)->Play();
  const std::vector<float> out = engine_->Render(0.5);
  EXPECT_LE(test::Peak(out), 1.0);
  EXPECT_GT(test::Peak(out), 0.99);  // clipped at full scale, not wrapped to the other sign
  const std::vector<float> left = test::Channel(out, 0, 4410, 17640);
  for (int i = 0; i < 8; ++i)
    EXPECT_GT(test::ToneAmplitude(left, 200 + 50 * i, 44100, 4410), 0.1) << "tone of player " << i << " missing";
  // Mute one, stop another, and the others go on.
  engine_->engine->AP(0).SetVolume(-10000);
  engine_->engine->AP(1).Stop();
  EXPECT_GT(test::Rms(test::Channel(engine_->Render(0.2), 0)), 0.1);
}

TEST_F(MixTest, StarvedPlayerIsSilentForThatMomentWhileTheOthersGoOn) {
  // A real-time engine whose callback the test drives by hand, with no waiting for decoders: exactly what the
  // sound card's callback sees.
  struct HandOutput : AudioOutput {
    int SampleRate() const override { return 44100; }
    int BufferFrames() const override { return 512; }
    bool Start(AudioSource* source, QString*) override { return (source_ = source) != nullptr; }
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
  bool caughtUp = false;
  for (int i = 0; i < 400 && !caughtUp; ++i) {
    hand->source_->Render(buffer.data(), 512);
    ASSERT_GT(test::Rms(test::Channel(buffer, 0)), 0.3) << "b goes on in callback " << i;
    const std::vector<float> right = test::Channel(buffer, 1);
    if (test::Peak(right) == 0.0) {
      QThread::usleep(500);
      continue;
    }
    for (float sample : right) ASSERT_NEAR(sample, 0.505, 0.006) << "stale or garbled sound after the seek";
    caughtUp = true;
  }
  EXPECT_TRUE(caughtUp);
  EXPECT_GT(a.CurrentPosition(), 5.0);
  EXPECT_LT(a.CurrentPosition(), 5.1);
}

}  // namespace
}  // namespace marvane
