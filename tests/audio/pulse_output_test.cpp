// The engine through PortAudio, ALSA's pulse plugin and a private PulseAudio daemon with a null sink: played at
// the pace of real time through a real system mixer, recorded from the sink's monitor with parecord, and
// compared with what was asked. Skips when PulseAudio is not installed. CTest serialises the tests that start
// PulseAudio through the "pulseaudio" resource lock; the daemon's socket and state live in a temporary folder.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <cmath>

#include "audiotestutil.h"

namespace marvane {
namespace {

bool HasPulsePlugin() {
  for (const QString& dir : {QStringLiteral("/usr/lib/x86_64-linux-gnu/alsa-lib"), QStringLiteral("/usr/lib/alsa-lib"),
                             QStringLiteral("/usr/lib64/alsa-lib")}) {
    if (QFile::exists(dir + QStringLiteral("/libasound_module_pcm_pulse.so"))) return true;
  }
  return false;
}

TEST(PulseOutputTest, ToneIsPlayedInRealTimeThroughTheSystemMixerAtTheLevelSet) {
  if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty() ||
      QStandardPaths::findExecutable(QStringLiteral("parecord")).isEmpty() || !HasPulsePlugin())
    GTEST_SKIP() << "PulseAudio, parecord or ALSA's pulse plugin is not installed (packages pulseaudio, "
                    "pulseaudio-utils, libasound2-plugins)";
  QTemporaryDir folder(QStringLiteral("/tmp/marvane-pulse-XXXXXX"));
  ASSERT_TRUE(folder.isValid());
  const QString root = folder.path();
  // Everything made before any thread of the engine exists.
  const QString tone = test::MakeFile(root, QStringLiteral("tone.wav"), test::kTone441, 1.0, "-c:a pcm_f32le");
  ASSERT_FALSE(tone.isEmpty());
  QDir().mkpath(root + QStringLiteral("/runtime"));
  QDir().mkpath(root + QStringLiteral("/state"));
  const QString server = QStringLiteral("unix:") + root + QStringLiteral("/native");
  qputenv("PULSE_RUNTIME_PATH", (root + QStringLiteral("/runtime")).toUtf8());
  qputenv("PULSE_STATE_PATH", (root + QStringLiteral("/state")).toUtf8());
  qputenv("PULSE_SERVER", server.toUtf8());
  const QString config = test::WriteFile(
      root + QStringLiteral("/asound.conf"),
      QStringLiteral("pcm.!default { type pulse server \"%1\" }\nctl.!default { type pulse server \"%1\" }\n")
          .arg(server)
          .toUtf8());
  ASSERT_FALSE(config.isEmpty());
  qputenv("ALSA_CONFIG_PATH", config.toUtf8());

  // norewinds=1: without it the stream stalls for seconds.
  const pid_t daemon = test::StartProgram(
      {QStringLiteral("pulseaudio"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
       QStringLiteral("--disallow-exit"), QStringLiteral("-n"),
       QStringLiteral("--load=module-native-protocol-unix socket=%1/native auth-anonymous=1").arg(root),
       QStringLiteral("--load=module-null-sink sink_name=test_sink rate=44100 channels=2 norewinds=1")});
  ASSERT_GT(daemon, 0);
  struct StopDaemon {
    pid_t pid;
    ~StopDaemon() {
      kill(pid, SIGTERM);
      test::FinishProgram(pid, 10000);
    }
  } stopDaemon{daemon};
  bool ready = false;
  for (int i = 0; i < 100 && !ready; ++i) {
    ready = test::FinishProgram(test::StartProgram({QStringLiteral("pactl"), QStringLiteral("info")}), 5000) == 0;
    if (!ready) QThread::msleep(100);
  }
  ASSERT_TRUE(ready) << "PulseAudio did not start";

  const QString raw = root + QStringLiteral("/capture.raw");
  const pid_t recorder = test::StartProgram({QStringLiteral("parecord"), QStringLiteral("--raw"),
                                             QStringLiteral("--format=float32le"), QStringLiteral("--rate=44100"),
                                             QStringLiteral("--channels=2"), QStringLiteral("-d"),
                                             QStringLiteral("test_sink.monitor"), raw});
  ASSERT_GT(recorder, 0);
  qint64 playedMs = 0;
  {
    QString notice;
    std::unique_ptr<AudioOutput> output = AudioEngine::CreateDefaultOutput(&notice);
    ASSERT_TRUE(notice.isEmpty()) << notice.toStdString();
    AudioEngine engine(std::move(output));
    MediaPlayer& player = engine.Player(3);
    ASSERT_EQ(test::OpenAndWait(player, tone), 6);
    test::WaitFor([] { return false; }, 300);  // the recorder is connected
    player.SetVolume(-600);
    player.SetBalance(2000);
    QElapsedTimer clock;
    clock.start();
    player.Play();
    ASSERT_TRUE(test::WaitFor([&] { return player.PlayState() == 0; }, 10000));
    playedMs = clock.elapsed();
    // Silence for the output's latency, or the tail never reaches the sink.
    test::WaitFor([] { return false; }, 500);
  }
  kill(recorder, SIGINT);
  test::FinishProgram(recorder, 10000);

  EXPECT_GT(playedMs, 900) << "a second of sound took " << playedMs << " ms: the output is not paced";
  EXPECT_LT(playedMs, 2000);
  const std::vector<float> stereo = test::CapturedTone(raw, 44100);
  ASSERT_FALSE(stereo.empty()) << "no whole second of tone was recorded";
  const double expected = 0.5 / std::sqrt(2.0);
  EXPECT_NEAR(test::Db(test::Rms(test::Channel(stereo, 0, 11025, 22050)) / expected), -6.0 - 20.0, 0.1);
  EXPECT_NEAR(test::Db(test::Rms(test::Channel(stereo, 1, 11025, 22050)) / expected), -6.0, 0.1);
}

}  // namespace
}  // namespace marvane
