// The whole program, with the real wiring of the console, the song log and the mixer, on the real sound device
// and mixer, which reach a private PulseAudio daemon through ALSA's pulse plugin: the daemon crashes and starts
// again while the program plays. CTest serialises the tests that start PulseAudio ("pulseaudio" resource lock).

#include "app/application.h"
#include "app/singleinstance.h"
#include "audiotestutil.h"
#include "mixer/mixer.h"
#include "settings/settingkeys.h"
#include "songlog/songlog.h"
#include "support/fixture.h"
#include "support/scripteddialogs.h"

#include <QRegularExpression>
#include <QUuid>

namespace marvane::test {
namespace {

// The program as it starts for the user, on the real sound device and mixer (both reach the private daemon).
class ServerCrashTest : public FolderTest {
 protected:
  void SetUp() override {
    if (const QString missing = PrivatePulse::Missing(); !missing.isEmpty()) GTEST_SKIP() << missing.toStdString();
    ASSERT_TRUE(pulse_.Ready()) << "PulseAudio did not start";
    settings_.WriteSetting(keys::kFirstRun, u"False"_s);
  }
  void TearDown() override {
    if (app_) app_->ExitProgram(false);
    app_.reset();
  }
  void Start(const QString& commandLine) {
    instance_ = std::make_unique<SingleInstance>(QUuid::createUuid().toString(QUuid::WithoutBraces));
    app_ = std::make_unique<Application>(settings_, dialogs_);
    app_->endProgram = [] {};
    ASSERT_TRUE(app_->Main(commandLine, *instance_));
  }
  // The daemon crashes and is gone for `seconds`, while the program runs on. Returns the longest the event loop
  // went without running in that time, in milliseconds.
  qint64 CrashServer(double seconds) {
    pulse_.Kill();
    QElapsedTimer gone, sinceLast;
    gone.start(), sinceLast.start();
    qint64 longest = 0;
    WaitFor([&] {
      longest = std::max(longest, sinceLast.restart());
      return gone.elapsed() > seconds * 1000;
    }, 60000);
    return longest;
  }
  // Starts the daemon again with a recorder on its sink; how long after its return the sound was heard (ms),
  // or -1 when it was not within ten seconds.
  qint64 ReturnServer() {
    EXPECT_TRUE(pulse_.Start());
    QElapsedTimer back;
    back.start();
    recorder_ = StartRecorder(pulse_.Path(u"after.raw"_s));
    const bool heard = WaitFor([&] { return Heard(pulse_.Path(u"after.raw"_s)); }, 10000);
    return heard ? back.elapsed() : -1;
  }

  PrivatePulse pulse_;
  ScriptedDialogs dialogs_;
  std::unique_ptr<SingleInstance> instance_;
  std::unique_ptr<Application> app_;
  pid_t recorder_ = -1;
};

TEST_F(ServerCrashTest, ALineGoesOnInTimeAndIsHeardAgainWhenTheServerReturns) {
  const QString tone = Tone(u"long.wav"_s, 30.0);
  ASSERT_FALSE(tone.isEmpty());
  Start(tone);  // the command line opens it on line 1, which plays it
  MediaPlayer& line1 = app_->Engine()->Player(1);
  ASSERT_TRUE(WaitFor([&] { return line1.CurrentPosition() > 1.0; }, 10000)) << "line 1 does not play";
  // The master slider's level reached the system volume through the mixer.
  const QString volume = pulse_.Pactl({u"get-sink-volume"_s, u"test_sink"_s});
  ASSERT_TRUE(volume.contains(u"80%"_s)) << volume.toStdString();

  const double before = line1.CurrentPosition();
  QElapsedTimer elapsed;
  elapsed.start();
  const qint64 longestStall = CrashServer(2.5);
  EXPECT_LT(longestStall, 1000) << "the window waited for the device while it was gone";
  EXPECT_EQ(dialogs_.notices, QStringList{AudioEngine::kDeviceLostNotice});
  EXPECT_TRUE(dialogs_.messages.isEmpty()) << "a message box stopped the show";
  EXPECT_EQ(line1.PlayState(), 2);
  const qint64 heardAfterMs = ReturnServer();
  const double advanced = line1.CurrentPosition() - before, passed = elapsed.elapsed() / 1000.0;
  StopRecorder(recorder_);
  std::printf("device_loss_heard_again_ms: %lld\ndevice_loss_position_error_ms: %.0f\n",
              static_cast<long long>(heardAfterMs), (advanced - passed) * 1000.0);
  EXPECT_TRUE(heardAfterMs >= 0 && heardAfterMs < 3000) << "heard again " << heardAfterMs << " ms after the return";
  EXPECT_NEAR(advanced, passed, 0.25) << "the position did not follow real time";
  EXPECT_FALSE(app_->Engine()->OutputLostNow() || dialogs_.noticeShowing);
  // The mixer is open on the new server: the master slider's level is set there again, and follows the slider.
  EXPECT_TRUE(WaitFor([&] {
    return pulse_.Pactl({u"get-sink-volume"_s, u"test_sink"_s}).contains(u"80%"_s);
  }, 3000)) << pulse_.Pactl({u"get-sink-volume"_s, u"test_sink"_s}).toStdString();
  app_->MixerAccess()->ApplyMasterVolume(50);
  EXPECT_TRUE(pulse_.Pactl({u"get-sink-volume"_s, u"test_sink"_s}).contains(u"50%"_s));
}

TEST_F(ServerCrashTest, AutoPilotHandsOverWhileTheServerIsGoneAndTheSongLogHasNoHole) {
  settings_.WriteSetting(keys::kLogging, u"True"_s);
  settings_.WriteSetting(keys::kFadeSeconds, u"1"_s);
  settings_.WriteSetting(keys::kSpinUp, u"1"_s);
  settings_.WriteSetting(keys::kRandom, u"False"_s);
  settings_.WriteSetting(keys::Loop(0), u"True"_s);  // AutoPilot goes round the list
  QStringList songs;
  for (int i = 1; i <= 4; ++i) songs << Tone(u"song%1.wav"_s.arg(i), 4.0);
  const QString list = WriteBytes(Path(u"list.m3u"_s), songs.join(u'\n').toUtf8() + '\n');
  Start(list);  // the command line loads the list and starts AutoPilot
  SongLog& log = *app_->Log();
  ASSERT_TRUE(WaitFor([&] { return log.LogCount() >= 1; }, 10000)) << "AutoPilot does not play";
  // Gone from 2 s into the first song until after the first hand-over, 3 s later.
  WaitFor([] { return false; }, 1500);
  CrashServer(3.0);
  EXPECT_GE(log.LogCount(), 2) << "the hand-over waited for the device";
  EXPECT_GE(ReturnServer(), 0) << "AutoPilot is not heard after the server's return";
  StopRecorder(recorder_);
  ASSERT_TRUE(WaitFor([&] { return log.LogCount() >= 5; }, 20000));
  // Every song in turn, each a song's length (4 s) less the overlap after the one before: none is missing.
  int previous = -1;
  for (int n = 1; n <= 5; ++n) {
    const SongLogEntry entry = log.Entry(n);
    const QRegularExpressionMatch hms = QRegularExpression(u"(\\d+):(\\d\\d):(\\d\\d)"_s).match(entry.Time);
    ASSERT_TRUE(hms.hasMatch()) << entry.Time.toStdString();
    const int seconds = hms.captured(1).toInt() * 3600 + hms.captured(2).toInt() * 60 + hms.captured(3).toInt();
    if (previous >= 0) {
      EXPECT_EQ(entry.Song.back().digitValue(), log.Entry(n - 1).Song.back().digitValue() % 4 + 1) << n;
      EXPECT_NEAR((seconds - previous + 43200) % 43200, 3.5, 1.5) << n;
    }
    previous = seconds;
  }
  EXPECT_EQ(dialogs_.notices.size(), 1);
}

}  // namespace
}  // namespace marvane::test
