// Every real-world file of the shared sample folder: each valid one opens and plays to its end, each broken
// one fails to open cleanly; and damaged or mislabelled copies of good files never crash or hang anything.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <random>
#include <optional>

#include "audio/decoder.h"
#include "audiotestutil.h"
#include "support/testenv.h"

namespace marvane {
namespace {

// Files that hold no playable sound: empty, garbage, header only, a tag and nothing after it, a network
// metafile, a stream FFmpeg rejects outright.
const QStringList kBroken = QStringLiteral(
    "jz_test-empty-file.mid jz_test-empty.mid jz_test-not-a-midi-file.mid mm_ILL2_wrongcrc.mp2 et_MP3.mp3 "
    "ft_fixture-mp2l3.mp3 tt_empty_file.mp3 tt_id3v1-latin1.mp3 tt_id3v24-long-title.mp3 tt_incomplete.mp3 "
    "tt_invalid_file_larger.mp3 et_Real.ra et_Real.ram et_Real.rm et_RIFF.wav tt_empty_file.wav "
    "tt_invalid_file.wav tt_no_audio_data_compressed.wav tt_no_audio_data_uncompressed.wav "
    "tt_zero_value_properties.wav").split(QLatin1Char(' '));

// Lengths stated by the files' makers, where a file has a well-defined one.
const QHash<QString, double> kLengths = {
    {QStringLiteral("tt_test3sMono.wav"), 3.0},    {QStringLiteral("tt_test-riff-tags.wav"), 1.0},
    {QStringLiteral("tt_16bit_pcm.wav"), 0.1},     {QStringLiteral("tt_32bit_float.wav"), 0.1},
    {QStringLiteral("jz_test-track-length.mid"), 1.5}, {QStringLiteral("jz_test-c-major-scale.mid"), 4.0},
    {QStringLiteral("tt_vbr_xing_header.mp3"), 3.917}, {QStringLiteral("tt_silence-44-s-v1.mp3"), 3.7355},
};

TEST(TestDataTest, EveryValidFilePlaysAndEveryBrokenOneFailsCleanly) {
  MARVANE_REQUIRE_TESTDATA();
  const QString root = QDir(test::TestDataDir()).filePath(QStringLiteral("audio"));
  QStringList files;
  for (QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) files << it.next();
  files.sort();
  ASSERT_GT(files.size(), 60);
  test::OfflineEngine engine;
  MediaPlayer& player = engine.engine->Player(6);
  int played = 0;
  for (const QString& path : files) {
    const QString name = QFileInfo(path).fileName();
    SCOPED_TRACE(name.toStdString());
    const int state = test::OpenAndWait(player, path);
    if (kBroken.contains(name)) {
      EXPECT_EQ(state, 0) << "a broken file must not open";
      player.Play();
      EXPECT_EQ(player.PlayState(), 0);
      continue;
    }
    ASSERT_EQ(state, 6) << player.LastError().toStdString();
    const double duration = player.Duration();
    ASSERT_GT(duration, 0.0);
    if (kLengths.contains(name)) {
      EXPECT_NEAR(duration, kLengths.value(name), 0.01);
    }
    // It plays to its end (at most its last 10 s) with sound in range, then stops and rewinds.
    const double start = std::max(0.0, duration - 10.0);
    player.SetCurrentPosition(start);
    player.Play();
    for (float sample : engine.Render(duration - start + 0.3)) {
      ASSERT_TRUE(std::isfinite(sample));
      ASSERT_LE(std::fabs(sample), 1.0f);
    }
    EXPECT_TRUE(test::WaitFor([&] { return player.PlayState() == 0; })) << "it did not end";
    EXPECT_EQ(player.CurrentPosition(), 0.0);
    ++played;
  }
  EXPECT_EQ(played, files.size() - kBroken.size());
}

class DamagedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    mp3_ = test::MakeFile(dir_.path(), QStringLiteral("song.mp3"), test::kTone441, 3.0, "-c:a libmp3lame -b:a 128k");
    wav_ = test::MakeFile(dir_.path(), QStringLiteral("song.wav"), test::kTone441, 3.0, "-c:a pcm_s16le");
    ASSERT_FALSE(mp3_.isEmpty() || wav_.isEmpty());
    engine_.emplace();  // after the files are made: no fork while decoder threads run
  }
  QString Write(const QString& name, const QByteArray& bytes) { return test::WriteFile(dir_.filePath(name), bytes); }
  QTemporaryDir dir_;
  QString mp3_, wav_;
  std::optional<test::OfflineEngine> engine_;
};

TEST_F(DamagedFileTest, TruncatedFilesPlayWhatDecodesAndEnd) {
  MediaPlayer& player = engine_->engine->Player(1);
  for (const QString& source : {mp3_, wav_}) {
    const QByteArray whole = test::ReadFile(source);
    const QString cut = Write(QStringLiteral("cut.") + QFileInfo(source).suffix(), whole.left(whole.size() / 2));
    ASSERT_EQ(test::OpenAndWait(player, cut), 6) << source.toStdString();
    player.Play();
    const std::vector<float> out = engine_->Render(3.5);
    EXPECT_GT(test::Rms(test::Channel(out, 0, 22050, 22050)), 0.3) << "the first half plays";
    EXPECT_TRUE(test::WaitFor([&] { return player.PlayState() == 0; })) << "and then it ends";
  }
}

TEST_F(DamagedFileTest, GarbageFailsAndMislabelledFilesPlayByTheirContent) {
  MediaPlayer& player = engine_->engine->Player(2);
  QByteArray garbage(40000, '\0');
  for (int i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 7919) ^ (i >> 3));
  EXPECT_EQ(test::OpenAndWait(player, Write(QStringLiteral("noise.mp3"), garbage)), 0);
  EXPECT_EQ(test::OpenAndWait(player, Write(QStringLiteral("noise.mid"), QByteArray("MThd") + garbage)), 0);
  EXPECT_EQ(test::OpenAndWait(player, Write(QStringLiteral("noise.ram"), garbage)), 0);
  // A wave file named .mp3, an MP3 named .wav and .mid: all play.
  for (const QString& name : {QStringLiteral("wave.mp3"), QStringLiteral("mpeg.wav"), QStringLiteral("mpeg.mid")}) {
    const QString path = Write(name, test::ReadFile(name.startsWith(QLatin1String("wave")) ? wav_ : mp3_));
    ASSERT_EQ(test::OpenAndWait(player, path), 6) << name.toStdString();
    EXPECT_NEAR(player.Duration(), 3.0, 0.03) << name.toStdString();
  }
  // A file that vanishes between open and play, and a folder.
  EXPECT_EQ(test::OpenAndWait(player, dir_.path()), 0);
  EXPECT_EQ(test::OpenAndWait(player, dir_.filePath(QStringLiteral("none.wav"))), 0);
}

TEST_F(DamagedFileTest, RandomlyCorruptedFilesNeverCrashOrHang) {
  std::mt19937 random(11);
  for (const QString& source : {mp3_, wav_}) {
    const QByteArray whole = test::ReadFile(source);
    for (int round = 0; round < 12; ++round) {
      QByteArray bytes = whole;
      const int damage = 1 + static_cast<int>(random() % 200);
      for (int i = 0; i < damage; ++i)
        bytes[static_cast<int>(random() % bytes.size())] = static_cast<char>(random() & 0xFF);
      const QString path = Write(QStringLiteral("damaged.") + QFileInfo(source).suffix(), bytes);
      QString error;
      std::unique_ptr<Decoder> decoder = OpenDecoder(path, 44100, &error);
      if (decoder == nullptr) {
        EXPECT_FALSE(error.isEmpty());
        continue;
      }
      EXPECT_TRUE(std::isfinite(decoder->Duration()));
      // It plays to an end, and that end comes: never more than a little beyond the undamaged length.
      std::vector<float> buffer(4096 * 2);
      std::int64_t frames = 0;
      for (int got = decoder->Read(buffer.data(), 4096); got > 0; got = decoder->Read(buffer.data(), 4096)) {
        frames += got;
        for (int i = 0; i < got * 2; ++i) ASSERT_TRUE(std::isfinite(buffer[static_cast<std::size_t>(i)]));
        ASSERT_LT(frames, 44100 * 10) << "decoding does not end";
      }
      // Seeking a damaged file may fail, but it returns, and what is read afterwards is sound or nothing.
      if (decoder->Seek(1.0)) {
        const int got = decoder->Read(buffer.data(), 4096);
        for (int i = 0; i < got * 2; ++i) ASSERT_TRUE(std::isfinite(buffer[static_cast<std::size_t>(i)]));
      }
    }
  }
}

}  // namespace
}  // namespace marvane
