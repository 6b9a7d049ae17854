#include "audio/mididecoder.h"

#include <fluidsynth.h>

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace marvane {
namespace {

// FluidSynth's default gain of 0.2 plays General MIDI songs far below other music; this brings a typical
// file's chords near -6 dBFS, about where mastered songs sit.
constexpr double kSynthGain = 0.8;
// The limiter's ceiling (about -0.3 dBFS) and how long it takes to come back to unity after a peak.
constexpr float kLimiterCeiling = 0.97f;
constexpr float kLimiterReleaseSeconds = 0.2f;
// FluidSynth renders in blocks of 64 frames.
constexpr int kSynthBlock = 64;

void QuietFluidSynthOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) fluid_set_log_function(level, nullptr, nullptr);
  });
}

}  // namespace

QString MidiDecoder::FindSoundFont() {
  const QStringList folders = {QStringLiteral("/usr/share/sounds/sf2"), QStringLiteral("/usr/share/soundfonts"),
                               QStringLiteral("/usr/local/share/sounds/sf2")};
  const QStringList preferred = {QStringLiteral("default-GM.sf2"), QStringLiteral("FluidR3_GM.sf2"),
                                 QStringLiteral("TimGM6mb.sf2")};
  for (const QString& folder : folders) {
    for (const QString& name : preferred) {
      const QFileInfo info(QDir(folder).filePath(name));
      if (info.isFile()) return info.canonicalFilePath();
    }
  }
  for (const QString& folder : folders) {
    const QStringList any = QDir(folder).entryList({QStringLiteral("*.sf2")}, QDir::Files, QDir::Name);
    if (!any.isEmpty()) return QDir(folder).filePath(any.first());
  }
  return {};
}

MidiDecoder::MidiDecoder(MidiFile midi, int outputRate) : midi_(std::move(midi)), outputRate_(outputRate) {
  totalFrames_ = std::llround(midi_.DurationSeconds() * outputRate_);
}

MidiDecoder::~MidiDecoder() {
  if (player_ != nullptr) delete_fluid_player(player_);
  if (synth_ != nullptr) delete_fluid_synth(synth_);
  if (settings_ != nullptr) delete_fluid_settings(settings_);
}

std::unique_ptr<MidiDecoder> MidiDecoder::Open(const QByteArray& bytes, int outputRate, QString* error) {
  QuietFluidSynthOnce();
  std::optional<MidiFile> midi = MidiFile::Parse(bytes);
  if (!midi) {
    *error = QStringLiteral("not a MIDI file");
    return nullptr;
  }
  if (midi->LastTick() <= 0 || midi->DurationSeconds() <= 0.0) {
    *error = QStringLiteral("the MIDI file holds nothing to play");
    return nullptr;
  }
  const QString soundFont = FindSoundFont();
  if (soundFont.isEmpty()) {
    *error = QStringLiteral("no General MIDI SoundFont is installed (Debian package timgm6mb-soundfont)");
    return nullptr;
  }
  std::unique_ptr<MidiDecoder> decoder(new MidiDecoder(std::move(*midi), outputRate));
  decoder->settings_ = new_fluid_settings();
  if (decoder->settings_ == nullptr) {
    *error = QStringLiteral("the synthesizer cannot start");
    return nullptr;
  }
  fluid_settings_setnum(decoder->settings_, "synth.sample-rate", outputRate);
  fluid_settings_setnum(decoder->settings_, "synth.gain", kSynthGain);
  fluid_settings_setstr(decoder->settings_, "player.timing-source", "sample");
  fluid_settings_setint(decoder->settings_, "synth.cpu-cores", 1);
  fluid_settings_setint(decoder->settings_, "synth.threadsafe-api", 0);
  decoder->synth_ = new_fluid_synth(decoder->settings_);
  if (decoder->synth_ == nullptr ||
      fluid_synth_sfload(decoder->synth_, soundFont.toUtf8().constData(), 1) == FLUID_FAILED) {
    *error = QStringLiteral("the SoundFont %1 cannot be loaded").arg(soundFont);
    return nullptr;
  }
  if (!decoder->StartPlayer(0)) {
    *error = QStringLiteral("the synthesizer refuses the MIDI file");
    return nullptr;
  }
  return decoder;
}

bool MidiDecoder::StartPlayer(std::int64_t tick) {
  if (player_ != nullptr) {
    delete_fluid_player(player_);
    player_ = nullptr;
  }
  fluid_synth_all_sounds_off(synth_, -1);
  fluid_synth_system_reset(synth_);
  player_ = new_fluid_player(synth_);
  if (player_ == nullptr ||
      fluid_player_add_mem(player_, midi_.CleanBytes().constData(), static_cast<size_t>(midi_.CleanBytes().size())) != FLUID_OK ||
      fluid_player_play(player_) != FLUID_OK)
    return false;
  if (tick > 0) {
    // The player loads its file on its first tick and forgets a seek made before that, so one synth block is
    // rendered first; the notes it started are cut before anything is heard.
    float scratch[2 * kSynthBlock];
    fluid_synth_write_float(synth_, kSynthBlock, scratch, 0, 2, scratch, 1, 2);
    fluid_player_seek(player_, static_cast<int>(std::min<std::int64_t>(tick, INT32_MAX)));
    fluid_synth_write_float(synth_, kSynthBlock, scratch, 0, 2, scratch, 1, 2);
    fluid_synth_all_sounds_off(synth_, -1);
  }
  return true;
}

int MidiDecoder::Read(float* out, int frames) {
  const int count = static_cast<int>(std::clamp<std::int64_t>(totalFrames_ - positionFrames_, 0, frames));
  if (count == 0) return 0;
  fluid_synth_write_float(synth_, count, out, 0, 2, out, 1, 2);
  // Instant attack, so nothing passes the ceiling; a slow release, so the gain does not pump.
  const float release = 1.0f / (kLimiterReleaseSeconds * static_cast<float>(outputRate_));
  for (int i = 0; i < count; ++i) {
    float& left = out[2 * i];
    float& right = out[2 * i + 1];
    const float peak = std::max(std::fabs(left), std::fabs(right));
    const float needed = peak > kLimiterCeiling ? kLimiterCeiling / peak : 1.0f;
    limiterGain_ = std::min(needed, std::min(1.0f, limiterGain_ + release));
    left *= limiterGain_;
    right *= limiterGain_;
  }
  positionFrames_ += count;
  return count;
}

bool MidiDecoder::Seek(double seconds) {
  seconds = std::clamp(seconds, 0.0, Duration());
  if (!StartPlayer(midi_.SecondsToTicks(seconds))) return false;
  positionFrames_ = std::llround(seconds * outputRate_);
  limiterGain_ = 1.0f;
  return true;
}

}  // namespace marvane
