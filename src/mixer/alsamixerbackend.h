#pragma once
// The mixer backend on ALSA's simple mixer. The device is the `default` control device: on a desktop with
// PulseAudio or PipeWire it reaches the system volume through the ALSA pulse plugin, on bare ALSA the card.
// The master is the playback volume of `Master`, else of `PCM`; the microphone is the capture volume of `Mic`,
// else of `Capture`.
//
// Levels outside a control's bounds are held to them: ALSA drops an out-of-range level without a word, while
// the console expects the master mute (level 0) to turn the volume fully down whatever the card's minimum.
//
// A control is held by its name and looked up again for every write: the mixer's own events (a card removed,
// controls that come and go) free the elements they remove, so a pointer kept from one write to the next could
// point at freed memory.
//
// Thread contract: UI thread only. Mixers stay open until closed or the backend is destroyed.

#include "mixer/mixerbackend.h"

#include <memory>
#include <string>
#include <vector>

namespace marvane {

class AlsaMixerBackend final : public MixerBackend {
 public:
  explicit AlsaMixerBackend(std::string device = "default");
  ~AlsaMixerBackend() override;
  AlsaMixerBackend(const AlsaMixerBackend&) = delete;
  AlsaMixerBackend& operator=(const AlsaMixerBackend&) = delete;

  int Open(quint32& handle) override;
  int GetLineControl(quint32 handle, MixerLineType line, MixerControlType type, MixerControl& control) override;
  int SetControlDetails(quint32 handle, quint32 controlId, qint32 level) override;
  void Close(quint32 handle) override;

  // A readable text for an error code of this backend (ALSA's own description).
  static QString ErrorText(int code);

 private:
  struct OpenMixer;
  OpenMixer* Find(quint32 handle);

  std::string device_;
  std::vector<std::unique_ptr<OpenMixer>> mixers_;  // handle n is mixers_[n - 1]
};

}  // namespace marvane
