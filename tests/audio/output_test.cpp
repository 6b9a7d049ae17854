// The real output paths: PortAudio through ALSA into a file (no sound card needed), the fallback when no
// device opens, and the null output's real-time pace.
//
// ALSA reads its configuration once per process, so this program sets ALSA_CONFIG_PATH before anything
// touches ALSA, and each test that needs another configuration runs as its own CTest entry (selected with
// --gtest_filter in CMakeLists.txt).

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cmath>

#include "audio/nulloutput.h"
#include "audiotestutil.h"

namespace marvane {
namespace {

// Points ALSA's whole configuration at `text`, written into `dir`.
void UseAlsaConfig(const QTemporaryDir& dir, const QByteArray& text) {
  const QString path = test::WriteFile(dir.filePath(QStringLiteral("asound.conf")), text);
  ASSERT_FALSE(path.isEmpty());
  qputenv("ALSA_CONFIG_PATH", path.toUtf8());
}

TEST(AlsaFileOutputTest, ToneReachesTheFileAtTheLevelSet) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString raw = dir.filePath(QStringLiteral("out.raw"));
  UseAlsaConfig(dir, "pcm.!default { type file slave.pcm { type null } file \"" + raw.toUtf8() +
                         "\" format \"raw\" }\n");
  const QString tone = test::MakeFile(dir.path(), QStringLiteral("tone.wav"), test::kTone441, 1.0, "-c:a pcm_f32le");
  ASSERT_FALSE(tone.isEmpty());
  int rate = 0;
  {
    QString notice;
    std::unique_ptr<AudioOutput> output = AudioEngine::CreateDefaultOutput(&notice);
    ASSERT_TRUE(notice.isEmpty()) << notice.toStdString();
    EXPECT_TRUE(output->Description().contains(QStringLiteral("ALSA"))) << output->Description().toStdString();
    rate = output->SampleRate();
    AudioEngine engine(std::move(output));
    ASSERT_TRUE(engine.OutputNotice().isEmpty()) << engine.OutputNotice().toStdString();
    MediaPlayer& player = engine.Player(1);
    ASSERT_EQ(test::OpenAndWait(player, tone), 6);
    // Let the decoder queue the whole second: this output runs unpaced, far faster than real time.
    test::WaitFor([] { return false; }, 300);
    player.SetVolume(-600);
    player.SetBalance(-1000);
    player.Play();
    ASSERT_TRUE(test::WaitFor([&] { return player.PlayState() == 0; }, 20000)) << "the file never ended";
  }
  // PortAudio asks ALSA for 32-bit float stereo; the file plugin writes what the stream carries.
  const std::vector<float> stereo = test::CapturedTone(raw, rate);
  ASSERT_FALSE(stereo.empty()) << "no whole second of tone captured";
  // Its middle half second is the 441 Hz tone at the level set.
  const std::vector<float> left = test::Channel(stereo, 0, rate / 4, rate / 2);
  const double expected = 0.5 / std::sqrt(2.0);
  EXPECT_NEAR(test::Db(test::Rms(left) / expected), -6.0, 0.05);
  EXPECT_NEAR(test::Db(test::Rms(test::Channel(stereo, 1, rate / 4, rate / 2)) / expected), -16.0, 0.05);
  EXPECT_NEAR(test::ToneAmplitude(left, 441.0, rate), 0.5 * std::pow(10.0, -0.3), 0.01);
}

TEST(NoDeviceTest, FallsBackToTheNullOutputWithOneNotice) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  // A default device that names a sound card the machine does not have.
  UseAlsaConfig(dir, "pcm.!default { type hw card 7 device 0 }\nctl.!default { type hw card 7 }\n");
  const QString tone = test::MakeFile(dir.path(), QStringLiteral("tone.wav"), test::kTone441, 0.5, "-c:a pcm_s16le");
  QString notice;
  std::unique_ptr<AudioOutput> output = AudioEngine::CreateDefaultOutput(&notice);
  ASSERT_NE(output, nullptr);
  EXPECT_FALSE(notice.isEmpty());
  EXPECT_FALSE(notice.contains(QLatin1Char('\n')));
  EXPECT_NE(dynamic_cast<NullOutput*>(output.get()), nullptr);
  // The console keeps working: a file plays and ends in real time.
  AudioEngine engine(std::move(output));
  MediaPlayer& player = engine.AP(0);
  ASSERT_EQ(test::OpenAndWait(player, tone), 6);
  QElapsedTimer clock;
  clock.start();
  player.Play();
  ASSERT_TRUE(test::WaitFor([&] { return player.CurrentPosition() >= 0.2; }));
  EXPECT_GT(clock.elapsed(), 150);
  ASSERT_TRUE(test::WaitFor([&] { return player.PlayState() == 0; }));
  EXPECT_GT(clock.elapsed(), 450) << "the null output runs at the pace of real time";
  EXPECT_LT(clock.elapsed(), 1500);
}

// An ALSA configuration that defines no devices at all (a missing or empty ALSA_CONFIG_PATH file) must not take
// the program down: PortAudio's device scan would stop it on an assertion.
TEST(EmptyAlsaConfigTest, FallsBackToTheNullOutputInsteadOfStopping) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  UseAlsaConfig(dir, "# nothing here\n");
  QString notice;
  std::unique_ptr<AudioOutput> output = AudioEngine::CreateDefaultOutput(&notice);
  ASSERT_NE(output, nullptr);
  EXPECT_NE(dynamic_cast<NullOutput*>(output.get()), nullptr);
  EXPECT_FALSE(notice.isEmpty());
}

TEST(NullOutputTest, KeepsRealTimeAndRecordsCallbackTimes) {
  class CountingSource : public AudioSource {
   public:
    void Render(float* out, int frames) noexcept override {
      std::fill(out, out + frames * 2, 0.0f);
      rendered.fetch_add(frames);
    }
    std::atomic<long> rendered{0};
  } source;
  NullOutput output(48000, 256);
  output.RecordCallbackTimes(1000);
  QString error;
  ASSERT_TRUE(output.Start(&source, &error));
  QElapsedTimer clock;
  clock.start();
  test::WaitFor([] { return false; }, 500);
  output.Stop();
  const double seconds = clock.elapsed() / 1000.0;
  EXPECT_NEAR(static_cast<double>(source.rendered.load()) / 48000.0, seconds, 0.05);
  const std::vector<std::int64_t> times = output.CallbackTimes();
  EXPECT_NEAR(static_cast<double>(times.size()), source.rendered.load() / 256.0, 1.0);
}

}  // namespace
}  // namespace marvane
