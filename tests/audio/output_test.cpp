// The output paths without a sound server: the fallback to the null output, at the pace of real time, when no
// device opens, and a chosen device that appears later (the level through the real output is measured through
// PulseAudio, in pulse_output_test). ALSA reads its configuration once per process, so each test that
// needs another configuration runs as its own CTest entry (selected with --gtest_filter in CMakeLists.txt).

#include "audio/nulloutput.h"
#include "audio/portaudiooutput.h"
#include "audiotestutil.h"

#include <QFile>

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

}  // namespace
}  // namespace marvane::test
