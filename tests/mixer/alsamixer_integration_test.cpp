// The real mixer backend against a real system mixer: a private PulseAudio daemon with a null sink and a null
// source, reached through ALSA's pulse plugin as a desktop reaches it. The mixer runs in a child program
// (mixer_probe) per ALSA set-up, because ALSA reads its set-up once per process; the system's volumes are read
// back with pactl between the probe's steps.
//
// The daemon is private (its own socket and state in a temporary folder), so runs in other build folders do
// not meet it; CTest still serialises the tests that start PulseAudio through the "pulseaudio" resource lock.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

namespace {

constexpr int kWaitMs = 10000;

// True when ALSA's pulse control plugin is installed (package libasound2-plugins).
bool HasAlsaPulsePlugin() {
  for (const char* root : {"/usr/lib", "/usr/lib64", "/usr/local/lib"}) {
    QStringList dirs{QString::fromLatin1(root)};
    for (const QString& sub : QDir(dirs[0]).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
      dirs << dirs[0] + QLatin1Char('/') + sub;
    }
    for (const QString& dir : dirs) {
      if (QFile::exists(dir + QStringLiteral("/alsa-lib/libasound_module_ctl_pulse.so"))) return true;
    }
  }
  return false;
}

// The mixer probe, one command at a time.
class Probe {
 public:
  explicit Probe(const QString& alsaConfig) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ALSA_CONFIG_PATH"), alsaConfig);
    process_.setProcessEnvironment(env);
    process_.start(QStringLiteral(MARVANE_MIXER_PROBE), {});
    started_ = process_.waitForStarted(kWaitMs);
  }
  ~Probe() {
    process_.closeWriteChannel();
    if (!process_.waitForFinished(kWaitMs)) process_.kill();
    process_.waitForFinished(kWaitMs);
  }
  bool Started() const { return started_; }

  // Sends one command; gives the lines printed for it, the "ok ..." state line last, or what came before a
  // timeout.
  QStringList Send(const QString& command) {
    process_.write((command + QLatin1Char('\n')).toUtf8());
    QStringList lines;
    while (lines.isEmpty() || !lines.last().startsWith(QStringLiteral("ok "))) {
      if (!process_.canReadLine() && !process_.waitForReadyRead(kWaitMs)) break;
      if (process_.canReadLine()) lines << QString::fromUtf8(process_.readLine()).trimmed();
    }
    return lines;
  }

  // Ends the probe as the program ends; true when it exited normally with code 0.
  bool Quit() {
    process_.write("quit\n");
    process_.closeWriteChannel();
    if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(kWaitMs)) return false;
    return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
  }

 private:
  QProcess process_;
  bool started_ = false;
};

bool WriteFile(const QString& path, const QByteArray& text) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

class AlsaMixerIntegrationTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const QString pulseaudio = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    if (pulseaudio.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty() ||
        !HasAlsaPulsePlugin()) {
      skipReason_ = "PulseAudio or ALSA's pulse plugin is not installed (packages pulseaudio, pulseaudio-utils, "
                    "libasound2-plugins)";
      return;
    }
    folder_ = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/marvane-pulse-XXXXXX"));
    const QString root = folder_->path();
    socket_ = QStringLiteral("unix:") + root + QStringLiteral("/native");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), root);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), root + QStringLiteral("/config"));
    for (const char* sub : {"runtime", "state"}) {
      const QString dir = root + QLatin1Char('/') + QString::fromLatin1(sub);
      QDir().mkpath(dir);
      env.insert(QStringLiteral("PULSE_%1_PATH").arg(QString::fromLatin1(sub).toUpper()), dir);
    }
    env.remove(QStringLiteral("PULSE_SERVER"));
    daemon_ = std::make_unique<QProcess>();
    daemon_->setProcessEnvironment(env);
    daemon_->setProcessChannelMode(QProcess::MergedChannels);
    daemon_->start(pulseaudio,
                   {QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                    QStringLiteral("--disallow-exit"), QStringLiteral("-n"),
                    QStringLiteral("--load=module-native-protocol-unix socket=%1/native auth-anonymous=1").arg(root),
                    QStringLiteral("--load=module-null-sink sink_name=test_sink rate=44100 channels=2 norewinds=1"),
                    QStringLiteral("--load=module-null-source source_name=test_source")});
    // The daemon is ready once it answers.
    for (int i = 0; i < 100 && daemon_->state() != QProcess::NotRunning; ++i) {
      if (Pactl({QStringLiteral("info")}).contains(QStringLiteral("Server Name"))) return;
      QThread::msleep(100);
    }
    daemon_->kill();
    daemon_->waitForFinished(kWaitMs);
    startError_ = "PulseAudio did not start: " + daemon_->readAll().toStdString();
  }

  static void TearDownTestSuite() {
    if (daemon_ != nullptr) {
      daemon_->terminate();
      if (!daemon_->waitForFinished(kWaitMs)) daemon_->kill();
      daemon_->waitForFinished(kWaitMs);
    }
    daemon_.reset();
    folder_.reset();
  }

  void SetUp() override {
    if (!skipReason_.empty()) {
      GTEST_SKIP() << skipReason_;
    }
    ASSERT_TRUE(startError_.empty()) << startError_;
    // An ALSA set-up whose default device and mixer are the private daemon.
    const QString text = QStringLiteral("pcm.!default { type pulse server \"%1\" }\n"
                                        "ctl.!default { type pulse server \"%1\" }\n").arg(socket_);
    ASSERT_TRUE(WriteFile(config_.filePath(QStringLiteral("asound.conf")), text.toUtf8()));
    probe_ = std::make_unique<Probe>(config_.filePath(QStringLiteral("asound.conf")));
    ASSERT_TRUE(probe_->Started());
    const QStringList init = probe_->Send(QStringLiteral("init"));
    ASSERT_EQ(init.size(), 1) << init.join(QLatin1Char('\n')).toStdString();
    // The pulse plugin's master is "Master" with PulseAudio's own volume range, 0 to 65536.
    EXPECT_TRUE(init[0].contains(QStringLiteral("masterok=1 micok=1 span=65536 base=0"))) << init[0].toStdString();
  }

  void TearDown() override {
    if (probe_ != nullptr) {
      EXPECT_TRUE(probe_->Quit());
    }
  }

  static QString Pactl(const QStringList& args) {
    QProcess pactl;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PULSE_SERVER"), socket_);
    pactl.setProcessEnvironment(env);
    pactl.start(QStringLiteral("pactl"), args);
    if (!pactl.waitForFinished(kWaitMs)) pactl.kill();
    pactl.waitForFinished(kWaitMs);
    return QString::fromLocal8Bit(pactl.readAllStandardOutput());
  }

  // The first channel's raw volume of the default sink or source, or -1 when pactl gives none.
  static int Volume(const QString& what) {
    const QString text = Pactl({QStringLiteral("get-%1-volume").arg(what),
                                QStringLiteral("@DEFAULT_%1@").arg(what.toUpper())});
    const auto match = QRegularExpression(QStringLiteral("front-left:\\s*(\\d+)")).match(text);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
  }
  static int SinkVolume() { return Volume(QStringLiteral("sink")); }
  static int SourceVolume() { return Volume(QStringLiteral("source")); }

  QTemporaryDir config_;
  std::unique_ptr<Probe> probe_;
  static inline std::unique_ptr<QProcess> daemon_;
  static inline std::unique_ptr<QTemporaryDir> folder_;
  static inline QString socket_;
  static inline std::string skipReason_;
  static inline std::string startError_;
};

TEST_F(AlsaMixerIntegrationTest, MasterStripDrivesTheSystemVolumeAndOverwritesChangesMadeElsewhere) {
  Probe& probe = *probe_;
  // Start-up restores the default master slider value of 80.
  probe.Send(QStringLiteral("master 80"));
  EXPECT_EQ(SinkVolume(), 52429);  // 65536 x 0.8 = 52428.8
  probe.Send(QStringLiteral("mutedown"));
  EXPECT_EQ(SinkVolume(), 0);
  // The slider moves while the mute is held: nothing reaches the card.
  probe.Send(QStringLiteral("master 30"));
  EXPECT_EQ(SinkVolume(), 0);
  probe.Send(QStringLiteral("muteup"));
  EXPECT_EQ(SinkVolume(), 19661);  // 65536 x 0.3 = 19660.8
  probe.Send(QStringLiteral("master 80"));
  EXPECT_EQ(SinkVolume(), 52429);
  // The desktop's own volume control may move the volume between two writes of the same level.
  Pactl({QStringLiteral("set-sink-volume"), QStringLiteral("@DEFAULT_SINK@"), QStringLiteral("1000")});
  ASSERT_EQ(SinkVolume(), 1000);
  probe.Send(QStringLiteral("master 80"));
  EXPECT_EQ(SinkVolume(), 52429);
}

TEST_F(AlsaMixerIntegrationTest, MicrophoneSliderSetsTheDefaultSource) {
  // The first opening in a run sends level 0.
  const QStringList opened = probe_->Send(QStringLiteral("micwindow"));
  ASSERT_FALSE(opened.isEmpty());
  EXPECT_TRUE(opened.last().contains(QStringLiteral("micwindow=1"))) << opened.last().toStdString();
  EXPECT_EQ(SourceVolume(), 0);
  probe_->Send(QStringLiteral("micslider 50"));
  EXPECT_EQ(SourceVolume(), 32768);
  probe_->Send(QStringLiteral("micslider 100"));
  EXPECT_EQ(SourceVolume(), 65536);
}

// No mixer at all: ALSA set up with no usable control device. Needs neither PulseAudio nor a sound card.
TEST(AlsaMixerWithoutMixerTest, MixerErrorIsShownOnceAndEverythingWorksOn) {
  QTemporaryDir folder;
  const QString config = folder.filePath(QStringLiteral("asound.conf"));
  ASSERT_TRUE(WriteFile(config, "# no devices at all\n"));
  Probe probe(config);
  ASSERT_TRUE(probe.Started());

  const QStringList init = probe.Send(QStringLiteral("init"));
  ASSERT_EQ(init.size(), 2) << init.join(QLatin1Char('\n')).toStdString();
  EXPECT_TRUE(init[0].startsWith(QStringLiteral("message Mixer Error|Couldn't initialize the Volume Control.")))
      << init[0].toStdString();
  EXPECT_TRUE(init[1].contains(QStringLiteral("masterok=0 micok=0 span=0 base=0"))) << init[1].toStdString();
  EXPECT_FALSE(init[1].contains(QStringLiteral("result=0 "))) << init[1].toStdString();

  for (const char* command : {"master 80", "mutedown", "master 20", "muteup", "mic 50", "micwindow"}) {
    const QStringList answer = probe.Send(QString::fromLatin1(command));
    ASSERT_EQ(answer.size(), 1) << command;
    EXPECT_TRUE(answer[0].contains(QStringLiteral("messages=1"))) << answer[0].toStdString();
  }
  // No microphone: the window does not open.
  EXPECT_TRUE(probe.Send(QStringLiteral("micwindow")).join(QString()).contains(QStringLiteral("micwindow=0")));
  EXPECT_TRUE(probe.Quit());
}

}  // namespace
