#include "mixer/mixer.h"

#include <cmath>
#include <limits>

namespace marvane {

const QString Mixer::kMixerErrorTitle = QStringLiteral("Mixer Error");
const QString Mixer::kMixerErrorText = QStringLiteral(
    "Couldn't initialize the Volume Control. MVN will work, but you will not be able to control the Master "
    "Volume or the Mic Volume.");
const QString Mixer::kDebugErrorTitle = QStringLiteral("Debug Error Message - Init Mixer");


Mixer::Mixer(MixerBackend& backend, Dialogs& dialogs) : backend_(backend), dialogs_(dialogs) {}

void Mixer::SetProgressWindowHooks(std::function<void()> hide, std::function<void()> show) {
  hideProgress_ = std::move(hide);
  showProgress_ = std::move(show);
}

void Mixer::InitMixer() {
  // A failure ends InitMixer at once, the state as far as it was set; only debug mode says what went wrong.
  const std::optional<QString> failure = RunInitMixer();
  if (failure && debugMode_) ShowWithProgressHidden(*failure, MessageIcon::Critical, kDebugErrorTitle);
}

std::optional<QString> Mixer::RunInitMixer() {
  bool success = true;
  masterOK_ = false;

  mixerResult_ = backend_.Open(mixerHandle_);
  if (mixerResult_ != 0) success = false;

  if (success) {
    success = GetMixerControl(mixerHandle_, MixerLineType::Speakers, MixerControlType::Volume, masterControl_);
  }

  if (success) {
    qint32 span = 0;
    if (__builtin_sub_overflow(masterControl_.Maximum, masterControl_.Minimum, &span)) {
      return QStringLiteral("Overflow");
    }
    masterSpan_ = span;
    masterBase_ = masterControl_.Minimum;
  }

  masterOK_ = success;

  // The microphone is looked up whatever became of the master, even on a mixer that did not open.
  micOK_ = GetMixerControl(mixerHandle_, MixerLineType::Microphone, MixerControlType::Volume, micControl_);

  // The report depends on the master alone: a missing microphone only keeps its window from opening.
  if (!masterOK_) ShowWithProgressHidden(kMixerErrorText, MessageIcon::Information, kMixerErrorTitle);
  return std::nullopt;
}

void Mixer::ShowWithProgressHidden(const QString& text, MessageIcon icon, const QString& title) {
  if (hideProgress_) hideProgress_();
  dialogs_.Message(text, MessageButtons::Ok, icon, title);
  if (showProgress_) showProgress_();
}

bool Mixer::GetMixerControl(quint32 handle, MixerLineType componentType, MixerControlType controlType,
                            MixerControl& control) {
  MixerControl found;
  if (backend_.GetLineControl(handle, componentType, controlType, found) != 0) return false;
  control = found;
  return true;
}

bool Mixer::SetMixerVolume(quint32 handle, const MixerControl& control, qint32 level) {
  mixerResult_ = backend_.SetControlDetails(handle, control.ControlID, level);
  return mixerResult_ == 0;
}

std::optional<qint32> Mixer::MixerLevel(int sliderLevel) const {
  const double level = std::nearbyint(static_cast<double>(masterSpan_) / 100.0 * sliderLevel + masterBase_);
  if (!(level >= std::numeric_limits<qint32>::min() && level <= std::numeric_limits<qint32>::max())) {
    return std::nullopt;
  }
  return static_cast<qint32>(level);
}

void Mixer::ApplyMasterVolume(int sliderValue) {
  if (!masterOK_) return;
  if (const auto level = MixerLevel(sliderValue)) {
    lastMasterLevel_ = *level;
    SetMixerVolume(mixerHandle_, masterControl_, *level);
  }
}

void Mixer::MuteMasterVolume() {
  if (!masterOK_) return;
  lastMasterLevel_ = 0;
  SetMixerVolume(mixerHandle_, masterControl_, 0);
}

void Mixer::ApplyMicVolume(int sliderValue) {
  if (!micOK_) return;
  if (const auto level = MixerLevel(sliderValue)) {
    lastMicLevel_ = *level;
    SetMixerVolume(mixerHandle_, micControl_, *level);
  }
}

void Mixer::ReopenMixer() {
  quint32 handle = 0;
  if (backend_.Open(handle) != 0) return;
  MixerControl master;
  MixerControl mic;
  const bool masterFound = GetMixerControl(handle, MixerLineType::Speakers, MixerControlType::Volume, master);
  qint32 span = 0;
  if (masterFound && __builtin_sub_overflow(master.Maximum, master.Minimum, &span)) {
    backend_.Close(handle);
    return;
  }
  backend_.Close(mixerHandle_);
  mixerHandle_ = handle;
  if (masterFound) {
    masterControl_ = master;
    masterSpan_ = span;
    masterBase_ = master.Minimum;
  }
  masterOK_ = masterFound;
  micOK_ = GetMixerControl(handle, MixerLineType::Microphone, MixerControlType::Volume, mic);
  if (micOK_) micControl_ = mic;
  if (masterOK_ && lastMasterLevel_) SetMixerVolume(mixerHandle_, masterControl_, *lastMasterLevel_);
  if (micOK_ && lastMicLevel_) SetMixerVolume(mixerHandle_, micControl_, *lastMicLevel_);
}

}  // namespace marvane
