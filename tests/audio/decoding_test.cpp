// Decoding: each kind of file the engine plays, made by the ffmpeg command-line tool, opens, reports its length,
// plays at the right level on both channels at the output rate, and ends; MIDI files are timed and synthesised
// at a sane loudness, and the MIDI parser survives any damage; every real-world file of the shared sample folder
// plays or fails cleanly; truncated, garbage and mislabelled files play what they hold or fail cleanly.

#include "audio/decoder.h"
#include "audio/ffmpegdecoder.h"
#include "audio/memorysource.h"
#include "audio/midifile.h"
#include "audiotestutil.h"

#include <QDirIterator>
#include <QFileInfo>

#include <optional>

namespace marvane::test {
namespace {

struct Kind {
  const char* name;          // file name; its extension picks the container
  const char* encoder;       // ffmpeg arguments
  int rate;                  // source rate
  int channels;
  double durationTolerance;  // seconds; codecs that pad to whole frames need more than 10 ms
  double levelTolerance;     // dB
};

class DecodingTest : public ::testing::TestWithParam<Kind> {};

TEST_P(DecodingTest, OpensPlaysAtLevelOnBothChannelsAndEnds) {
  const Kind kind = GetParam();
  QTemporaryDir dir;
  const QString path = MakeFile(dir.path(), QLatin1String(kind.name), kTone441, 2.0, kind.encoder, kind.rate,
                                kind.channels);
  ASSERT_FALSE(path.isEmpty()) << "ffmpeg could not make " << kind.name;
  OfflineEngine engine;  // after the file is made: no fork while decoder threads run
  MediaPlayer& player = engine.engine->Player(4);
  ASSERT_EQ(OpenAndWait(player, path), 6) << player.LastError().toStdString();
  EXPECT_NEAR(player.Duration(), 2.0, kind.durationTolerance);
  player.Play();
  const std::vector<float> out = engine.Render(2.3);
  // 441 Hz at 0.5 on both channels, in the middle of the file, at the engine's rate of 44.1 kHz.
  for (int channel = 0; channel < 2; ++channel) {
    const double amplitude = ToneAmplitude(Channel(out, channel, 22050, 44100), 441.0, 44100);
    EXPECT_NEAR(Db(amplitude / 0.5), 0.0, kind.levelTolerance) << "channel " << channel;
  }
  EXPECT_TRUE(WaitFor([&] { return player.PlayState() == 0; }));
  EXPECT_EQ(Peak(Channel(out, 0, static_cast<int>(2.1 * 44100))), 0.0);
}

// MS ADPCM pads the last block to a whole block (2036 frames), which then plays.
constexpr Kind kKinds[] = {
    {"u8.wav", "-c:a pcm_u8", 44100, 2, 0.01, 0.1},         {"s16.wav", "-c:a pcm_s16le", 44100, 2, 0.01, 0.05},
    {"s24.wav", "-c:a pcm_s24le", 44100, 2, 0.01, 0.05},     {"s32.wav", "-c:a pcm_s32le", 44100, 2, 0.01, 0.05},
    {"f32.wav", "-c:a pcm_f32le", 44100, 2, 0.01, 0.05},     {"mono.wav", "-c:a pcm_s16le", 44100, 1, 0.01, 0.05},
    {"adpcm.wav", "-c:a adpcm_ms", 44100, 2, 0.05, 0.3},     {"rate48k.wav", "-c:a pcm_s16le", 48000, 2, 0.01, 0.05},
    {"rate22k.wav", "-c:a pcm_s16le", 22050, 1, 0.01, 0.05}, {"layer2.mp2", "-c:a mp2 -b:a 192k", 44100, 2, 0.03, 0.3},
    {"cbr.mp3", "-c:a libmp3lame -b:a 192k", 44100, 2, 0.01, 0.5},
    {"vbr.mp3", "-c:a libmp3lame -q:a 2", 44100, 2, 0.01, 0.5},
    {"mono.mp3", "-c:a libmp3lame -b:a 64k", 44100, 1, 0.01, 0.5}, {"real144.ra", "-c:a real_144", 8000, 1, 0.05, 2.0},
    {"real144.rm", "-c:a real_144", 8000, 1, 0.05, 2.0}};
INSTANTIATE_TEST_SUITE_P(Kinds, DecodingTest, ::testing::ValuesIn(kKinds), [](const auto& param) {
  return QString::fromLatin1(param.param.name).replace(u'.', u'_').toStdString();
});

// A 44.1 kHz float file played at 48 kHz: a 1 kHz tone at -1 dBFS keeps THD+N (all but the tone, over one second
// of whole cycles) below -100 dB, and tones from 20 Hz to 20 kHz come out at their level within 0.1 dB.
TEST(ResamplingTest, ToneStaysCleanAndTheResponseFlatFrom20HzTo20kHz) {
  QTemporaryDir dir;
  for (const int hz : {1000, 20, 200, 5000, 15000, 20000}) {
    const QString path = MakeFile(dir.path(), u"%1.wav"_s.arg(hz), u"0.891*sin(2*PI*%1*t)"_s.arg(hz), 2.0,
                                  "-c:a pcm_f32le");
    OfflineEngine engine(48000);
    ASSERT_EQ(OpenAndWait(engine.engine->Player(1), path), 6);
    engine.engine->Player(1).Play();
    const std::vector<float> tone = Channel(engine.Render(1.5), 0, 24000, 48000);
    const double amplitude = ToneAmplitude(tone, hz, 48000, 24000), fitted = amplitude * amplitude / 2;
    EXPECT_NEAR(Db(amplitude / 0.891), 0.0, 0.1) << hz << " Hz";
    if (hz == 1000) {
      EXPECT_LT(10 * std::log10(Rms(tone) * Rms(tone) / fitted - 1), -100.0) << "THD+N";
    }
  }
}

// A small MIDI file written byte by byte: one track, 480 ticks a quarter note, a quarter at 120 bpm, a tempo
// change to 60 bpm, then a note lasting one quarter (1 s) and a quarter of rest before End of Track.
QByteArray TempoChangeMidi() {
  const QByteArray track("\x00\xC0\x00"                           // piano
                         "\x00\x90\x3C\x64"                       // note on at 0
                         "\x83\x60\xFF\x51\x03\x0F\x42\x40"       // after 480 ticks: tempo 1,000,000 us
                         "\x83\x60\x80\x3C\x00"                   // note off after 480 more ticks
                         "\x83\x60\xFF\x2F\x00", 25);             // End of Track after a rest of 480 ticks
  return QByteArray("MThd\0\0\0\6\0\0\0\1\x01\xE0MTrk\0\0\0\x19", 22) + track;
}

TEST(MidiTest, DurationFollowsTempoChangesAndTheSynthPlaysAtNormalLoudness) {
  QTemporaryDir dir;
  const QByteArray bytes = TempoChangeMidi();
  const std::optional<MidiFile> midi = MidiFile::Parse(bytes);
  ASSERT_TRUE(midi.has_value());
  EXPECT_NEAR(midi->DurationSeconds(), 0.5 + 1.0 + 1.0, 1e-9);
  EXPECT_EQ(midi->SecondsToTicks(1.0), 480 + 240);
  EXPECT_NEAR(midi->TicksToSeconds(480 + 240), 1.0, 1e-9);
  OfflineEngine engine;
  MediaPlayer& player = engine.engine->Player(5);
  ASSERT_EQ(OpenAndWait(player, WriteBytes(dir.filePath(u"tempo.mid"_s), bytes)), 6);
  EXPECT_NEAR(player.Duration(), 2.5, 0.01);
  player.Play();
  const std::vector<float> out = engine.Render(3.0);
  // A single piano note: loud enough to mix with songs, not clipped; it sounds from the start (the synth is
  // clocked by rendered samples, not by the wall clock), and nothing comes after the end.
  const double peakDb = Db(Peak(Channel(out, 0, 0, 66150)));
  EXPECT_TRUE(peakDb > -24.0 && peakDb < -0.5) << peakDb;
  EXPECT_GT(Rms(Channel(out, 0, 4410, 4410)), 0.01);
  EXPECT_EQ(Peak(Channel(out, 0, 2 * 44100 + 22050 + 10)), 0.0);
  EXPECT_TRUE(WaitFor([&] { return player.PlayState() == 0; }));
  // Seeking into the rest after the note: silence; back to the start: the note again.
  player.SetCurrentPosition(2.0);
  player.Play();
  EXPECT_LT(Peak(engine.Render(0.3)), 0.01);
  player.SetCurrentPosition(0.0);
  EXPECT_GT(Rms(Channel(engine.Render(0.3), 0, 4410)), 0.01);
}

TEST(MidiTest, ParserRejectsWhatIsNotMidiAndSurvivesTruncationAndDamage) {
  for (const QByteArray& bytes : {QByteArray(), QByteArray("not a midi file"), QByteArray("MThd\0\0\0\6\0", 9)})
    EXPECT_FALSE(MidiFile::Parse(bytes).has_value()) << bytes.toStdString();
  const QByteArray good = TempoChangeMidi();
  // Every truncation parses without reading past the end and never claims more than the whole file.
  for (int size = 14; size < good.size(); ++size) {
    const std::optional<MidiFile> midi = MidiFile::Parse(good.left(size));
    ASSERT_TRUE(midi.has_value()) << size;
    EXPECT_LE(midi->DurationSeconds(), 2.5 + 1e-9) << size;
  }
}

// The real-world files: each valid one opens and plays to its end, each broken one (empty, garbage, header only,
// a tag and nothing after it, a network metafile, a stream FFmpeg rejects) fails to open cleanly.
TEST(TestDataTest, EveryValidFilePlaysAndEveryBrokenOneFailsCleanly) {
  MARVANE_REQUIRE_TESTDATA();
  const QStringList broken = QStringLiteral(
      "jz_test-empty-file.mid jz_test-empty.mid jz_test-not-a-midi-file.mid mm_ILL2_wrongcrc.mp2 et_MP3.mp3 "
      "ft_fixture-mp2l3.mp3 tt_empty_file.mp3 tt_id3v1-latin1.mp3 tt_id3v24-long-title.mp3 tt_incomplete.mp3 "
      "tt_invalid_file_larger.mp3 et_Real.ra et_Real.ram et_Real.rm et_RIFF.wav tt_empty_file.wav "
      "tt_invalid_file.wav tt_no_audio_data_compressed.wav tt_no_audio_data_uncompressed.wav "
      "tt_zero_value_properties.wav").split(u' ');
  // Lengths stated by the files' makers, where a file has a well-defined one.
  const QHash<QString, double> lengths = {{u"tt_test3sMono.wav"_s, 3.0},       {u"tt_16bit_pcm.wav"_s, 0.1},
                                          {u"jz_test-track-length.mid"_s, 1.5}, {u"jz_test-c-major-scale.mid"_s, 4.0},
                                          {u"tt_vbr_xing_header.mp3"_s, 3.917}, {u"tt_silence-44-s-v1.mp3"_s, 3.7355}};
  QStringList files;
  for (QDirIterator it(TestDataDir() + u"/audio"_s, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
    files << it.next();
  ASSERT_GT(files.size(), 60);
  OfflineEngine engine;
  MediaPlayer& player = engine.engine->Player(6);
  int played = 0;
  for (const QString& path : files) {
    const QString name = QFileInfo(path).fileName();
    SCOPED_TRACE(name.toStdString());
    const int state = OpenAndWait(player, path);
    if (broken.contains(name)) {
      EXPECT_EQ(state, 0) << "a broken file must not open";
      continue;
    }
    ASSERT_EQ(state, 6) << player.LastError().toStdString();
    const double duration = player.Duration();
    ASSERT_GT(duration, 0.0);
    EXPECT_NEAR(duration, lengths.value(name, duration), 0.01);
    // It plays to its end (at most its last 10 s) with sound in range, then stops and rewinds.
    const double start = std::max(0.0, duration - 10.0);
    player.SetCurrentPosition(start);
    player.Play();
    for (float sample : engine.Render(duration - start + 0.3))
      ASSERT_TRUE(std::isfinite(sample) && std::fabs(sample) <= 1.0f);
    EXPECT_TRUE(WaitFor([&] { return player.PlayState() == 0 && player.CurrentPosition() == 0.0; }))
        << "it did not end and rewind";
    ++played;
  }
  EXPECT_EQ(played, files.size() - broken.size());
  // This file plays every General MIDI program at full velocity; around 132 s some reach far above full scale
  // through the synth's gain, and are limited below it, not clipped and not silenced.
  QString error;
  std::unique_ptr<Decoder> decoder =
      OpenDecoder(TestDataDir() + u"/audio/midi/jz_test-all-gm-sounds.mid"_s, 44100, &error);
  ASSERT_NE(decoder, nullptr) << error.toStdString();
  ASSERT_TRUE(decoder->Seek(131.0));
  std::vector<float> passage(static_cast<std::size_t>(5 * 44100) * 2);
  ASSERT_EQ(decoder->Read(passage.data(), 5 * 44100), 5 * 44100);
  EXPECT_TRUE(Peak(passage) <= 0.9701 && Db(Rms(passage)) > -20.0) << Peak(passage) << " " << Rms(passage);
}

// Damaged or mislabelled copies of good files. Files that name other files in FFmpeg's own playlist formats (HLS,
// ffconcat) open nothing, though the files they name play, and a demuxer of a format the program does not play
// (here a raw AAC stream) is not used either.
TEST(DamagedFileTest, TruncatedFilesPlayWhatDecodesGarbageAndForeignFormatsFailMislabelledFilesPlayByTheirContent) {
  QTemporaryDir dir;
  const QString mp3 = MakeFile(dir.path(), u"song.mp3"_s, kTone441, 3.0, "-c:a libmp3lame -b:a 128k");
  const QString wav = MakeFile(dir.path(), u"song.wav"_s, kTone441, 3.0, "-c:a pcm_s16le");
  const QString aac = MakeFile(dir.path(), u"song.aac"_s, kTone441, 3.0, "-c:a aac -f adts");
  ASSERT_FALSE(mp3.isEmpty() || wav.isEmpty() || aac.isEmpty());
  OfflineEngine engine;  // after the files are made: no fork while decoder threads run
  MediaPlayer& player = engine.engine->Player(1);
  for (const QString& source : {mp3, wav}) {
    ASSERT_EQ(OpenAndWait(player, source), 6) << source.toStdString();
    const QByteArray whole = ReadBytes(source);
    const QString cut = WriteBytes(dir.filePath(u"cut."_s + QFileInfo(source).suffix()), whole.left(whole.size() / 2));
    ASSERT_EQ(OpenAndWait(player, cut), 6) << source.toStdString();
    player.Play();
    EXPECT_GT(Rms(Channel(engine.Render(3.5), 0, 22050, 22050)), 0.3) << "the first half plays";
    EXPECT_TRUE(WaitFor([&] { return player.PlayState() == 0; })) << "and then it ends";
  }
  QByteArray garbage(40000, '\0');
  for (int i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 7919) ^ (i >> 3));
  for (const auto& [name, bytes] :
       {std::pair{u"noise.mp3"_s, garbage}, {u"noise.mid"_s, "MThd" + garbage}, {u"noise.ram"_s, garbage},
        {u"hls.m3u8"_s, QByteArray("#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:3.0,\nsong.mp3\n#EXT-X-ENDLIST\n")},
        {u"list.ffconcat"_s, QByteArray("ffconcat version 1.0\nfile song.wav\n")}})
    EXPECT_EQ(OpenAndWait(player, WriteBytes(dir.filePath(name), bytes)), 0) << name.toStdString();
  EXPECT_EQ(OpenAndWait(player, aac), 0);
  EXPECT_EQ(OpenAndWait(player, dir.path()), 0);  // a folder
  // A wave file named .mp3, an MP3 named .wav and .mid: all play.
  for (const auto& [name, source] : {std::pair{u"wave.mp3"_s, wav}, {u"mpeg.wav"_s, mp3}, {u"mpeg.mid"_s, mp3}}) {
    ASSERT_EQ(OpenAndWait(player, WriteBytes(dir.filePath(name), ReadBytes(source))), 6) << name.toStdString();
    EXPECT_NEAR(player.Duration(), 3.0, 0.03) << name.toStdString();
  }
}

// A file without timestamps to seek by (RealAudio as the ffmpeg tool writes it) is decoded once, when it opens;
// every seek after that reads about as much wherever it lands, and lands where asked.
TEST(RealAudioSeekTest, TheTenthSeekCostsNoMoreThanTheFirstAndEachLandsOnTime) {
  QTemporaryDir dir;
  // Silence for 60 s, then the tone: where the tone starts after a seek shows where the seek landed.
  const QString path = MakeFile(dir.path(), u"long.ra"_s, u"0.25*sin(2*PI*441*t)*(1+sgn(t-60))"_s, 120.0,
                                "-c:a real_144", 8000, 1);
  ASSERT_FALSE(path.isEmpty());
  auto source = std::make_unique<MemorySource>(ReadBytes(path));
  const MemorySource& counted = *source;
  QString error;
  std::unique_ptr<FfmpegDecoder> decoder = FfmpegDecoder::Open(std::move(source), path, 44100, {}, &error);
  ASSERT_NE(decoder, nullptr) << error.toStdString();
  EXPECT_NEAR(decoder->Duration(), 120.0, 0.05);
  std::vector<float> out(static_cast<std::size_t>(44100) * 2);
  std::vector<std::int64_t> costs;
  for (int i = 0; i < 10; ++i) {
    const double target = 24.0 + 10.0 * i;  // farther and farther along the file
    const std::int64_t before = counted.BytesRead();
    ASSERT_TRUE(decoder->Seek(target)) << target;
    ASSERT_EQ(decoder->Read(out.data(), 44100), 44100) << target;
    costs.push_back(counted.BytesRead() - before);
  }
  EXPECT_LE(costs.back(), costs.front() * 3 / 2) << "the first seek read " << costs.front() << " bytes, the tenth "
                                                 << costs.back() << " of a file of " << counted.Size();
  // Half a second before the tone: half a second of silence, then the tone.
  ASSERT_TRUE(decoder->Seek(59.5));
  ASSERT_EQ(decoder->Read(out.data(), 44100), 44100);
  EXPECT_LT(Rms(Channel(out, 0, 0, 19845)), 0.02) << "the tone came before its time";
  EXPECT_GT(Rms(Channel(out, 0, 24255)), 0.1) << "the tone did not come on time";
}

}  // namespace
}  // namespace marvane::test
