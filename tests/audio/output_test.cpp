// The real output paths: PortAudio through ALSA into a file (no sound card needed), the fallback when no
// device opens, and the null output's real-time pace.
//
// ALSA reads its configuration once per process, so this program sets ALSA_CONFIG_PATH before anything
// touches ALSA, and each test that needs another configuration runs as its own CTest entry (selected with
// --gtest_filter in CMakeLists.txt).

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstring>

#include "audio/nulloutput.h"
#include "audiotestutil.h"

namespace marvane {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Points ALSA's whole configuration at `text`, written into `dir`.
void UseAlsaConfig(const QTemporaryDir& dir, const QByteArray& text) {
  const QString path = dir.filePath(QStringLiteral("asound.conf"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
  file.close();
  qputenv("ALSA_CONFIG_PATH", path.toUtf8());
}

TEST(AlsaFileOutputTest, ToneReachesTheFileAtTheLevelSet) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString raw = dir.filePath(QStringLiteral("out.raw"));
  UseAlsaConfig(dir, "pcm.!default { type file slave.pcm { type null } file \"" + raw.toUtf8() +
                         "\" format \"raw\" }\n");
  const QString tone = test::MakeFile(dir.path(), QStringLiteral("tone.wav"), QStringLiteral("0.5*sin(2*PI*441*t)"),
                                      1.0, {QStringLiteral("-c:a"), QStringLiteral("pcm_f32le")});
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
  QFile file(raw);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  // PortAudio asks ALSA for 32-bit float stereo; the file plugin writes what the stream carries.
  std::vector<float> samples(static_cast<std::size_t>(bytes.size()) / sizeof(float));
  std::memcpy(samples.data(), bytes.constData(), samples.size() * sizeof(float));
  ASSERT_GT(samples.size(), static_cast<std::size_t>(rate) * 2);
  // Find where the tone starts, then measure its middle half second.
  std::size_t first = 0;
  while (first < samples.size() && std::fabs(samples[first]) < 1e-4f) ++first;
  ASSERT_LT(first + static_cast<std::size_t>(rate) * 2, samples.size()) << "no whole second of tone captured";
  std::vector<float> stereo(samples.begin() + static_cast<std::ptrdiff_t>(first & ~std::size_t{1}),
                            samples.begin() + static_cast<std::ptrdiff_t>((first & ~std::size_t{1}) + rate * 2));
  const std::vector<float> left = test::Channel(stereo, 0, rate / 4, rate / 2);
  const std::vector<float> right = test::Channel(stereo, 1, rate / 4, rate / 2);
  const double expected = 0.5 / std::sqrt(2.0);
  EXPECT_NEAR(test::Db(test::Rms(left) / expected), -6.0, 0.05);
  EXPECT_NEAR(test::Db(test::Rms(right) / expected), -16.0, 0.05);
  // And it is the 441 Hz tone: correlate against it.
  double re = 0.0, im = 0.0;
  for (std::size_t n = 0; n < left.size(); ++n) {
    re += left[n] * std::cos(2 * kPi * 441.0 * static_cast<double>(n) / rate);
    im += left[n] * std::sin(2 * kPi * 441.0 * static_cast<double>(n) / rate);
  }
  EXPECT_NEAR(2.0 * std::hypot(re, im) / static_cast<double>(left.size()), 0.5 * std::pow(10.0, -0.3), 0.01);
}

TEST(NoDeviceTest, FallsBackToTheNullOutputWithOneNotice) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  // A default device that names a sound card the machine does not have.
  UseAlsaConfig(dir, "pcm.!default { type hw card 7 device 0 }\nctl.!default { type hw card 7 }\n");
  const QString tone = test::MakeFile(dir.path(), QStringLiteral("tone.wav"), QStringLiteral("0.5*sin(2*PI*441*t)"),
                                      0.5, {QStringLiteral("-c:a"), QStringLiteral("pcm_s16le")});
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
