#pragma once
// Plays a Standard MIDI File through FluidSynth with a General MIDI SoundFont found on the system. The
// synthesizer's sequencer is clocked by the rendered samples (not the wall clock), so rendering faster than
// real time stays in time. The file's length comes from MidiFile, which follows tempo changes; playback ends
// exactly there. A peak limiter keeps the rare extreme passages below full scale.
//
// Threads: one decoder thread at a time (see decoder.h).

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

#include "audio/decoder.h"
#include "audio/midifile.h"

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_player_t fluid_player_t;

namespace marvane {

class MidiDecoder : public Decoder {
 public:
  // Opens the bytes of a MIDI file.
  static std::unique_ptr<MidiDecoder> Open(const QByteArray& bytes, int outputRate, QString* error);
  ~MidiDecoder() override;

  double Duration() const override { return midi_.DurationSeconds(); }
  int Read(float* out, int frames) override;
  bool Seek(double seconds) override;

  // The General MIDI SoundFont used, or an empty string when the system has none.
  static QString FindSoundFont();

 private:
  MidiDecoder(MidiFile midi, int outputRate);
  bool StartPlayer(std::int64_t tick);

  MidiFile midi_;
  const int outputRate_;
  std::int64_t totalFrames_ = 0;
  std::int64_t positionFrames_ = 0;
  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  fluid_player_t* player_ = nullptr;
  // A peak limiter's current gain. Some General MIDI programs played at full velocity reach far above full
  // scale through the raised synth gain; the limiter catches those few peaks instead of letting the mix clip.
  float limiterGain_ = 1.0f;
};

}  // namespace marvane
