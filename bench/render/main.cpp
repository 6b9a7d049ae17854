// Offline render benchmark: `marvane --render` of a set of ten 60-second MP3s (tones of different pitches, made
// with the ffmpeg tool, 192 kb/s) with 5-second overlaps, on one processor core (the program and its decoder
// threads are pinned to the first core it may use). Prints, as `name: value unit` lines:
//   render_x_realtime     seconds of set rendered per second of wall time (the target is above 50)
//   render_duration_s     the length of the rendered file
//   render_expected_s     the songs' length less the overlaps (the hand-overs come on main-timer ticks, 300 ms
//                         apart, so each overlap may be up to one tick shorter)
//   render_wall_s         wall time of the render itself (making the MP3s is not counted)

#include "support/benchutil.h"

#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include "app/offlinerender.h"

namespace {

constexpr int kSongs = 10;
constexpr int kSongSeconds = 60;
constexpr int kFadeSeconds = 5;

bool MakeMp3(const QString& path, int hz) {
  const pid_t pid = fork();
  if (pid == 0) {
    const QByteArray source =
        QStringLiteral("sine=frequency=%1:sample_rate=44100:duration=%2").arg(hz).arg(kSongSeconds).toUtf8();
    const QByteArray target = path.toLocal8Bit();
    execlp("ffmpeg", "ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", source.constData(), "-ac", "2", "-c:a",
           "libmp3lame", "-b:a", "192k", target.constData(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir dir;
  QStringList list;
  for (int i = 0; i < kSongs; ++i) {
    const QString mp3 = dir.filePath(QStringLiteral("song%1.mp3").arg(i));
    if (!MakeMp3(mp3, 220 + 55 * i)) {
      std::fprintf(stderr, "bench_render: the ffmpeg tool could not make %s\n", qPrintable(mp3));
      return 1;
    }
    list << mp3;
  }
  QFile m3u(dir.filePath(QStringLiteral("set.m3u")));
  if (!m3u.open(QIODevice::WriteOnly) || m3u.write(list.join(QLatin1Char('\n')).toUtf8()) < 0) return 1;
  m3u.close();

  // One core, before any thread of the engine exists.
  cpu_set_t cpus;
  CPU_ZERO(&cpus);
  if (sched_getaffinity(0, sizeof(cpus), &cpus) == 0) {
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
      if (!CPU_ISSET(cpu, &cpus)) continue;
      CPU_ZERO(&cpus);
      CPU_SET(cpu, &cpus);
      sched_setaffinity(0, sizeof(cpus), &cpus);
      break;
    }
  }
  // Private settings and data folders: the render reads FadeSeconds from nowhere real, and writes nothing.
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
    qputenv(name, (dir.path() + QLatin1Char('/') + QLatin1String(name)).toUtf8());
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  marvane::RenderRequest request{m3u.fileName(), dir.filePath(QStringLiteral("set.wav")), kFadeSeconds};
  marvane::RenderResult result;
  QElapsedTimer wall;
  wall.start();
  FILE* progress = std::fopen("/dev/null", "w");
  const int code = marvane::RunRender(request, progress != nullptr ? progress : stderr, stderr, &result);
  const double wallSeconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
  if (progress != nullptr) std::fclose(progress);
  if (code != 0) return code;
  marvane::bench::Print("render_x_realtime", result.seconds / wallSeconds, "x");
  marvane::bench::Print("render_duration_s", result.seconds, "s");
  marvane::bench::Print("render_expected_s", kSongs * kSongSeconds - (kSongs - 1) * kFadeSeconds, "s");
  marvane::bench::Print("render_wall_s", wallSeconds, "s");
  return 0;
}
