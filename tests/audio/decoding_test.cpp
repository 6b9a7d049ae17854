// Each kind of file the engine plays, made by the ffmpeg command-line tool: it opens, reports its length,
// plays its sound at the right level on both channels at the output rate, and ends.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <random>

#include "audio/decoder.h"
#include "audio/midifile.h"
#include "audiotestutil.h"
#include "support/testenv.h"

namespace marvane {
namespace {

struct Kind {
  const char* name;          // file name; its extension picks the container
  const char* encoder;       // ffmpeg arguments
  int rate;                  // source rate
  int channels;
  double durationTolerance;  // seconds; codecs that pad to whole frames need more than 10 ms
  double levelTolerance;     // dB
};

class DecodingTest : public ::testing::TestWithParam<Kind> {
 protected:
  QTemporaryDir dir_;
};

TEST_P(DecodingTest, OpensPlaysAtLevelOnBothChannelsAndEnds) {
  const Kind kind = GetParam();
  ASSERT_TRUE(dir_.isValid());
  const double seconds = 2.0;
  const QString path =
      test::MakeFile(dir_.path(), QString::fromUtf8(kind.name), test::kTone441, seconds, kind.encoder, kind.rate,
                     kind.channels);
  ASSERT_FALSE(path.isEmpty()) << "ffmpeg could not make " << kind.name;
  test::OfflineEngine engine;  // after the file is made: no fork while decoder threads run
  MediaPlayer& player = engine.engine->Player(4);
  ASSERT_EQ(test::OpenAndWait(player, path), 6) << player.LastError().toStdString();
  EXPECT_NEAR(player.Duration(), seconds, kind.durationTolerance);
  player.Play();
  const std::vector<float> out = engine.Render(seconds + 0.3);
  // 441 Hz at 0.5 on both channels, in the middle of the file, at the engine's rate of 44.1 kHz.
  for (int channel = 0; channel < 2; ++channel) {
    const double amplitude = test::ToneAmplitude(test::Channel(out, channel, 22050, 44100), 441.0, 44100);
    EXPECT_NEAR(test::Db(amplitude / 0.5), 0.0, kind.levelTolerance) << "channel " << channel;
  }
  EXPECT_TRUE(test::WaitFor([&] { return player.PlayState() == 0; }));
  EXPECT_EQ(test::Peak(test::Channel(out, 0, static_cast<int>((seconds + 0.1) * 44100))), 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DecodingTest,
    ::testing::Values(Kind{"u8.wav", "-c:a pcm_u8", 44100, 2, 0.01, 0.1},
                      Kind{"s16.wav", "-c:a pcm_s16le", 44100, 2, 0.01, 0.05},
                      Kind{"s24.wav", "-c:a pcm_s24le", 44100, 2, 0.01, 0.05},
                      Kind{"s32.wav", "-c:a pcm_s32le", 44100, 2, 0.01, 0.05},
                      Kind{"f32.wav", "-c:a pcm_f32le", 44100, 2, 0.01, 0.05},
                      Kind{"mono.wav", "-c:a pcm_s16le", 44100, 1, 0.01, 0.05},
                      // MS ADPCM pads the last block to a whole block (2036 frames), which then plays.
                      Kind{"adpcm.wav", "-c:a adpcm_ms", 44100, 2, 0.05, 0.3},
                      Kind{"rate48k.wav", "-c:a pcm_s16le", 48000, 2, 0.01, 0.05},
                      Kind{"rate22k.wav", "-c:a pcm_s16le", 22050, 1, 0.01, 0.05},
                      Kind{"cbr.mp3", "-c:a libmp3lame -b:a 192k", 44100, 2, 0.01, 0.5},
                      Kind{"vbr.mp3", "-c:a libmp3lame -q:a 2", 44100, 2, 0.01, 0.5},
                      Kind{"mono.mp3", "-c:a libmp3lame -b:a 64k", 44100, 1, 0.01, 0.5},
                      Kind{"layer2.mp2", "-c:a mp2 -b:a 192k", 44100, 2, 0.03, 0.3},
                      Kind{"real144.ra", "-c:a real_144", 8000, 1, 0.05, 2.0},
                      Kind{"real144.rm", "-c:a real_144", 8000, 1, 0.05, 2.0}),
    [](const ::testing::TestParamInfo<Kind>& param) {
      std::string name = param.param.name;
      std::replace(name.begin(), name.end(), '.', '_');
      return name;
    });

// A small MIDI file written byte by byte: one track, 480 ticks a quarter note, a quarter at 120 bpm, a
// tempo change to 60 bpm, then a note lasting one quarter (1 s) and a quarter of rest before End of Track.
QByteArray TempoChangeMidi() {
  QByteArray track;
  auto bytes = [&](std::initializer_list<int> list) {
    for (int b : list) track.append(static_cast<char>(b));
  };
  bytes({0x00, 0xC0, 0x00});                    // piano
  bytes({0x00, 0x90, 60, 100});                 // note on at 0
  bytes({0x83, 0x60, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40});  // after 480 ticks: tempo 1,000,000 us
  bytes({0x83, 0x60, 0x80, 60, 0});             // note off after 480 more ticks
  bytes({0x83, 0x60, 0xFF, 0x2F, 0x00});        // End of Track after a rest of 480 ticks
  QByteArray file("MThd");
  for (int b : {0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0}) file.append(static_cast<char>(b));
  file.append("MTrk");
  const int size = static_cast<int>(track.size());
  for (int shift : {24, 16, 8, 0}) file.append(static_cast<char>((size >> shift) & 0xFF));
  return file + track;
}

TEST(MidiTest, DurationFollowsTempoChangesAndTheSynthPlaysAtNormalLoudness) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QByteArray bytes = TempoChangeMidi();
  const std::optional<MidiFile> midi = MidiFile::Parse(bytes);
  ASSERT_TRUE(midi.has_value());
  EXPECT_NEAR(midi->DurationSeconds(), 0.5 + 1.0 + 1.0, 1e-9);
  EXPECT_EQ(midi->SecondsToTicks(1.0), 480 + 240);
  EXPECT_NEAR(midi->TicksToSeconds(480 + 240), 1.0, 1e-9);

  const QString path = test::WriteFile(dir.filePath(QStringLiteral("tempo.mid")), bytes);
  ASSERT_FALSE(path.isEmpty());
  test::OfflineEngine engine;
  MediaPlayer& player = engine.engine->Player(5);
  ASSERT_EQ(test::OpenAndWait(player, path), 6) << player.LastError().toStdString();
  EXPECT_NEAR(player.Duration(), 2.5, 0.01);
  player.Play();
  const std::vector<float> out = engine.Render(3.0);
  const double peak = test::Peak(test::Channel(out, 0, 0, 66150));
  // A single piano note: loud enough to mix with songs, not clipped.
  EXPECT_GT(test::Db(peak), -24.0);
  EXPECT_LT(test::Db(peak), -0.5);
  // The note sounds from the start: the synth is clocked by rendered samples, not by the wall clock.
  EXPECT_GT(test::Rms(test::Channel(out, 0, 4410, 4410)), 0.01);
  // Nothing after the end.
  EXPECT_EQ(test::Peak(test::Channel(out, 0, 2 * 44100 + 22050 + 10)), 0.0);
  EXPECT_TRUE(test::WaitFor([&] { return player.PlayState() == 0; }));

  // Seeking into the rest after the note: silence; back to the start: the note again.
  player.SetCurrentPosition(2.0);
  player.Play();
  EXPECT_LT(test::Peak(engine.Render(0.3)), 0.01);
  player.SetCurrentPosition(0.0);
  EXPECT_GT(test::Rms(test::Channel(engine.Render(0.3), 0, 4410)), 0.01);
}

TEST(MidiTest, ExtremePassagesAreLimitedBelowFullScaleNotClipped) {
  MARVANE_REQUIRE_TESTDATA();
  // This file plays every General MIDI program at full velocity; around 132 s some reach far above full scale
  // through the synth's gain.
  const QString path = QDir(test::TestDataDir()).filePath(QStringLiteral("audio/midi/jz_test-all-gm-sounds.mid"));
  QString error;
  std::unique_ptr<Decoder> decoder = OpenDecoder(path, 44100, &error);
  ASSERT_NE(decoder, nullptr) << error.toStdString();
  ASSERT_TRUE(decoder->Seek(131.0));
  std::vector<float> passage(static_cast<std::size_t>(5 * 44100) * 2);
  ASSERT_EQ(decoder->Read(passage.data(), 5 * 44100), 5 * 44100);
  EXPECT_LE(test::Peak(passage), 0.9701);
  EXPECT_GT(test::Db(test::Rms(passage)), -20.0) << "limited, not silenced";
}

TEST(MidiTest, ParserRejectsWhatIsNotMidiAndSurvivesTruncationAndDamage) {
  EXPECT_FALSE(MidiFile::Parse(QByteArray()).has_value());
  EXPECT_FALSE(MidiFile::Parse(QByteArray("not a midi file")).has_value());
  EXPECT_FALSE(MidiFile::Parse(QByteArray("MThd\0\0\0\6\0", 9)).has_value());
  const QByteArray good = TempoChangeMidi();
  // Every truncation parses without reading past the end and never claims more than the whole file.
  for (int size = 14; size < good.size(); ++size) {
    const std::optional<MidiFile> midi = MidiFile::Parse(good.left(size));
    ASSERT_TRUE(midi.has_value()) << size;
    EXPECT_LE(midi->DurationSeconds(), 2.5 + 1e-9) << size;
  }
  // Whatever a damaged file makes of its bytes is self-consistent: the clean copy parses to the same length.
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    QByteArray bytes = good;
    for (int i = 0, flips = 1 + static_cast<int>(random() % 6); i < flips; ++i)
      bytes[static_cast<int>(random() % bytes.size())] = static_cast<char>(random() & 0xFF);
    if (random() % 4 == 0) bytes.truncate(static_cast<int>(random() % bytes.size()));
    const std::optional<MidiFile> midi = MidiFile::Parse(bytes);
    if (!midi) continue;
    const std::optional<MidiFile> again = MidiFile::Parse(midi->CleanBytes());
    ASSERT_TRUE(again.has_value()) << round;
    EXPECT_EQ(again->LastTick(), midi->LastTick()) << round;
    EXPECT_TRUE(std::isfinite(midi->DurationSeconds())) << round;
  }
}

}  // namespace
}  // namespace marvane
