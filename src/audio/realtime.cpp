#include "audio/realtime.h"

#include <pa_linux_alsa.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

namespace marvane {
namespace {

// The callback thread runs at priority 1, the lowest real-time one: above every ordinary thread of every program,
// below the system's own real-time work (interrupt threads, a real-time sound server).
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

// The one line on standard error that says what became of the callback's priority: true for the first to say it.
bool FirstToSay() {
  static std::atomic<bool> said{false};
  return !said.exchange(true);
}

// Why this process may not raise threads itself, worked out once; empty when it may.
const std::string& SelfRefusal() {
  static const std::string refusal = RealtimeRefusal();
  return refusal;
}

QByteArray ThreadName(pid_t thread) {
  QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(thread));
  return comm.open(QIODevice::ReadOnly) ? comm.readAll().trimmed() : QByteArray();
}

bool IsRealtime(pid_t thread) {
  const int policy = sched_getscheduler(thread) & ~SCHED_RESET_ON_FORK;
  return policy == SCHED_FIFO || policy == SCHED_RR;
}

// The sound server's client library (libpulse, under ALSA's pulse plugin) carries the mix to the server on a thread
// of its own, named "threaded-ml": the callback hands each block over, and that thread writes it to the server's
// socket and passes on the server's requests for more. It is raised along with the callback, or it would still wait
// behind every ordinary thread.
std::vector<pid_t> SoundServerThreads() {
  std::vector<pid_t> threads = ThreadIds();
  std::erase_if(threads, [](pid_t thread) { return ThreadName(thread) != "threaded-ml"; });
  return threads;
}

void RaiseSoundServerThreads() {
  for (const pid_t thread : SoundServerThreads()) {
    sched_param param{};
    param.sched_priority = kCallbackPriority;
    sched_setscheduler(thread, SCHED_FIFO, &param);
  }
}

// The kernel's answer to a thread rtkit raised that ran past the soft RLIMIT_RTTIME without sleeping (a device that
// never makes the callback wait, or a machine too loaded to keep up): SIGXCPU, to that very thread. It goes back to
// ordinary scheduling before the hard limit, where the kernel would end the whole program.
void BackToNormalPriority(int) {
  const sched_param param{};
  sched_setscheduler(0, SCHED_OTHER | SCHED_RESET_ON_FORK, &param);  // rtkit's flag stays: clearing it takes privilege
  static constexpr char kSaid[] = "audio: the sound callback ran too long without a pause: back to normal priority\n";
  [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, kSaid, sizeof kSaid - 1);
}

// rtkit's conversation, one at a time: its limits are read and RLIMIT_RTTIME set once per process.
class Rtkit {
 public:
  // Empty when rtkit made `thread` real-time, else why not.
  QString MakeRealtime(pid_t thread) {
    if (refusal_.isEmpty() && !ready_) Prepare();
    if (!refusal_.isEmpty()) return refusal_;
    QDBusMessage call = Message(QStringLiteral("org.freedesktop.RealtimeKit1"), QStringLiteral("MakeThreadRealtime"));
    call << quint64(thread) << quint32(kCallbackPriority);
    return Failure(bus_.call(call, QDBus::Block, kTimeoutMs));
  }

 private:
  static constexpr int kTimeoutMs = 1000;

  static QDBusMessage Message(const QString& interface, const QString& method) {
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.RealtimeKit1"),
                                          QStringLiteral("/org/freedesktop/RealtimeKit1"), interface, method);
  }
  static QString Failure(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ErrorMessage) return {};
    return reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
  }

  // A property of rtkit's, or an invalid value with the reason in refusal_.
  QVariant Property(const char* name) {
    QDBusMessage get = Message(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.freedesktop.RealtimeKit1") << QString::fromLatin1(name);
    const QDBusMessage reply = bus_.call(get, QDBus::Block, kTimeoutMs);
    refusal_ = Failure(reply);
    return refusal_.isEmpty() ? reply.arguments().value(0).value<QDBusVariant>().variant() : QVariant();
  }

  // rtkit serves only a process whose real-time threads may not run longer than RTTimeUSecMax without sleeping
  // (beyond it the kernel ends the process), and hands out priorities up to MaxRealtimePriority. Half that time is
  // the soft limit, past which a thread returns to ordinary scheduling.
  void Prepare() {
    if (!bus_.isConnected()) {
      refusal_ = QStringLiteral("no system bus: ") + bus_.lastError().message();
      return;
    }
    const QVariant priority = Property("MaxRealtimePriority");
    if (!priority.isValid()) return;
    if (priority.toInt() < kCallbackPriority) {
      refusal_ = QStringLiteral("it allows priorities up to %1 only").arg(priority.toInt());
      return;
    }
    const QVariant usec = Property("RTTimeUSecMax");
    if (!usec.isValid()) return;
    rlimit limit{};
    getrlimit(RLIMIT_RTTIME, &limit);
    const rlim_t most = static_cast<rlim_t>(std::max<qlonglong>(usec.toLongLong(), 1));
    limit.rlim_max = std::min(limit.rlim_max, most);
    limit.rlim_cur = std::min(limit.rlim_cur, limit.rlim_max / 2);
    struct sigaction action{};
    action.sa_handler = &BackToNormalPriority;
    if (setrlimit(RLIMIT_RTTIME, &limit) != 0 || sigaction(SIGXCPU, &action, nullptr) != 0) {
      refusal_ = QStringLiteral("RLIMIT_RTTIME not set: ") + QString::fromLocal8Bit(std::strerror(errno));
      return;
    }
    ready_ = true;
  }

  QDBusConnection bus_ = QDBusConnection::systemBus();
  bool ready_ = false;
  QString refusal_;  // why rtkit will not serve this process at all
};

}  // namespace

bool EnableRealtimeCallback(PaStream* stream, const PaHostApiInfo* host) {
  const std::string& refusal = SelfRefusal();
  const bool alsa = host != nullptr && host->type == paALSA;
  // PortAudio's ALSA host takes this for any stream; it must only ever see its own.
  if (alsa && refusal.empty()) {
    PaAlsa_EnableRealtimeScheduling(stream, 1);
    RaiseSoundServerThreads();
  }
  if (alsa && !refusal.empty()) return true;
  if (!FirstToSay()) return false;
  if (!alsa) {
    std::fprintf(stderr, "audio: the sound callback's priority is left to %s\n", host ? host->name : "its host");
  } else {
    std::fprintf(stderr, "audio: real-time priority %d (SCHED_FIFO) for the sound callback\n", kCallbackPriority);
  }
  return false;
}

std::vector<pid_t> ThreadIds() {
  std::vector<pid_t> threads;
  for (const QString& task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
    threads.push_back(task.toInt());
  return threads;
}

pid_t NewUnnamedThread(const std::vector<pid_t>& before) {
  // A thread nobody named carries the name of the process's first thread.
  const QByteArray unnamed = ThreadName(getpid());
  pid_t found = 0;
  for (const pid_t thread : ThreadIds()) {
    if (std::find(before.begin(), before.end(), thread) != before.end() || ThreadName(thread) != unnamed) continue;
    if (found != 0) return 0;
    found = thread;
  }
  return found;
}

void RaiseThroughRtkit(pid_t callbackThread) {
  static std::mutex lock;
  static Rtkit* rtkit = nullptr;  // made on first use and kept: the program's one connection to the system bus
  std::lock_guard<std::mutex> hold(lock);
  if (rtkit == nullptr) rtkit = new Rtkit;
  const QString refused = callbackThread != 0 ? rtkit->MakeRealtime(callbackThread)
                                              : QStringLiteral("the callback thread was not found");
  for (const pid_t thread : SoundServerThreads())
    if (!IsRealtime(thread)) rtkit->MakeRealtime(thread);
  if (!FirstToSay()) return;
  if (refused.isEmpty()) {
    // rtkit hands out SCHED_RR unless told otherwise: alone at its priority, a thread runs as under SCHED_FIFO.
    const bool roundRobin = (sched_getscheduler(callbackThread) & ~SCHED_RESET_ON_FORK) == SCHED_RR;
    std::fprintf(stderr, "audio: real-time priority %d (%s, through rtkit) for the sound callback\n", kCallbackPriority,
                 roundRobin ? "SCHED_RR" : "SCHED_FIFO");
  } else {
    std::fprintf(stderr,
                 "audio: normal priority for the sound callback (real-time scheduling refused: %s; rtkit: %s)\n",
                 SelfRefusal().c_str(), refused.toLocal8Bit().constData());
  }
}

void LowerDecoderThread() {
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kDecoderNice);
}

}  // namespace marvane
