#include "mixer/alsamixerbackend.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cerrno>
#include <limits>

namespace marvane {

namespace {

// Element names tried for each line, in order, and the direction of the volume sought.
struct LineChoice {
  const char* names[2];
  bool capture;
};

LineChoice ChoiceFor(MixerLineType line) {
  if (line == MixerLineType::Speakers) return {{"Master", "PCM"}, false};
  return {{"Mic", "Capture"}, true};
}

snd_mixer_elem_t* FindElement(snd_mixer_t* mixer, const char* name) {
  snd_mixer_selem_id_t* id = nullptr;
  snd_mixer_selem_id_alloca(&id);
  snd_mixer_selem_id_set_index(id, 0);
  snd_mixer_selem_id_set_name(id, name);
  return snd_mixer_find_selem(mixer, id);
}

}  // namespace

struct AlsaMixerBackend::OpenMixer {
  struct Control {
    const char* name;
    bool capture;
    long minimum;
    long maximum;
  };
  snd_mixer_t* mixer = nullptr;
  std::vector<Control> controls;  // control id n is controls[n - 1]

  ~OpenMixer() {
    if (mixer != nullptr) snd_mixer_close(mixer);
  }
};

AlsaMixerBackend::AlsaMixerBackend(std::string device) : device_(std::move(device)) {}

AlsaMixerBackend::~AlsaMixerBackend() = default;

int AlsaMixerBackend::Open(quint32& handle) {
  snd_mixer_t* raw = nullptr;
  int err = snd_mixer_open(&raw, 0);
  if (err < 0) return err;
  auto open = std::make_unique<OpenMixer>();
  open->mixer = raw;
  if ((err = snd_mixer_attach(raw, device_.c_str())) < 0) return err;
  if ((err = snd_mixer_selem_register(raw, nullptr, nullptr)) < 0) return err;
  if ((err = snd_mixer_load(raw)) < 0) return err;
  mixers_.push_back(std::move(open));
  handle = static_cast<quint32>(mixers_.size());
  return 0;
}

AlsaMixerBackend::OpenMixer* AlsaMixerBackend::Find(quint32 handle) {
  if (handle == 0 || handle > mixers_.size()) return nullptr;
  return mixers_[handle - 1].get();
}

int AlsaMixerBackend::GetLineControl(quint32 handle, MixerLineType line, MixerControlType type,
                                     MixerControl& control) {
  OpenMixer* open = Find(handle);
  if (open == nullptr) return -EBADF;
  if (type != MixerControlType::Volume) return -EINVAL;
  const LineChoice choice = ChoiceFor(line);
  for (const char* name : choice.names) {
    snd_mixer_elem_t* element = FindElement(open->mixer, name);
    if (element == nullptr) continue;
    const bool hasVolume = choice.capture ? snd_mixer_selem_has_capture_volume(element)
                                          : snd_mixer_selem_has_playback_volume(element);
    if (!hasVolume) continue;
    long minimum = 0;
    long maximum = 0;
    const int err = choice.capture ? snd_mixer_selem_get_capture_volume_range(element, &minimum, &maximum)
                                   : snd_mixer_selem_get_playback_volume_range(element, &minimum, &maximum);
    if (err < 0) return err;
    // Levels are 32-bit values; a control whose bounds do not fit cannot be driven.
    constexpr long kLow = std::numeric_limits<qint32>::min();
    constexpr long kHigh = std::numeric_limits<qint32>::max();
    if (minimum < kLow || maximum > kHigh || minimum > maximum) return -ERANGE;
    open->controls.push_back({name, choice.capture, minimum, maximum});
    control.ControlID = static_cast<quint32>(open->controls.size());
    control.Name = QString::fromLatin1(name);
    control.Minimum = static_cast<qint32>(minimum);
    control.Maximum = static_cast<qint32>(maximum);
    return 0;
  }
  return -ENOENT;
}

int AlsaMixerBackend::SetControlDetails(quint32 handle, quint32 controlId, qint32 level) {
  OpenMixer* open = Find(handle);
  if (open == nullptr) return -EBADF;
  if (controlId == 0 || controlId > open->controls.size()) return -EINVAL;
  const OpenMixer::Control& c = open->controls[controlId - 1];
  // The simple mixer skips a write equal to the value it last saw; taking pending events first keeps that
  // value current when the volume was changed elsewhere (the desktop's own volume control). Those events may
  // also remove the element and free it, so it is found again after them.
  snd_mixer_handle_events(open->mixer);
  snd_mixer_elem_t* element = FindElement(open->mixer, c.name);
  if (element == nullptr) return -ENOENT;
  const long value = std::clamp(static_cast<long>(level), c.minimum, c.maximum);
  return c.capture ? snd_mixer_selem_set_capture_volume_all(element, value)
                   : snd_mixer_selem_set_playback_volume_all(element, value);
}

void AlsaMixerBackend::Close(quint32 handle) {
  if (Find(handle) != nullptr) mixers_[handle - 1].reset();
}

QString AlsaMixerBackend::ErrorText(int code) { return QString::fromLocal8Bit(snd_strerror(code)); }

}  // namespace marvane
