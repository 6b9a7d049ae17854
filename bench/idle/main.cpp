// Idle benchmark: the real program (bin/marvane of this build) as the user starts it, on the real sound output:
// PortAudio through ALSA's pulse plugin into the null sink of a private PulseAudio daemon, on Qt's offscreen
// platform and a private session bus. Prints, as `name: value unit` lines:
//   startup_to_window_ms      from starting the program to its main window shown, the median of five starts after
//                             one to warm the caches. The program takes its name on the session bus
//                             (org.mpris.MediaPlayer2.marvane) right after it shows the window; the bench watches
//                             the bus for it
//   idle_cpu_percent          user + system time of the program over wall time, in percent of one core, with
//                             nothing loaded, after the start has settled
//   idle_rss_mb               its resident memory then
//   play_one_mp3_cpu_percent  the same while line 1 plays an MP3 (the program opens and plays a sound file given on
//                             its command line)
//   play_to_first_sample_ms   in this process, the engine on the same PortAudio output: from the Play call to the
//                             first callback block holding a non-zero sample of the file, the median of ten plays,
//                             each after a Stop
//   output_latency_ms         beside it, the latency PulseAudio reports for that stream (buffer and sink)
// Without PulseAudio, its tools or ALSA's pulse plugin, or without dbus-daemon, the bench says so and skips.
//
// Usage: bench_idle [seconds per run, default 10]. MARVANE_PROGRAM names another build of the program to measure.

#include "support/benchutil.h"

#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "audio/portaudiooutput.h"
#include "support/testenv.h"

namespace {

using marvane::bench::Median;
using marvane::bench::Print;
using marvane::test::FinishProgram;
using marvane::test::StartProgram;
using marvane::test::WaitFor;

const QString kBusName = QStringLiteral("org.mpris.MediaPlayer2.marvane");

std::int64_t NowNs() { return std::chrono::steady_clock::now().time_since_epoch().count(); }

// User + system time of a process so far, in seconds.
double ProcessCpuSeconds(pid_t pid) {
  QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!file.open(QIODevice::ReadOnly)) return 0.0;
  const QByteArray stat = file.readAll();
  // The fields after the command's name (which may hold spaces) end with ')'; utime and stime are the 12th and
  // 13th of them.
  const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
  if (fields.size() < 13) return 0.0;
  return static_cast<double>(fields[11].toLongLong() + fields[12].toLongLong()) / sysconf(_SC_CLK_TCK);
}

double ResidentMb(pid_t pid) {
  QFile file(QStringLiteral("/proc/%1/status").arg(pid));
  if (!file.open(QIODevice::ReadOnly)) return 0.0;
  const QRegularExpressionMatch rss = QRegularExpression(QStringLiteral("VmRSS:\\s+(\\d+) kB")).match(QString::fromLatin1(file.readAll()));
  return rss.hasMatch() ? rss.captured(1).toDouble() / 1024.0 : 0.0;
}

// Percent of one core the process used over `seconds` of wall time.
double CpuPercent(pid_t pid, double seconds) {
  const double before = ProcessCpuSeconds(pid);
  QElapsedTimer wall;
  wall.start();
  WaitFor([&] { return wall.elapsed() >= seconds * 1000; }, static_cast<int>(seconds * 1000) + 1000);
  return 100.0 * (ProcessCpuSeconds(pid) - before) / (static_cast<double>(wall.nsecsElapsed()) / 1e9);
}

// A private session bus; its address, or empty when none started.
QString StartBus(const QString& dir, pid_t* pid) {
  const QString addressFile = QDir(dir).filePath(QStringLiteral("bus-address"));
  *pid = StartProgram({QStringLiteral("dbus-daemon"), QStringLiteral("--session"), QStringLiteral("--nofork"),
                       QStringLiteral("--print-address")},
                      addressFile);
  QString address;
  WaitFor([&] {
    address = QString::fromUtf8(marvane::test::ReadBytes(addressFile)).trimmed();
    return !address.isEmpty();
  }, 5000);
  return address;
}

// One start of the program with `arguments`: the time until its window showed (ms, or -1), and its process.
struct Started {
  double windowMs = -1.0;
  pid_t pid = -1;
};

Started StartMarvane(QDBusConnection& bus, const QStringList& arguments) {
  QDBusServiceWatcher watcher(kBusName, bus, QDBusServiceWatcher::WatchForRegistration);
  std::int64_t shown = 0;
  QObject::connect(&watcher, &QDBusServiceWatcher::serviceRegistered, [&shown] { shown = NowNs(); });
  Started started;
  const std::int64_t begin = NowNs();
  const QString program = qEnvironmentVariable("MARVANE_PROGRAM", QStringLiteral(MARVANE_BINARY));
  started.pid = StartProgram(QStringList{program} + arguments);
  if (started.pid > 0 && WaitFor([&] { return shown != 0; }, 20000))
    started.windowMs = static_cast<double>(shown - begin) / 1e6;
  return started;
}

// Asks the program to quit through its media-player interface, and waits for it.
void QuitMarvane(QDBusConnection& bus, pid_t pid) {
  bus.call(QDBusMessage::createMethodCall(kBusName, QStringLiteral("/org/mpris/MediaPlayer2"),
                                          QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Quit")),
           QDBus::Block, 5000);
  if (FinishProgram(pid, 10000) < 0) std::fprintf(stderr, "bench_idle: the program did not quit; killed\n");
}

// Passes the engine's mix to the real output and notes when a block first holds sound after being armed.
class Tap : public marvane::AudioOutput, private marvane::AudioSource {
 public:
  explicit Tap(std::unique_ptr<marvane::AudioOutput> device) : device_(std::move(device)) {}
  int SampleRate() const override { return device_->SampleRate(); }
  int BufferFrames() const override { return device_->BufferFrames(); }
  bool Start(marvane::AudioSource* source, QString* error) override {
    source_ = source;
    return device_->Start(this, error);
  }
  void Stop() override { device_->Stop(); }
  QString Description() const override { return device_->Description(); }
  void Arm() {
    heard_.store(0);
    armed_.store(true);
  }
  std::int64_t Heard() const { return heard_.load(); }

 private:
  void Render(float* out, int frames) noexcept override {
    source_->Render(out, frames);
    if (!armed_.load(std::memory_order_relaxed)) return;
    if (std::any_of(out, out + frames * 2, [](float sample) { return sample != 0.0f; })) {
      heard_.store(NowNs());
      armed_.store(false);
    }
  }
  std::unique_ptr<marvane::AudioOutput> device_;
  marvane::AudioSource* source_ = nullptr;
  std::atomic<bool> armed_{false};
  std::atomic<std::int64_t> heard_{0};
};

// The latency PulseAudio reports for the one playing stream, buffer plus sink, in milliseconds.
double StreamLatencyMs(const marvane::test::PrivatePulse& pulse) {
  const QString inputs = pulse.Pactl({QStringLiteral("list"), QStringLiteral("sink-inputs")});
  double total = 0.0;
  for (const char* kind : {"Buffer Latency", "Sink Latency"}) {
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("%1: (\\d+) usec").arg(QLatin1String(kind))).match(inputs);
    if (match.hasMatch()) total += match.captured(1).toDouble() / 1000.0;
  }
  return total;
}

void PlayToFirstSample(const QString& song, const marvane::test::PrivatePulse& pulse) {
  QString error;
  std::unique_ptr<marvane::AudioOutput> device =
      marvane::PortAudioOutput::OpenDefault(marvane::PortAudioOutput::kDefaultBufferFrames, &error);
  if (device == nullptr) {
    std::fprintf(stderr, "bench_idle: the PortAudio output did not open (%s)\n", qPrintable(error));
    return;
  }
  auto tapOwned = std::make_unique<Tap>(std::move(device));
  Tap* tap = tapOwned.get();
  marvane::AudioEngine engine(std::move(tapOwned));
  marvane::MediaPlayer& player = engine.Player(1);
  player.SetAutoStart(false);
  player.Open(song);
  if (!WaitFor([&] { return player.OpenState() == marvane::kOpen; }, 10000)) return;
  std::vector<double> delays;
  double latency = 0.0;
  for (int round = 0; round < 10; ++round) {
    WaitFor([] { return false; }, 300);  // the decoder refills, the Stop's tail has gone out
    tap->Arm();
    const std::int64_t play = NowNs();
    player.Play();
    if (WaitFor([&] { return tap->Heard() != 0; }, 2000)) delays.push_back(static_cast<double>(tap->Heard() - play) / 1e6);
    WaitFor([] { return false; }, 200);
    if (round == 0) latency = StreamLatencyMs(pulse);
    player.Stop();
  }
  Print("play_to_first_sample_ms", Median(delays), "ms");
  Print("output_latency_ms", latency, "ms");
}

bool MakeSong(const QString& path) {
  const pid_t ffmpeg = StartProgram(
      {QStringLiteral("ffmpeg"), QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
       QStringLiteral("-nostdin"), QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
       QStringLiteral("-i"), QStringLiteral("anoisesrc=c=pink:a=0.2:r=44100:d=120"), QStringLiteral("-ac"),
       QStringLiteral("2"), QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-b:a"),
       QStringLiteral("192k"), path});
  return FinishProgram(ffmpeg, 120000) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const double seconds = argc > 1 ? std::max(1.0, std::atof(argv[1])) : 10.0;
  QString missing = marvane::test::PrivatePulse::Missing();
  if (missing.isEmpty() && QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
    missing = QStringLiteral("dbus-daemon is not installed (package dbus)");
  if (!missing.isEmpty()) {
    std::fprintf(stderr, "bench_idle: skipped, %s\n", qPrintable(missing));
    return 0;
  }
  QTemporaryDir dir;
  const QString song = QDir(dir.path()).filePath(QStringLiteral("song.mp3"));
  if (!dir.isValid() || !MakeSong(song)) {
    std::fprintf(stderr, "bench_idle: the ffmpeg command-line tool could not make the song\n");
    return 1;
  }
  // The program's own folders, with its first-run import already done.
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
    const QString folder = QDir(dir.path()).filePath(QLatin1String(name));
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv(name, folder.toUtf8());
  }
  QDir().mkpath(QDir(dir.path()).filePath(QStringLiteral("XDG_CONFIG_HOME/Marvane")));
  marvane::test::WriteBytes(QDir(dir.path()).filePath(QStringLiteral("XDG_CONFIG_HOME/Marvane/Marvane.ini")),
                            "[1.40]\nFirst Run=False\n");
  qputenv("QT_QPA_PLATFORM", "offscreen");

  marvane::test::PrivatePulse pulse;
  pid_t busPid = -1;
  const QString address = StartBus(dir.path(), &busPid);
  if (!pulse.Ready() || address.isEmpty()) {
    std::fprintf(stderr, "bench_idle: skipped, %s did not start\n", pulse.Ready() ? "dbus-daemon" : "PulseAudio");
    if (busPid > 0) kill(busPid, SIGTERM);
    return 0;
  }
  qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
  QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("bench"));

  std::vector<double> starts;
  for (int run = 0; run < 6; ++run) {
    const Started started = StartMarvane(bus, {});
    if (run > 0 && started.windowMs >= 0) starts.push_back(started.windowMs);
    if (run < 5) {
      QuitMarvane(bus, started.pid);
      continue;
    }
    WaitFor([] { return false; }, 2000);  // let the start settle
    Print("idle_cpu_percent", CpuPercent(started.pid, seconds), "%");
    Print("idle_rss_mb", ResidentMb(started.pid), "MB");
    QuitMarvane(bus, started.pid);
  }
  Print("startup_to_window_ms", Median(starts), "ms");

  const Started playing = StartMarvane(bus, {song});
  WaitFor([] { return false; }, 2000);
  Print("play_one_mp3_cpu_percent", CpuPercent(playing.pid, seconds), "%");
  QuitMarvane(bus, playing.pid);

  PlayToFirstSample(song, pulse);
  kill(busPid, SIGTERM);
  FinishProgram(busPid, 5000);
  return 0;
}
