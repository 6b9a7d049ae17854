#include "audio/mediaplayer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "audio/gain.h"
#include "audio/playervoice.h"
#include "common/clock.h"

namespace marvane {
namespace {

// How often a polled player, while it opens or plays, looks for what its decoder and the callback found: the end
// of an open and the end of the file reach the console within this.
constexpr int kPollMilliseconds = 10;

}  // namespace

MediaPlayer::MediaPlayer(PlayerVoice* voice, Clock& clock, QObject* parent)
    : QObject(parent), voice_(voice), poll_(clock.CreateTimer(this)) {
  poll_->setInterval(kPollMilliseconds);
  connect(poll_, &ClockTimer::timeout, this, &MediaPlayer::Poll);
  ApplyGain();
}

MediaPlayer::~MediaPlayer() = default;

void MediaPlayer::SetPolled(bool polled) {
  polled_ = polled;
  UpdatePolling();
}

void MediaPlayer::UpdatePolling() {
  const bool needed = polled_ && (openState_ == kOpening || playState_ == kPlaying);
  if (needed && !poll_->isActive()) {
    poll_->start();
  } else if (!needed && poll_->isActive()) {
    poll_->stop();
  }
}

void MediaPlayer::ChangeOpenState(OpenStateCode state) {
  const int old = openState_;
  if (old == state) return;
  openState_ = state;
  UpdatePolling();
  Q_EMIT OpenStateChange(old, state);
}

void MediaPlayer::ChangePlayState(PlayStateCode state) {
  const int old = playState_;
  if (old == state) return;
  playState_ = state;
  UpdatePolling();
  Q_EMIT PlayStateChange(old, state);
}

void MediaPlayer::Open(const QString& file) {
  fileName_ = file;
  if (playState_ == kPlaying) {
    voice_->SetPlaying(false);
    ChangePlayState(kStopped);
  }
  if (openState_ != kClosed) {
    voice_->RequestClose();
    duration_ = 0.0;
    openToken_ = 0;
    ChangeOpenState(kClosed);
  }
  // A handler of the events above may have opened something else already.
  if (file.isEmpty() || fileName_ != file || openState_ != kClosed) return;
  lastError_.clear();
  seekTarget_ = 0.0;
  openToken_ = voice_->RequestOpen(file);
  ChangeOpenState(kOpening);
}

void MediaPlayer::OpenFinished(std::uint32_t token, bool ok, double duration, const QString& error) {
  if (token != openToken_ || openState_ != kOpening) return;
  if (!ok) {
    lastError_ = error;
    openToken_ = 0;
    ChangeOpenState(kClosed);
    return;
  }
  duration_ = duration;
  ChangeOpenState(kOpen);
  if (autoStart_ && openToken_ == token) Play();
}

void MediaPlayer::Play() {
  if (openState_ != kOpen || playState_ == kPlaying) return;
  if (wakeOutput) wakeOutput();
  voice_->SetPlaying(true);
  ChangePlayState(kPlaying);
}

void MediaPlayer::Stop() {
  if (playState_ != kPlaying) return;
  const bool ended = voice_->HasEnded();
  voice_->SetPlaying(false);
  if (ended) {
    // The file ended a moment ago and the event has not gone out yet: it rewinds as the end would have.
    voice_->RequestSeek(0.0);
    seekTarget_ = 0.0;
  }
  ChangePlayState(kStopped);
}

void MediaPlayer::FinishOpen(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  PlayerVoice::OpenResult result;
  while (openState_ == kOpening) {
    if (voice_->TakeOpenResult(&result)) {
      OpenFinished(result.token, result.ok, result.duration, result.error);
      continue;
    }
    if (std::chrono::steady_clock::now() > deadline) return;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
}

void MediaPlayer::Poll() {
  PlayerVoice::OpenResult result;
  if (openState_ == kOpening && voice_->TakeOpenResult(&result))
    OpenFinished(result.token, result.ok, result.duration, result.error);
  if (playState_ != kPlaying || !voice_->HasEnded()) return;
  voice_->SetPlaying(false);
  voice_->RequestSeek(0.0);
  seekTarget_ = 0.0;
  ChangePlayState(kStopped);
}

double MediaPlayer::CurrentPosition() const {
  if (openState_ != kOpen) return 0.0;
  double seconds = 0.0;
  if (voice_->Position(&seconds)) return std::min(seconds, duration_ > 0.0 ? duration_ : seconds);
  return seekTarget_;
}

void MediaPlayer::SetCurrentPosition(double seconds) {
  if (openState_ == kClosed) return;
  seconds = std::max(0.0, seconds);
  if (openState_ == kOpen && duration_ > 0.0) seconds = std::min(seconds, duration_);
  seekTarget_ = seconds;
  voice_->RequestSeek(seconds);
}

void MediaPlayer::ChangeOutputRate(int rate) {
  const double seconds = CurrentPosition();
  if (openState_ == kOpen) seekTarget_ = seconds;
  voice_->ChangeRate(rate, seconds);
}

void MediaPlayer::SetPlayCount(int count) {
  playCount_ = count;
  voice_->SetPlayCount(count);
}

void MediaPlayer::SetVolume(int hundredthsDb) {
  volume_ = std::clamp(hundredthsDb, kMinVolume, kMaxVolume);
  ApplyGain();
}

void MediaPlayer::SetBalance(int hundredthsDb) {
  balance_ = std::clamp(hundredthsDb, kMinBalance, kMaxBalance);
  ApplyGain();
}

void MediaPlayer::SetVolumeAndBalance(int volume, int balance) {
  volume_ = std::clamp(volume, kMinVolume, kMaxVolume);
  balance_ = std::clamp(balance, kMinBalance, kMaxBalance);
  ApplyGain();
}

void MediaPlayer::SetTrim(double db) {
  if (db == trimDb_) return;
  trimDb_ = db;
  ApplyGain();
}

void MediaPlayer::ApplyGain() {
  StereoGain gain = VolumeBalanceToGain(volume_, balance_);
  const auto trim = static_cast<float>(std::pow(10.0, trimDb_ / 20.0));
  gain.left *= trim;
  gain.right *= trim;
  voice_->SetGain(gain);
}

}  // namespace marvane
