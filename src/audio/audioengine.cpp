#include "audio/audioengine.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include <QTimer>

#include "audio/deviceprobe.h"
#include "audio/mediaplayer.h"
#include "audio/mixtap.h"
#include "audio/nulloutput.h"
#include "audio/playervoice.h"
#include "audio/portaudiooutput.h"
#include "common/clock.h"

namespace marvane {
namespace {

// An offline render never waits longer than this for one decoder: a decoder stuck on a dead disk makes that
// player silent instead of hanging the render.
constexpr auto kOfflineWaitLimit = std::chrono::seconds(10);
// How long shutting down waits for the decoder threads, all of them together.
constexpr auto kDecoderExitWait = std::chrono::milliseconds(900);
// How often the watchdog looks at a device.
constexpr int kWatchMilliseconds = 100;

}  // namespace

const QString AudioEngine::kDeviceLostNotice = QStringLiteral(
    "The sound device stopped playing. Marvane plays on silently, in time, and comes back to the device as soon "
    "as it returns.");

AudioEngine::AudioEngine(std::unique_ptr<AudioOutput> output, Clock* clock, QObject* parent)
    : QObject(parent), output_(std::move(output)), signal_(std::make_unique<DecodeSignal>()) {
  if (output_ == nullptr) output_ = std::make_unique<NullOutput>();
  offline_ = output_->IsOffline();
  // The output decides the rate every decoder resamples to; the voices exist before the first callback.
  for (int slot = 0; slot < kPlayerCount; ++slot) {
    voices_[slot] = std::make_unique<PlayerVoice>(output_->SampleRate(), offline_ ? signal_.get() : nullptr);
    players_[slot] = new MediaPlayer(voices_[slot].get(), clock != nullptr ? *clock : SystemClock(), this);
    players_[slot]->setObjectName(slot < 2 ? QStringLiteral("AP%1").arg(slot)
                                           : QStringLiteral("Player%1").arg(slot - 1));
  }
  rate_ = output_->SampleRate();
  QString error;
  if (!output_->Start(this, &error)) {
    outputNotice_ = QStringLiteral("The sound device could not start (%1); Marvane plays silently.").arg(error);
    output_ = std::make_unique<NullOutput>(output_->SampleRate(), output_->BufferFrames());
    output_->Start(this, &error);
  }
  reopen_ = output_->Reopener();
  if (reopen_) {
    probe_ = std::make_unique<DeviceProbe>(kRetryInterval);
    watch_ = new QTimer(this);
    watch_->setInterval(kWatchMilliseconds);
    connect(watch_, &QTimer::timeout, this, &AudioEngine::WatchOutput);
    watch_->start();
  }
}

AudioEngine::~AudioEngine() {
  // The probe lets go of its devices first; then the callback stops, then the decoders, and the players last,
  // so no thread ever sees a freed voice.
  probe_.reset();
  output_->Stop();
  // Every decoder is interrupted at once and all share one deadline, so the program never waits long for them.
  // A decoder still stuck after it is in a read the system cannot interrupt (a network mount that stopped
  // answering): its voice, and the signal it may announce on, are left alive for the thread to finish with.
  const auto deadline = std::chrono::steady_clock::now() + kDecoderExitWait;
  for (auto& voice : voices_) voice->BeginShutdown();
  bool abandoned = false;
  for (auto& voice : voices_) {
    if (voice->FinishShutdown(deadline)) {
      voice.reset();
    } else {
      static_cast<void>(voice.release());
      abandoned = true;
    }
  }
  if (abandoned) static_cast<void>(signal_.release());
  for (MediaPlayer*& player : players_) {
    delete player;
    player = nullptr;
  }
}

std::unique_ptr<AudioOutput> AudioEngine::CreateDefaultOutput(QString* notice) {
  QString error;
  std::unique_ptr<AudioOutput> device = PortAudioOutput::OpenDefault(PortAudioOutput::kDefaultBufferFrames, &error);
  if (device != nullptr) {
    if (notice != nullptr) notice->clear();
    return device;
  }
  if (notice != nullptr)
    *notice = QStringLiteral("No sound device could be opened (%1). Marvane keeps running but plays silently.")
                  .arg(error);
  return std::make_unique<NullOutput>();
}

void AudioEngine::WatchOutput() {
  if (!lost_) {
    const AudioOutput::Health health = output_->Check(kStallLimit);
    if (health.lost) LoseOutput(health.lastPull);
    return;
  }
  std::unique_ptr<AudioOutput> device = probe_->TakeFound();
  if (device == nullptr) return;
  // The stand-in stops before the device starts: only one output ever pulls the mix.
  output_->Stop();
  QString error;
  if (!device->Start(this, &error)) {
    device->Abandon();
    probe_->Dispose(std::move(device));
    StandIn(std::chrono::steady_clock::now());
    probe_->Search(reopen_);
    return;
  }
  output_ = std::move(device);
  lost_ = false;
  Q_EMIT OutputRestored();
}

void AudioEngine::LoseOutput(std::chrono::steady_clock::time_point lastPull) {
  // The lost device stops pulling at once; closing it may take a while, so the probe's thread does that.
  output_->Abandon();
  pastUnderruns_ += output_->Underruns();
  probe_->Dispose(std::move(output_));
  StandIn(lastPull);
  lost_ = true;
  probe_->Search(reopen_);
  Q_EMIT OutputLost(kDeviceLostNotice);
}

void AudioEngine::StandIn(std::chrono::steady_clock::time_point from) {
  auto standIn = std::make_unique<NullOutput>(rate_, PortAudioOutput::kDefaultBufferFrames);
  standIn->CarryOnFrom(from);
  QString error;
  standIn->Start(this, &error);
  output_ = std::move(standIn);
}

MediaPlayer& AudioEngine::AP(int index) {
  Q_ASSERT(index == 0 || index == 1);
  return *players_[index];
}

MediaPlayer& AudioEngine::Player(int line) {
  Q_ASSERT(line >= 1 && line <= 6);
  return *players_[line + 1];
}

MediaPlayer* AudioEngine::PlayerAt(int slot) {
  return slot >= 0 && slot < kPlayerCount ? players_[slot] : nullptr;
}

void AudioEngine::SetMixTap(MixTap* tap) {
  // Sequentially consistent: a callback that marks itself busy after the loop below last saw it idle loads the
  // new tap.
  tap_.store(tap);
  while (tapBusy_.load()) std::this_thread::yield();
}

void AudioEngine::FinishOpens(int timeoutMs) {
  for (MediaPlayer* player : players_) player->FinishOpen(timeoutMs);
}

void AudioEngine::WaitForDecoders(int frames) {
  // A voice that ran dry is given time to fill half its queue, so that on a busy core its decoder works in
  // long runs instead of trading the processor with this thread for every block.
  constexpr int kRefillFrames = BlockQueue::kCapacity / 2 * AudioBlock::kFrames;
  const auto deadline = std::chrono::steady_clock::now() + kOfflineWaitLimit;
  for (auto& voice : voices_) {
    if (voice->ReadyToMix(frames)) continue;
    while (!voice->ReadyToMix(std::max(frames, kRefillFrames))) {
      std::unique_lock<std::mutex> lock(signal_->mutex);
      if (signal_->published.wait_for(lock, std::chrono::milliseconds(1)) == std::cv_status::timeout &&
          std::chrono::steady_clock::now() > deadline)
        break;
    }
  }
}

void AudioEngine::Render(float* out, int frames) noexcept {
  if (offline_) WaitForDecoders(frames);
  std::fill(out, out + static_cast<std::ptrdiff_t>(frames) * 2, 0.0f);
  for (auto& voice : voices_) voice->MixInto(out, frames);
  for (int i = 0; i < frames * 2; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
  tapBusy_.store(true);
  if (MixTap* tap = tap_.load()) tap->Push(out, frames);
  tapBusy_.store(false);
  if (offline_) {
    for (auto& voice : voices_) voice->WakeDecoder();
  }
}

}  // namespace marvane
