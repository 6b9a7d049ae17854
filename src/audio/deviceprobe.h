#pragma once
// Where the engine lets go of a lost sound device and looks for it again: a thread of its own closes the dead
// device (a broken device or a vanished sound server may take its time to let go) and then tries to open it
// again at a fixed interval, so that neither the UI thread nor the audio callback ever waits for a device.
//
// Threads: every member on the UI thread; the probing runs on the probe's own thread, started on first use.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/audiooutput.h"

namespace marvane {

class DeviceProbe {
 public:
  using Opener = std::function<std::unique_ptr<AudioOutput>()>;

  explicit DeviceProbe(std::chrono::milliseconds interval) : interval_(interval) {}
  // Stops probing and closes whatever the probe still holds.
  ~DeviceProbe();
  DeviceProbe(const DeviceProbe&) = delete;
  DeviceProbe& operator=(const DeviceProbe&) = delete;

  // Closes `output` on the probe's thread (it must no longer be pulling: see AudioOutput::Abandon).
  void Dispose(std::unique_ptr<AudioOutput> output);
  // Tries `open` once every interval, the first time one interval from now, until it gives an output. It replaces
  // any search before it, and what that found and was not taken is closed (an empty `open` only stops searching).
  void Search(Opener open);
  // The output found since Search, once; null while none was found.
  std::unique_ptr<AudioOutput> TakeFound();

 private:
  void Run();

  const std::chrono::milliseconds interval_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<std::unique_ptr<AudioOutput>> disposals_;
  Opener open_;
  std::chrono::steady_clock::time_point nextTry_;
  std::unique_ptr<AudioOutput> found_;
  std::uint64_t search_ = 0;  // counts the searches, so a try that outlived its search gives nothing
  bool quit_ = false;
  std::thread thread_;
};

}  // namespace marvane
