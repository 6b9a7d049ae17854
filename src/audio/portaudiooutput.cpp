#include "audio/portaudiooutput.h"

#include <alsa/asoundlib.h>
#include <pa_linux_alsa.h>
#include <portaudio.h>

#include <QRegularExpression>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "audio/realtime.h"

namespace marvane {
namespace {

using Clock = std::chrono::steady_clock;

// PortAudio's set-up calls come from the UI thread and from the engine's probe thread, never at once.
std::mutex& PortAudioLock() {
  static std::mutex lock;
  return lock;
}

std::int64_t Now() { return Clock::now().time_since_epoch().count(); }

// ALSA prints every device it fails to probe to stderr while PortAudio looks for devices; on a machine without
// a sound card that is dozens of lines of noise. The notice to the user says what matters.
void SilentAlsaError(const char*, int, const char*, int, const char*, ...) {}

bool InitializePortAudio(QString* error) {
  snd_lib_error_set_handler(&SilentAlsaError);
  // PortAudio's ALSA host stops the whole program on an assertion when ALSA's configuration cannot be read
  // (a broken or missing ALSA_CONFIG_PATH file); read it first and give up on the device cleanly instead.
  if (const int alsa = snd_config_update(); alsa < 0) {
    *error = QStringLiteral("ALSA configuration: %1").arg(QString::fromUtf8(snd_strerror(alsa)));
    return false;
  }
  snd_config_t* pcms = nullptr;
  if (snd_config == nullptr || snd_config_search(snd_config, "pcm", &pcms) < 0) {
    *error = QStringLiteral("ALSA configuration defines no sound devices");
    return false;
  }
  // PortAudio's JACK host would otherwise start a JACK server of its own where none runs.
  setenv("JACK_NO_START_SERVER", "1", 0);
  const PaError rc = Pa_Initialize();
  if (rc != paNoError) {
    *error = QString::fromUtf8(Pa_GetErrorText(rc));
    return false;
  }
  return true;
}

QString DeviceName(const PaDeviceInfo& info) { return QString::fromUtf8(info.name); }

// The output device of that name among those PortAudio found, or paNoDevice.
PaDeviceIndex FindOutput(const QString& name) {
  for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
    if (info != nullptr && info->maxOutputChannels >= 2 && DeviceName(*info) == name) return i;
  }
  return paNoDevice;
}

// Playback devices as ALSA knows them now, named as PortAudio's ALSA host names them: each sound card's devices
// ("card: device (hw:N,M)"), and the devices the configuration defines by a plain name that open for playback.
// PortAudio looks for devices once per session, and a session lasts while any output is open; this finds a card
// plugged in, or a device added to the configuration, since then. `known` are left out (and not opened).
QStringList AlsaPlaybackDevices(const QStringList& known) {
  QStringList names;
  for (int card = -1; snd_card_next(&card) == 0 && card >= 0;) {
    snd_ctl_t* ctl = nullptr;
    if (snd_ctl_open(&ctl, QStringLiteral("hw:%1").arg(card).toLatin1().constData(), 0) < 0) continue;
    snd_ctl_card_info_t* cardInfo = nullptr;
    snd_ctl_card_info_alloca(&cardInfo);
    snd_pcm_info_t* pcmInfo = nullptr;
    snd_pcm_info_alloca(&pcmInfo);
    if (snd_ctl_card_info(ctl, cardInfo) == 0) {
      for (int device = -1; snd_ctl_pcm_next_device(ctl, &device) == 0 && device >= 0;) {
        snd_pcm_info_set_device(pcmInfo, static_cast<unsigned>(device));
        snd_pcm_info_set_subdevice(pcmInfo, 0);
        snd_pcm_info_set_stream(pcmInfo, SND_PCM_STREAM_PLAYBACK);
        if (snd_ctl_pcm_info(ctl, pcmInfo) < 0) continue;
        const QString name = QStringLiteral("%1: %2 (hw:%3,%4)")
                                 .arg(QString::fromUtf8(snd_ctl_card_info_get_name(cardInfo)),
                                      QString::fromUtf8(snd_pcm_info_get_name(pcmInfo)))
                                 .arg(card)
                                 .arg(device);
        if (!known.contains(name)) names << name;
      }
    }
    snd_ctl_close(ctl);
  }
  // The configuration's own devices, less the per-card and per-speaker ones that PortAudio passes over too.
  static const QStringList kPassedOver = QStringLiteral(
      "center_lfe dmix dpl dsnoop front hw iec958 plughw rear side spdif surround21 surround40 surround41 "
      "surround50 surround51 surround71 sysdefault hdmi modem phoneline null").split(QLatin1Char(' '));
  snd_config_t* top = nullptr;
  snd_config_t* pcms = nullptr;
  if (snd_config_update_ref(&top) < 0) return names;
  if (snd_config_search(top, "pcm", &pcms) >= 0) {
    snd_config_iterator_t i, next;
    snd_config_for_each(i, next, pcms) {
      const char* id = nullptr;
      if (snd_config_get_id(snd_config_iterator_entry(i), &id) < 0) continue;
      const QString name = QString::fromUtf8(id);
      if (kPassedOver.contains(name) || known.contains(name) || names.contains(name)) continue;
      snd_pcm_t* pcm = nullptr;
      if (snd_pcm_open(&pcm, id, SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) continue;
      snd_pcm_close(pcm);
      names << name;
    }
  }
  snd_config_unref(top);
  return names;
}

}  // namespace

const QString PortAudioOutput::kDefaultDevice = QStringLiteral("Default");

std::unique_ptr<PortAudioOutput> PortAudioOutput::OpenDefault(int bufferFrames, QString* error, int sampleRate) {
  return Open(kDefaultDevice, bufferFrames, sampleRate, error);
}

QStringList PortAudioOutput::OutputDeviceNames() {
  QStringList names{kDefaultDevice};
  std::lock_guard<std::mutex> lock(PortAudioLock());
  QString error;
  if (!InitializePortAudio(&error)) return names;
  for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i) {
    const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
    if (info != nullptr && info->maxOutputChannels >= 2 && !names.contains(DeviceName(*info)))
      names << DeviceName(*info);
  }
  Pa_Terminate();
  names << AlsaPlaybackDevices(names);
  return names;
}

std::unique_ptr<PortAudioOutput> PortAudioOutput::Open(const QString& device, int bufferFrames, int sampleRate,
                                                       QString* error) {
  std::unique_lock<std::mutex> lock(PortAudioLock());
  if (!InitializePortAudio(error)) return nullptr;
  std::unique_ptr<PortAudioOutput> output(new PortAudioOutput());
  const bool byDefault = device == kDefaultDevice || device.isEmpty();
  const PaDeviceIndex index = byDefault ? Pa_GetDefaultOutputDevice() : FindOutput(device);
  const PaDeviceInfo* info = index == paNoDevice ? nullptr : Pa_GetDeviceInfo(index);
  PaStreamParameters parameters{};
  parameters.channelCount = 2;
  parameters.sampleFormat = paFloat32;
  PaAlsaStreamInfo alsa;
  const QRegularExpressionMatch card = QRegularExpression(QStringLiteral("\\((hw:\\d+,\\d+)\\)$")).match(device);
  const QByteArray alsaName = (card.hasMatch() ? card.captured(1) : device).toUtf8();
  QString api = QStringLiteral("ALSA");
  const PaHostApiInfo* host = nullptr;
  if (info != nullptr) {
    parameters.device = index;
    // The device's high latency (about 35 ms through the sound server): with its low one (about 9 ms) a loaded
    // machine misses callbacks, and every miss is a gap the audience hears.
    parameters.suggestedLatency = info->defaultHighOutputLatency;
    host = Pa_GetHostApiInfo(info->hostApi);
    api = QString::fromUtf8(host ? host->name : "?");
  } else if (!byDefault && Pa_HostApiTypeIdToHostApiIndex(paALSA) >= 0) {
    // PortAudio's ALSA host can stop the program on an assertion when a device given by its ALSA name fails to
    // open; ALSA is asked first.
    snd_pcm_t* pcm = nullptr;
    if (const int rc = snd_pcm_open(&pcm, alsaName.constData(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK); rc < 0) {
      *error = QStringLiteral("no output device \"%1\" (%2)").arg(device, QString::fromUtf8(snd_strerror(rc)));
      lock.unlock();
      return nullptr;  // the destructor ends the PortAudio session
    }
    snd_pcm_close(pcm);
    host = Pa_GetHostApiInfo(Pa_HostApiTypeIdToHostApiIndex(paALSA));
    PaAlsa_InitializeStreamInfo(&alsa);
    alsa.deviceString = alsaName.constData();
    parameters.device = paUseHostApiSpecificDeviceSpecification;
    parameters.hostApiSpecificStreamInfo = &alsa;
    parameters.suggestedLatency = 4.0 * bufferFrames / (sampleRate > 0 ? sampleRate : 44100);
  } else {
    *error = byDefault ? QStringLiteral("no default output device")
                       : QStringLiteral("no output device \"%1\"").arg(device);
    lock.unlock();
    return nullptr;  // the destructor ends the PortAudio session
  }
  const double rate = sampleRate > 0                                    ? sampleRate
                      : info != nullptr && info->defaultSampleRate > 0 ? info->defaultSampleRate
                                                                         : 44100.0;
  output->sampleRate_ = static_cast<int>(std::lround(rate));
  output->bufferFrames_ = bufferFrames;
  output->device_ = byDefault ? kDefaultDevice : device;
  const PaError rc = Pa_OpenStream(&output->stream_, nullptr, &parameters, output->sampleRate_,
                                   static_cast<unsigned long>(bufferFrames), paClipOff,
                                   &PortAudioOutput::Callback, output.get());
  if (rc != paNoError) {
    *error = QString::fromUtf8(Pa_GetErrorText(rc));
    output->stream_ = nullptr;
    lock.unlock();
    return nullptr;  // the destructor ends the PortAudio session
  }
  Pa_SetStreamFinishedCallback(output->stream_, &PortAudioOutput::Finished);
  output->viaRtkit_ = EnableRealtimeCallback(output->stream_, host);
  output->description_ = QStringLiteral("PortAudio: %1 (%2)")
                             .arg(info != nullptr ? DeviceName(*info) : QString::fromUtf8(alsaName), api);
  return output;
}

PortAudioOutput::~PortAudioOutput() {
  if (raiser_.joinable()) raiser_.join();
  Stop();
  std::lock_guard<std::mutex> lock(PortAudioLock());
  if (stream_ != nullptr) Pa_CloseStream(stream_);
  Pa_Terminate();
}

int PortAudioOutput::Callback(const void* /*input*/, void* output, unsigned long frames,
                              const PaStreamCallbackTimeInfo* /*timeInfo*/, unsigned long statusFlags,
                              void* userData) {
  auto* self = static_cast<PortAudioOutput*>(userData);
  auto* out = static_cast<float*>(output);
  // Reading the monotonic clock is no system call (the kernel maps it into the process).
  const std::int64_t now = Now();
  self->lastCallback_.store(now, std::memory_order_relaxed);
  if ((statusFlags & paOutputUnderflow) == 0) {
    self->lastTimely_.store(now, std::memory_order_relaxed);
  } else {
    self->underruns_.fetch_add(1, std::memory_order_relaxed);
  }
  // Sequentially consistent on both sides: either Abandon sees this callback rendering and waits, or this
  // callback sees the output abandoned and renders nothing.
  self->rendering_.store(true);
  if (self->source_ != nullptr && !self->abandoned_.load()) {
    self->source_->Render(out, static_cast<int>(frames));
  } else {
    std::memset(out, 0, frames * 2 * sizeof(float));
  }
  self->rendering_.store(false);
  return paContinue;
}

void PortAudioOutput::Finished(void* userData) {
  static_cast<PortAudioOutput*>(userData)->ended_.store(true, std::memory_order_release);
}

bool PortAudioOutput::Start(AudioSource* source, QString* error) {
  if (stream_ == nullptr) {
    *error = QStringLiteral("the device is not open");
    return false;
  }
  Stop();
  if (raiser_.joinable()) raiser_.join();
  source_ = source;
  abandoned_.store(false);
  ended_.store(false);
  lastCallback_.store(Now());
  lastTimely_.store(Now());
  std::lock_guard<std::mutex> lock(PortAudioLock());
  // Each start runs the callback on a new thread, which PortAudio's start waits for: the one new thread it did not
  // name. rtkit is asked from a thread of its own, since the system bus may be slow to answer.
  const std::vector<pid_t> before = viaRtkit_ ? ThreadIds() : std::vector<pid_t>();
  const PaError rc = Pa_StartStream(stream_);
  if (rc != paNoError) {
    *error = QString::fromUtf8(Pa_GetErrorText(rc));
    source_ = nullptr;
    return false;
  }
  started_ = true;
  if (viaRtkit_) raiser_ = std::thread(&RaiseThroughRtkit, NewUnnamedThread(before));
  return true;
}

void PortAudioOutput::Stop() {
  if (!started_ || stream_ == nullptr) return;
  std::lock_guard<std::mutex> lock(PortAudioLock());
  // A device that was lost may never drain what it holds: it is aborted, not stopped.
  if (abandoned_.load()) {
    Pa_AbortStream(stream_);
  } else {
    Pa_StopStream(stream_);
  }
  started_ = false;
}

AudioOutput::Health PortAudioOutput::Check(std::chrono::nanoseconds stall) const {
  Health health;
  health.lastPull = Clock::time_point(Clock::duration(lastCallback_.load(std::memory_order_relaxed)));
  if (!started_ || abandoned_.load()) return health;
  const auto timely = Clock::time_point(Clock::duration(lastTimely_.load(std::memory_order_relaxed)));
  const auto now = Clock::now();
  std::lock_guard<std::mutex> lock(PortAudioLock());
  // Late callbacks are given longer than missing ones: on a machine under heavy load a device may run late for
  // a while and still come back, and each switch of outputs is a gap the audience hears.
  health.lost = ended_.load(std::memory_order_acquire) || Pa_IsStreamActive(stream_) != 1 ||
                now - health.lastPull > stall || now - timely > 3 * stall;
  return health;
}

std::chrono::duration<double> PortAudioOutput::Latency() const {
  std::lock_guard<std::mutex> lock(PortAudioLock());
  const PaStreamInfo* info = stream_ != nullptr ? Pa_GetStreamInfo(stream_) : nullptr;
  return std::chrono::duration<double>(info != nullptr ? info->outputLatency : 0.0);
}

void PortAudioOutput::Abandon() {
  abandoned_.store(true);
  while (rendering_.load()) {
  }
}

std::function<std::unique_ptr<AudioOutput>()> PortAudioOutput::Reopener() const {
  return [device = device_, frames = bufferFrames_, rate = sampleRate_]() -> std::unique_ptr<AudioOutput> {
    QString error;
    return Open(device, frames, rate, &error);
  };
}

}  // namespace marvane
