// Engine benchmark. Makes eight different 60-second 44.1 kHz stereo MP3 files with the ffmpeg command-line
// tool, then prints, as `name: value unit` lines:
//   decode_only_x_realtime  the eight files only decoded (in-process, no resampling, no mixing), one core
//   engine_x_realtime       the eight files playing at once in the engine, mixed offline, one core
//   engine_vs_decode_ratio  the first over the second
//   engine_peak_rss_mb      the process's peak resident memory
//   callback_p99_us, callback_max_us, callback_period_us
//                           eight players through the real-time callback path at 256 frames and 48 kHz (the
//                           decoders resample the 44.1 kHz files)
//   callback_128_p99_us     the same at 128 frames
//   underruns_128_<n>s      output underruns of a real-time run of the eight players for n seconds at 128 frames
//                           through the real PortAudio output into the null sink of a private PulseAudio daemon
//                           (skipped, with a message, where PulseAudio is missing)
// "Times real time" is seconds of mixed output per second of wall time: one second of eight players is one
// second, however many files are in it.
//
// Usage: bench_engine [seconds of each callback run, default 10] [seconds of the underrun run, default 60]

#include "support/benchutil.h"

#include <sched.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "audio/audioengine.h"
#include "audio/ffmpegdecoder.h"
#include "audio/mediaplayer.h"
#include "audio/nulloutput.h"
#include "audio/offlineoutput.h"
#include "audio/portaudiooutput.h"
#include "support/testenv.h"

namespace {

using marvane::bench::Print;

constexpr int kFiles = 8;
constexpr double kSeconds = 60.0;

bool MakeSong(const QString& path, int index) {
  // A chord over pink noise: dense enough that the encoder spends real bits, different in every file.
  const QString tones = QStringLiteral("0.2*sin(2*PI*%1*t)+0.15*sin(2*PI*%2*t)+0.1*sin(2*PI*%3*t)")
                            .arg(110 + 20 * index)
                            .arg(165 + 30 * index)
                            .arg(330 + 45 * index);
  QProcess ffmpeg;
  ffmpeg.start(QStringLiteral("ffmpeg"),
               {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                QStringLiteral("-nostdin"), QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"),
                QStringLiteral("-i"),
                QStringLiteral("aevalsrc=%1|%1:s=44100:d=%2").arg(tones).arg(kSeconds),
                QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                QStringLiteral("anoisesrc=c=pink:a=0.1:r=44100:d=%1:seed=%2").arg(kSeconds).arg(index + 1),
                QStringLiteral("-filter_complex"), QStringLiteral("[0][1]amix=inputs=2:normalize=0[a]"),
                QStringLiteral("-map"), QStringLiteral("[a]"), QStringLiteral("-ac"), QStringLiteral("2"),
                QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-b:a"),
                QStringLiteral("192k"), path});
  return ffmpeg.waitForFinished(300000) && ffmpeg.exitCode() == 0;
}

void PinToOneCore(bool pin) {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (pin) {
    CPU_SET(0, &set);
  } else {
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) CPU_SET(cpu, &set);
  }
  sched_setaffinity(0, sizeof set, &set);
}

bool WaitOpen(marvane::MediaPlayer& player) {
  QElapsedTimer timer;
  timer.start();
  while (player.OpenState() == marvane::kOpening && timer.elapsed() < 30000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
  }
  return player.OpenState() == marvane::kOpen;
}

bool OpenAll(marvane::AudioEngine& engine, const std::vector<QString>& files) {
  for (int slot = 0; slot < kFiles; ++slot) {
    marvane::MediaPlayer* player = engine.PlayerAt(slot);
    player->SetAutoStart(false);
    player->Open(files[static_cast<std::size_t>(slot)]);
  }
  for (int slot = 0; slot < kFiles; ++slot) {
    if (!WaitOpen(*engine.PlayerAt(slot))) return false;
  }
  return true;
}

double DecodeOnly(const std::vector<QString>& files) {
  std::vector<float> buffer(4096 * 2);
  QElapsedTimer timer;
  timer.start();
  for (const QString& file : files) {
    QString error;
    std::unique_ptr<marvane::FfmpegDecoder> decoder = marvane::FfmpegDecoder::Open(file, 44100, &error);
    if (decoder == nullptr) return 0.0;
    while (decoder->Read(buffer.data(), 4096) > 0) {
    }
  }
  return kSeconds / (static_cast<double>(timer.nsecsElapsed()) / 1e9);
}

double EngineOffline(const std::vector<QString>& files) {
  auto output = std::make_unique<marvane::OfflineOutput>(44100, 1024);
  marvane::OfflineOutput* offline = output.get();
  marvane::AudioEngine engine(std::move(output));
  if (!OpenAll(engine, files)) return 0.0;
  // Let every decoder fill its queue, as it would while a file waits to be played.
  QThread::msleep(200);
  std::vector<float> buffer(8192 * 2);
  const int total = static_cast<int>(kSeconds * 44100);
  QElapsedTimer timer;
  timer.start();
  for (int slot = 0; slot < kFiles; ++slot) engine.PlayerAt(slot)->Play();
  for (int done = 0; done < total; done += 8192) offline->PullInto(buffer.data(), std::min(8192, total - done));
  return kSeconds / (static_cast<double>(timer.nsecsElapsed()) / 1e9);
}

std::vector<std::int64_t> CallbackTimes(const std::vector<QString>& files, double seconds, int frames) {
  auto output = std::make_unique<marvane::NullOutput>(48000, frames);
  marvane::NullOutput* null = output.get();
  null->RecordCallbackTimes(static_cast<std::size_t>(seconds * 48000 / frames) + 1000);
  std::vector<std::int64_t> times;
  {
    marvane::AudioEngine engine(std::move(output));
    if (!OpenAll(engine, files)) return {};
    QThread::msleep(200);
    for (int slot = 0; slot < kFiles; ++slot) engine.PlayerAt(slot)->Play();
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < seconds * 1000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    null->Stop();
    times = null->CallbackTimes();
  }
  // The first callbacks ran before the players started; they are part of the path too and stay in.
  return times;
}

std::int64_t P99(std::vector<std::int64_t> times) {
  std::sort(times.begin(), times.end());
  return times.empty() ? 0 : times[std::min(times.size() - 1, times.size() * 99 / 100)];
}

// The eight players for `seconds` in real time through the default PortAudio device, which reaches a private
// PulseAudio daemon's null sink, at 128 frames a callback. Prints the underruns the engine counted.
void UnderrunRun(const std::vector<QString>& files, double seconds) {
  if (const QString missing = marvane::test::PrivatePulse::Missing(); !missing.isEmpty()) {
    std::fprintf(stderr, "bench_engine: underrun run skipped, %s\n", qPrintable(missing));
    return;
  }
  marvane::test::PrivatePulse pulse;
  QString error;
  std::unique_ptr<marvane::AudioOutput> device =
      pulse.Ready() ? marvane::PortAudioOutput::OpenDefault(128, &error) : nullptr;
  if (device == nullptr) {
    std::fprintf(stderr, "bench_engine: underrun run skipped, no PulseAudio output (%s)\n", qPrintable(error));
    return;
  }
  marvane::AudioEngine engine(std::move(device));
  if (!OpenAll(engine, files)) return;
  for (int slot = 0; slot < kFiles; ++slot) engine.PlayerAt(slot)->Play();
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < seconds * 1000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  std::printf("underruns_128_%.0fs: %lld count\n", seconds, static_cast<long long>(engine.Underruns()));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const double callbackSeconds = argc > 1 ? std::max(1.0, std::atof(argv[1])) : 10.0;
  const double underrunSeconds = argc > 2 ? std::max(1.0, std::atof(argv[2])) : 60.0;
  QTemporaryDir dir;
  if (!dir.isValid()) return 1;
  std::vector<QString> files;
  for (int i = 0; i < kFiles; ++i) {
    files.push_back(QDir(dir.path()).filePath(QStringLiteral("song%1.mp3").arg(i)));
    if (!MakeSong(files.back(), i)) {
      std::fprintf(stderr, "the ffmpeg command-line tool could not make the test songs\n");
      return 1;
    }
  }

  // Other programs share the machine, so each figure is the best of three runs, the two kinds taking turns so
  // that a burst of load elsewhere does not fall on one kind only.
  PinToOneCore(true);
  DecodeOnly(files);  // warm the file cache and the code
  double decode = 0.0;
  double engine = 0.0;
  for (int round = 0; round < 3; ++round) {
    decode = std::max(decode, DecodeOnly(files));
    engine = std::max(engine, EngineOffline(files));
  }
  PinToOneCore(false);
  Print("engine_x_realtime", engine, "x");
  Print("decode_only_x_realtime", decode, "x");
  Print("engine_vs_decode_ratio", decode > 0 ? engine / decode : 0.0, "ratio");

  std::vector<std::int64_t> times = CallbackTimes(files, callbackSeconds, 256);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  Print("engine_peak_rss_mb", static_cast<double>(usage.ru_maxrss) / 1024.0, "MB");
  if (times.empty()) return 1;
  Print("callback_p99_us", static_cast<double>(P99(times)) / 1000.0, "us");
  Print("callback_max_us", static_cast<double>(*std::max_element(times.begin(), times.end())) / 1000.0, "us");
  Print("callback_period_us", 256.0 * 1e6 / 48000.0, "us");
  times = CallbackTimes(files, callbackSeconds, 128);
  if (times.empty()) return 1;
  Print("callback_128_p99_us", static_cast<double>(P99(times)) / 1000.0, "us");
  UnderrunRun(files, underrunSeconds);
  return 0;
}
