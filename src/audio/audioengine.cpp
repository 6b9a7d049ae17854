#include "audio/audioengine.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include <QSocketNotifier>
#include <QTimer>

#include <sys/eventfd.h>
#include <unistd.h>

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
    : AudioEngine(Opened{std::move(output), {}, false}, OutputChoice{}, {}, clock, parent) {}

AudioEngine::AudioEngine(const OutputChoice& choice, OutputOpener open, Clock* clock, QObject* parent)
    : AudioEngine(OpenChoice(choice, open), choice, open, clock, parent) {}

AudioEngine::AudioEngine(Opened opened, const OutputChoice& choice, OutputOpener open, Clock* clock,
                         QObject* parent)
    : QObject(parent),
      output_(std::move(opened.output)),
      choice_(choice),
      open_(std::move(open)),
      signal_(std::make_unique<DecodeSignal>()) {
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
  probe_ = std::make_unique<DeviceProbe>(kRetryInterval);
  watch_ = new QTimer(this);
  watch_->setInterval(kWatchMilliseconds);
  connect(watch_, &QTimer::timeout, this, &AudioEngine::WatchOutput);
  if (!offline_) {
    // The watch looks after a device's health and puts an idle output to sleep.
    lastBusy_ = std::chrono::steady_clock::now();
    for (MediaPlayer* player : players_) player->wakeOutput = [this] { WakeOutput(); };
    ListenToDecoders();
  }
  const QString failed = StartOutput();
  outputNotice_ = opened.silent ? opened.notice : failed;
  if (!opened.notice.isEmpty()) AwaitChoice(opened.notice);
}

void AudioEngine::ListenToDecoders() {
  news_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (news_ < 0) return;  // the players go on polling
  newsNotifier_ = new QSocketNotifier(news_, QSocketNotifier::Read, this);
  connect(newsNotifier_, &QSocketNotifier::activated, this, [this] {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t got = read(news_, &count, sizeof count);
    for (MediaPlayer* player : players_) player->Poll();
  });
  for (int slot = 0; slot < kPlayerCount; ++slot) {
    voices_[slot]->SetNews([fd = news_] {
      const std::uint64_t one = 1;
      [[maybe_unused]] const ssize_t put = write(fd, &one, sizeof one);
    });
    players_[slot]->SetPolled(false);
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
  // No decoder tells news any more: every voice's news was cleared as its shutdown began.
  delete newsNotifier_;
  if (news_ >= 0) close(news_);
}

std::unique_ptr<AudioOutput> AudioEngine::OpenPortAudio(const OutputChoice& choice, QString* error) {
  return PortAudioOutput::Open(choice.device, choice.bufferFrames, choice.sampleRate, error);
}

AudioEngine::Opened AudioEngine::OpenChoice(const OutputChoice& choice, const OutputOpener& open) {
  Opened opened;
  QString error;
  opened.output = open(choice, &error);
  if (opened.output != nullptr) return opened;
  if (choice.device != PortAudioOutput::kDefaultDevice) {
    OutputChoice fallback = choice;
    fallback.device = PortAudioOutput::kDefaultDevice;
    QString ignored;
    opened.output = open(fallback, &ignored);
    opened.notice = QStringLiteral(
                        "The output device \"%1\" is not there (%2). Marvane plays on the default device and "
                        "moves to \"%1\" as soon as it appears.")
                        .arg(choice.device, error);
    if (opened.output != nullptr) return opened;
  }
  opened.notice =
      QStringLiteral("No sound device could be opened (%1). Marvane keeps running but plays silently.").arg(error);
  opened.silent = true;
  opened.output = std::make_unique<NullOutput>(choice.sampleRate, choice.bufferFrames);
  return opened;
}

QString AudioEngine::StartOutput() {
  QString error;
  QString notice;
  MarkRunning();
  if (!output_->Start(this, &error)) {
    notice = QStringLiteral("The sound device could not start (%1); Marvane plays silently.").arg(error);
    output_ = std::make_unique<NullOutput>(output_->SampleRate(), output_->BufferFrames());
    output_->Start(this, &error);
  }
  reopen_ = output_->Reopener();
  if (!offline_ && !watch_->isActive()) watch_->start();
  return notice;
}

void AudioEngine::FollowRate(int rate) {
  if (rate == rate_) return;
  rate_ = rate;
  for (MediaPlayer* player : players_) player->ChangeOutputRate(rate);
}

void AudioEngine::SwitchOutput(const OutputChoice& choice) {
  if (!open_) return;
  const bool away = waiting_ || lost_;
  choice_ = choice;
  probe_->Search({});
  // The output playing lets go of its device before the new one opens: it may be the same device.
  DrainAndStop();
  pastUnderruns_ += output_->Underruns();
  output_.reset();
  Opened opened = OpenChoice(choice_, open_);
  FollowRate(opened.output->SampleRate());
  output_ = std::move(opened.output);
  lost_ = waiting_ = false;
  hold_.store(3);  // the new device takes up the sound where the old one faded it out
  const QString failed = StartOutput();
  const QString notice = !failed.isEmpty() ? failed : opened.notice;
  if (!notice.isEmpty()) {
    AwaitChoice(notice);
    Q_EMIT OutputAbsent(notice);
  } else if (away) {
    Q_EMIT OutputRestored();
  }
}

void AudioEngine::AwaitChoice(const QString& notice) {
  if (!open_) return;
  waiting_ = true;
  absentNotice_ = notice;
  Search();
}

void AudioEngine::Search() {
  if (!waiting_) {
    probe_->Search(reopen_);
    return;
  }
  // The chosen device first; while nothing plays, the one that stood in for it is welcome too.
  foundChoice_ = std::make_shared<std::atomic<bool>>(false);
  probe_->Search([open = open_, choice = choice_, fallback = lost_ ? reopen_ : DeviceProbe::Opener(),
                  found = foundChoice_]() -> std::unique_ptr<AudioOutput> {
    QString error;
    if (std::unique_ptr<AudioOutput> chosen = open(choice, &error)) {
      found->store(true);
      return chosen;
    }
    return fallback ? fallback() : nullptr;
  });
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

void AudioEngine::HoldOutput(bool hold) {
  held_ = hold;
  if (hold) WakeOutput();
}

void AudioEngine::MarkRunning() {
  lastBusy_ = std::chrono::steady_clock::now();
  if (running_) return;
  running_ = true;
  for (auto& voice : voices_) voice->SetMixerRunning(true);
}

void AudioEngine::WakeOutput() {
  lastBusy_ = std::chrono::steady_clock::now();
  if (running_ || offline_) return;
  MarkRunning();
  watch_->start();
  QString error;
  if (output_->Start(this, &error)) return;
  // A device that will not start again is lost: the null output stands in and the probe looks for it.
  if (reopen_ && !lost_) {
    LoseOutput(std::chrono::steady_clock::now());
  } else {
    StandIn(std::chrono::steady_clock::now());
  }
}

void AudioEngine::SleepWhenIdle() {
  const auto now = std::chrono::steady_clock::now();
  const bool busy =
      held_ || std::any_of(voices_.begin(), voices_.end(), [](const auto& voice) { return voice->Playing(); });
  if (busy) lastBusy_ = now;
  if (busy || now - lastBusy_ < kIdleStop) return;
  // Stopped on purpose: the device is not watched while it sleeps, and Check does not count it as lost.
  output_->Stop();
  running_ = false;
  for (auto& voice : voices_) voice->SetMixerRunning(false);
  // The watch goes on while a lost or absent device is looked for.
  if (!lost_ && !waiting_) watch_->stop();
}

void AudioEngine::WatchOutput() {
  if (!lost_) {
    const AudioOutput::Health health = output_->Check(kStallLimit);
    if (health.lost) {
      LoseOutput(health.lastPull);
      return;
    }
    SleepWhenIdle();
    if (!waiting_) return;
  } else if (running_) {
    SleepWhenIdle();
  }
  if (std::unique_ptr<AudioOutput> device = probe_->TakeFound()) MoveTo(std::move(device));
}

void AudioEngine::MoveTo(std::unique_ptr<AudioOutput> device) {
  // The output playing stops before the device starts: only one output ever pulls the mix.
  if (lost_) {
    output_->Stop();
  } else {
    DrainAndStop();
    pastUnderruns_ += output_->Underruns();
    probe_->Dispose(std::move(output_));
  }
  // An output that was asleep starts anyway, and sleeps again when nothing plays.
  MarkRunning();
  FollowRate(device->SampleRate());
  hold_.store(3);
  QString error;
  if (!device->Start(this, &error)) {
    device->Abandon();
    probe_->Dispose(std::move(device));
    StandIn(std::chrono::steady_clock::now());
    lost_ = true;
    Search();
    return;
  }
  output_ = std::move(device);
  if (waiting_ && foundChoice_ != nullptr && foundChoice_->load()) waiting_ = false;
  if (std::function<std::unique_ptr<AudioOutput>()> reopen = output_->Reopener()) reopen_ = std::move(reopen);
  lost_ = false;
  if (waiting_) Search();
  Q_EMIT OutputRestored();
}

void AudioEngine::DrainAndStop() {
  const auto latency = output_->Latency();
  if (running_ && latency.count() > 0.0) {
    const auto buffer = std::chrono::duration<double>(double(output_->BufferFrames()) / output_->SampleRate());
    hold_.store(1);
    const auto faded = std::chrono::steady_clock::now() + 4 * buffer;
    while (hold_.load() != 2 && std::chrono::steady_clock::now() < faded)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(latency + buffer);
  }
  output_->Stop();
  hold_.store(0);
}

void AudioEngine::LoseOutput(std::chrono::steady_clock::time_point lastPull) {
  // The lost device stops pulling at once; closing it may take a while, so the probe's thread does that.
  output_->Abandon();
  pastUnderruns_ += output_->Underruns();
  probe_->Dispose(std::move(output_));
  StandIn(lastPull);
  lost_ = true;
  Search();
  Q_EMIT OutputLost(kDeviceLostNotice);
}

void AudioEngine::StandIn(std::chrono::steady_clock::time_point from) {
  auto standIn = std::make_unique<NullOutput>(rate_, choice_.bufferFrames);
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
  std::fill(out, out + static_cast<std::ptrdiff_t>(frames) * 2, 0.0f);
  // While held silent for a switch of output the players do not move on; a recording goes on in time.
  if (const int hold = hold_.load(); hold != 2) {
    if (offline_) WaitForDecoders(frames);
    for (auto& voice : voices_) voice->MixInto(out, frames);
    for (int i = 0; i < frames * 2; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
    if (hold == 1 || hold == 3) {
      for (int i = 0; i < frames; ++i) {
        const float step = static_cast<float>(i + 1) / static_cast<float>(frames);
        const float gain = hold == 1 ? 1.0f - step : step;
        out[2 * i] *= gain;
        out[2 * i + 1] *= gain;
      }
      int fadingIn = 3;
      if (hold == 1) {
        hold_.store(2);
      } else {
        hold_.compare_exchange_strong(fadingIn, 0);  // unless a switch asked for a fade-out meanwhile
      }
    }
    if (offline_) {
      for (auto& voice : voices_) voice->WakeDecoder();
    }
  }
  tapBusy_.store(true);
  if (MixTap* tap = tap_.load()) tap->Push(out, frames);
  tapBusy_.store(false);
}

}  // namespace marvane
