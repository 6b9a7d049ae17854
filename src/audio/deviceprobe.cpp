#include "audio/deviceprobe.h"

namespace marvane {

DeviceProbe::~DeviceProbe() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void DeviceProbe::Dispose(std::unique_ptr<AudioOutput> output) {
  if (output == nullptr) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    disposals_.push_back(std::move(output));
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
  }
  wake_.notify_one();
}

void DeviceProbe::Search(Opener open) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++search_;
    if (found_ != nullptr) disposals_.push_back(std::move(found_));
    open_ = std::move(open);
    nextTry_ = std::chrono::steady_clock::now() + interval_;
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
  }
  wake_.notify_one();
}

std::unique_ptr<AudioOutput> DeviceProbe::TakeFound() {
  std::lock_guard<std::mutex> lock(mutex_);
  return std::move(found_);
}

void DeviceProbe::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!quit_) {
    if (!disposals_.empty()) {
      // Closed before the next try: a sound library may only look for devices afresh once the old one is gone.
      std::vector<std::unique_ptr<AudioOutput>> closing = std::move(disposals_);
      disposals_.clear();
      lock.unlock();
      closing.clear();
      lock.lock();
      continue;
    }
    if (open_ && found_ == nullptr && std::chrono::steady_clock::now() >= nextTry_) {
      const Opener open = open_;
      const std::uint64_t search = search_;
      lock.unlock();
      std::unique_ptr<AudioOutput> output = open();
      lock.lock();
      nextTry_ = std::chrono::steady_clock::now() + interval_;
      if (output != nullptr && search != search_) {
        disposals_.push_back(std::move(output));
      } else if (output != nullptr) {
        found_ = std::move(output);
        open_ = nullptr;
      }
      continue;
    }
    if (open_ && found_ == nullptr) {
      wake_.wait_until(lock, nextTry_);
    } else {
      wake_.wait(lock);
    }
  }
  // What is left is closed here, on this thread, like everything the probe let go of.
  std::vector<std::unique_ptr<AudioOutput>> closing = std::move(disposals_);
  std::unique_ptr<AudioOutput> found = std::move(found_);
  lock.unlock();
}

}  // namespace marvane
