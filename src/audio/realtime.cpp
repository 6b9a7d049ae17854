#include "audio/realtime.h"

#include <pa_linux_alsa.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

namespace marvane {
namespace {

// PortAudio's ALSA host raises its callback thread to priority 1, the lowest real-time one: above every ordinary
// thread of every program, below the system's own real-time work (interrupt threads, a real-time sound server).
constexpr int kCallbackPriority = 1;
// Nice 5 gives a decoder about a third of the processor time of an ordinary thread that competes with it, far more
// than it needs to keep its queue full.
constexpr int kDecoderNice = 5;

// Empty when a thread of this process may run under SCHED_FIFO at kCallbackPriority, else why it may not. Tried
// on a short-lived thread of its own, so that no thread of the program changes: PortAudio treats a refusal it did
// not expect as a failure to start the stream.
std::string RealtimeRefusal() {
  int error = 0;
  std::thread probe([&error] {
    sched_param param{};
    param.sched_priority = kCallbackPriority;
    error = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
  });
  probe.join();
  if (error == 0) return {};
  rlimit limit{};
  getrlimit(RLIMIT_RTPRIO, &limit);
  return std::string(std::strerror(error)) + ", RLIMIT_RTPRIO " +
         (limit.rlim_cur == RLIM_INFINITY ? std::string("unlimited") : std::to_string(limit.rlim_cur));
}

// The sound server's client library (libpulse, under ALSA's pulse plugin) carries the mix to the server on a thread
// of its own, named "threaded-ml": the callback hands each block over, and that thread writes it to the server's
// socket and passes on the server's requests for more. It is raised along with the callback, or it would still wait
// behind every ordinary thread.
void RaiseSoundServerThreads() {
  QDir tasks(QStringLiteral("/proc/self/task"));
  for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
    if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != "threaded-ml") continue;
    sched_param param{};
    param.sched_priority = kCallbackPriority;
    sched_setscheduler(task.toInt(), SCHED_FIFO, &param);
  }
}

}  // namespace

void EnableRealtimeCallback(PaStream* stream, const PaHostApiInfo* host) {
  static const std::string refusal = RealtimeRefusal();
  const bool alsa = host != nullptr && host->type == paALSA;
  // PortAudio's ALSA host takes this for any stream; it must only ever see its own.
  if (alsa && refusal.empty()) {
    PaAlsa_EnableRealtimeScheduling(stream, 1);
    RaiseSoundServerThreads();
  }
  static std::once_flag said;
  std::call_once(said, [&] {
    if (!alsa) {
      std::fprintf(stderr, "audio: the sound callback's priority is left to %s\n", host ? host->name : "its host");
    } else if (refusal.empty()) {
      std::fprintf(stderr, "audio: real-time priority %d (SCHED_FIFO) for the sound callback\n", kCallbackPriority);
    } else {
      std::fprintf(stderr, "audio: normal priority for the sound callback (real-time scheduling refused: %s)\n",
                   refusal.c_str());
    }
  });
}

void LowerDecoderThread() {
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kDecoderNice);
}

}  // namespace marvane
