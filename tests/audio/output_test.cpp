// The output paths without a sound server: the fallback to the null output, at the pace of real time, when no device
// opens, a chosen device that appears later, and the callback raised through rtkit where the process may not raise
// it (the level through the real output is measured through PulseAudio, in pulse_output_test). ALSA reads its
// configuration once per process, so each test that needs another one runs as its own CTest entry (--gtest_filter).

#include "audio/nulloutput.h"
#include "audio/portaudiooutput.h"
#include "audiotestutil.h"

#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>

#include <QFile>
#include <QtDBus>
#include <gmock/gmock.h>

namespace marvane::test {
namespace {

// Points ALSA's whole configuration at text, written into dir.
void UseAlsaConfig(const QTemporaryDir& dir, const QByteArray& text) {
  qputenv("ALSA_CONFIG_PATH", WriteBytes(dir.filePath(u"asound.conf"_s), text).toUtf8());
}

TEST(NoDeviceTest, FallsBackToTheNullOutputWithOneNoticeAndPlaysInRealTime) {
  QTemporaryDir dir;
  // A default device that names a sound card the machine does not have.
  UseAlsaConfig(dir, "pcm.!default { type hw card 7 device 0 }\nctl.!default { type hw card 7 }\n");
  const QString tone = MakeFile(dir.path(), u"tone.wav"_s, kTone441, 0.5, "-c:a pcm_s16le");
  QString notice;
  std::unique_ptr<AudioOutput> output = AudioEngine::CreateDefaultOutput(&notice);
  EXPECT_FALSE(notice.isEmpty() || notice.contains(u'\n'));
  ASSERT_NE(dynamic_cast<NullOutput*>(output.get()), nullptr);
  AudioEngine engine(std::move(output));
  MediaPlayer& player = engine.AP(0);
  ASSERT_EQ(OpenAndWait(player, tone), 6);
  QElapsedTimer clock;
  clock.start(), player.Play();
  ASSERT_TRUE(WaitFor([&] { return player.PlayState() == 0; }));
  EXPECT_TRUE(clock.elapsed() > 450 && clock.elapsed() < 1500) << clock.elapsed() << " ms: not the pace of real time";
}

// An ALSA configuration that defines no devices at all must not take the program down: PortAudio's device scan
// would stop it on an assertion.
TEST(EmptyAlsaConfigTest, FallsBackToTheNullOutputInsteadOfStopping) {
  QTemporaryDir dir;
  UseAlsaConfig(dir, "# nothing here\n");
  QString notice;
  EXPECT_NE(dynamic_cast<NullOutput*>(AudioEngine::CreateDefaultOutput(&notice).get()), nullptr);
  EXPECT_FALSE(notice.isEmpty());
}

// A chosen device that is not there at start (an ALSA device the configuration defines only later): the default
// device plays, one notice says so, and the engine moves to the chosen one when it appears.
TEST(ChosenDeviceTest, AnAbsentChoicePlaysOnTheDefaultWithOneNoticeAndMovesWhenItAppears) {
  QTemporaryDir dir;
  const QByteArray defaultDevice =
      "pcm.!default { type file slave.pcm { type null } file \"" + dir.filePath(u"default.raw"_s).toUtf8() + "\" }\n";
  UseAlsaConfig(dir, defaultDevice);
  AudioEngine engine(OutputChoice{u"marvane_chosen"_s, 256, 48000}, &AudioEngine::OpenPortAudio);
  QStringList said;
  QObject::connect(&engine, &AudioEngine::OutputRestored, [&] { said << u"moved"_s; });
  EXPECT_TRUE(engine.AbsentNotice().contains(u"\"marvane_chosen\""_s) &&
              engine.Output().Description().contains(u"default"_s)) << engine.AbsentNotice().toStdString();
  WaitFor([] { return false; }, 1500);
  // A new file in its place, which ALSA reads again at the next open.
  const QString chosen = dir.filePath(u"chosen.raw"_s);
  WriteBytes(dir.filePath(u"next.conf"_s),
             defaultDevice + "pcm.marvane_chosen { type file slave.pcm { type null } file \"" + chosen.toUtf8() + "\" }\n");
  EXPECT_FALSE(PortAudioOutput::OutputDeviceNames().contains(u"marvane_chosen"_s));
  ASSERT_TRUE(QFile::remove(dir.filePath(u"asound.conf"_s)) &&
              QFile::rename(dir.filePath(u"next.conf"_s), dir.filePath(u"asound.conf"_s)));
  // Listed at once, though PortAudio's own list is still the one it made at start.
  EXPECT_TRUE(PortAudioOutput::OutputDeviceNames().contains(u"marvane_chosen"_s));
  ASSERT_TRUE(WaitFor([&] { return engine.AbsentNotice().isEmpty(); }, 5000)) << "never moved to the chosen device";
  WaitFor([] { return false; }, 1500);  // and stays there
  EXPECT_TRUE(engine.Output().Description().contains(u"marvane_chosen"_s));
  EXPECT_EQ(said, QStringList{u"moved"_s});
}

// rtkit as the test's bus offers it (MaxRealtimePriority 20, RTTimeUSecMax 200 ms), keeping the last
// MakeThreadRealtime's arguments and the process's RLIMIT_RTTIME at that moment.
struct FakeRtkit : QDBusVirtualObject {
  std::atomic<int> calls{0};
  QVariantList asked;
  rlimit rttime{};
  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& call, const QDBusConnection& bus) override {
    const QDBusVariant value(call.arguments().value(1) == u"RTTimeUSecMax"_s ? QVariant(200000LL) : QVariant(20));
    if (call.member() != u"MakeThreadRealtime"_s) return bus.send(call.createReply(QVariant::fromValue(value)));
    asked = call.arguments(), getrlimit(RLIMIT_RTTIME, &rttime), ++calls;
    return bus.send(call.createReply());
  }
};

// Where the process may not raise its threads itself (no RLIMIT_RTPRIO, no CAP_SYS_NICE on the thread that opens and
// starts the device), rtkit raises the callback: here a stand-in on the private bus CTest runs this test under.
TEST(RtkitTest, RaisesTheCallbackThreadWhereTheProcessMayNot) {
  const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
  if (bus.isEmpty()) GTEST_SKIP() << "no private bus: run under dbus-run-session, as CTest does";
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct caps[2]{};
  syscall(SYS_capget, &header, caps), caps[0].effective &= ~(1u << CAP_SYS_NICE), caps[0].permitted = caps[0].effective;
  const rlimit none{0, 0};
  const sched_param lowest{1};
  if (syscall(SYS_capset, &header, caps) != 0 || setrlimit(RLIMIT_RTPRIO, &none) != 0 ||
      sched_setscheduler(0, SCHED_FIFO, &lowest) == 0)
    GTEST_SKIP() << "this process cannot be kept from raising its own threads";
  QTemporaryDir dir;
  UseAlsaConfig(dir, "pcm.!default { type null }\n");
  qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus);
  FakeRtkit rtkit;
  ASSERT_TRUE(QDBusConnection::sessionBus().registerVirtualObject(u"/org/freedesktop/RealtimeKit1"_s, &rtkit) &&
              QDBusConnection::sessionBus().registerService(u"org.freedesktop.RealtimeKit1"_s));
  struct : AudioSource {
    std::atomic<pid_t> thread{0};
    void Render(float* out, int frames) noexcept override { thread = gettid(), std::fill_n(out, 2 * frames, 0.0f); }
  } source;
  testing::internal::CaptureStderr();
  std::unique_ptr<AudioOutput> output = AudioEngine::CreateDefaultOutput(nullptr);
  QString error;
  ASSERT_TRUE(output->Start(&source, &error)) << error.toStdString();
  EXPECT_TRUE(WaitFor([&] { return rtkit.calls == 1 && source.thread != 0; }));
  output.reset();  // and with it the thread that asked
  EXPECT_THAT(testing::internal::GetCapturedStderr(),
              testing::HasSubstr("audio: real-time priority 1 (SCHED_FIFO, through rtkit) for the sound callback\n"));
  EXPECT_EQ(rtkit.asked, (QVariantList{quint64(source.thread), 1u}));
  EXPECT_LE(rtkit.rttime.rlim_max, 200000u);
}

}  // namespace
}  // namespace marvane::test
