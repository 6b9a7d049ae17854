// Playlist and song-log figures on lists of 100,000 entries: loading and saving each kind, one SmartRandom
// choice with a full PlayedList, and one song-log write into a log of 100,000 entries. Every entry is a real
// file, so the choice pays for its existence check. Times are medians; the raw read and the raw atomic write of
// files of the same size are printed as baselines measured in the same run.
//
// Prints "name: value unit" lines.

#include "common/atomicfile.h"
#include "playlist/nextsongchooser.h"
#include "playlist/playlistfile.h"
#include "songlog/songlog.h"

#include "support/benchutil.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <QDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

#include <time.h>
#include <vector>

namespace {

using marvane::bench::Median;
using marvane::bench::Print;
using marvane::bench::ThreadCpuMs;

using namespace marvane;

constexpr int kEntries = 100000;
constexpr int kLineFormatEntries = 30000;
constexpr int kPathLength = 60;
constexpr int kRuns = 5;
constexpr int kChoices = 2000;
constexpr qint16 kNoRep = 300;

struct Timing {
  double wallMs;
  double cpuMs;
};

// Medians of wall time and of this thread's processor time. The machines this runs on are shared, so the
// processor time tells the program's own cost apart from time spent waiting for a core.
Timing Median(int runs, const std::function<void()>& work) {
  std::vector<double> walls;
  std::vector<double> cpus;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer timer;
    const double cpuStart = ThreadCpuMs();
    timer.start();
    work();
    walls.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    cpus.push_back(ThreadCpuMs() - cpuStart);
  }
  std::sort(walls.begin(), walls.end());
  std::sort(cpus.begin(), cpus.end());
  return {walls[walls.size() / 2], cpus[cpus.size() / 2]};
}

void Print(const std::string& name, const Timing& timing) {
  Print((name + "_ms").c_str(), timing.wallMs, "ms");
  Print((name + "_cpu_ms").c_str(), timing.cpuMs, "ms");
}

class BenchHost final : public NextSongHost {
 public:
  bool AutoPilotOn() const override { return true; }
  void SetAutoPilotOn(bool) override {}
  bool AutoPilotLoop() const override { return true; }
  bool SmartRandom() const override { return true; }
  qint16 NoRep() const override { return kNoRep; }
  void ShowNextSong(const QString&) override {}
};

class SilentDialogs final : public Dialogs {
 public:
  MessageResult Message(const QString&, MessageButtons, MessageIcon, const QString&) override {
    return MessageResult::Ok;
  }
  std::optional<QString> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
};

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A log of count entries, as the program writes it.
QByteArray LogBytes(int count) {
  QByteArray bytes = "[Total]\nEntries=" + QByteArray::number(count) + "\n[Songs]\n";
  for (int i = 1; i <= count; ++i) {
    const QByteArray n = QByteArray::number(i);
    bytes += n + " File=Artist " + n + " - Some Title\n" + n + " Date=05.12.26\n" + n + " Time=17:05:09\n";
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  if (!dir.isValid()) return 1;
  const QString folder = dir.path() + QLatin1Char('/');
  const QString songs = folder + QStringLiteral("s/");
  QDir().mkpath(songs);

  // Entries of exactly 60 characters, each a real (empty) file.
  Playlist list;
  const int padding = kPathLength - static_cast<int>(songs.size()) - 4 - 7;
  if (padding < 0) return 1;
  for (int i = 0; i < kEntries; ++i) {
    const QString path = songs + QStringLiteral("%1").arg(i, 7, 10, QLatin1Char('0')) +
                         QString(padding, QLatin1Char('x')) + QStringLiteral(".mp3");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    list.ListItems << path;
  }
  list.ListItemCount = kEntries;

  // The line format cannot save 100,000 entries, so the file to load is made directly.
  QByteArray m3u;
  for (const QString& entry : list.ListItems) m3u += entry.toUtf8() + "\r\n";
  const QString m3uPath = folder + QStringLiteral("big.m3u");
  WriteFileAtomically(m3uPath, m3u);

  Print("baseline_read_100k_lines", Median(kRuns, [&] { ReadAll(m3uPath); }));
  Print("m3u_load_100k", Median(kRuns, [&] {
          Playlist loaded;
          LoadPlaylist(loaded, folder, QStringLiteral("big.m3u"), true);
          if (loaded.ListItems.size() != kEntries) std::printf("m3u load gave %lld entries\n",
                                                               static_cast<long long>(loaded.ListItems.size()));
        }));

  Print("pls_save_100k", Median(kRuns, [&] {
          QFile::remove(folder + QStringLiteral("big.pls"));
          SavePlaylist(list, folder, QStringLiteral("big.pls"));
        }));
  Print("pls_save_over_existing_100k",
        Median(kRuns, [&] { SavePlaylist(list, folder, QStringLiteral("big.pls")); }));
  Print("pls_load_100k", Median(kRuns, [&] {
          Playlist loaded;
          LoadPlaylist(loaded, folder, QStringLiteral("big.pls"), true);
          if (loaded.ListItems != list.ListItems) std::printf("pls load differs\n");
        }));

  Playlist shorter;
  shorter.ListItems = list.ListItems.mid(0, kLineFormatEntries);
  Print("m3u_save_30k",
        Median(kRuns, [&] { SavePlaylist(shorter, folder, QStringLiteral("short.m3u")); }));

  // SmartRandom with NoRep 300 and PlayedList full: every choice is put in front of PlayedList, as AutoPilot
  // does when the song starts.
  for (int i = 0; i < kNoRep; ++i) list.PlayedList << list.ListItems[i * 7];
  BenchHost host;
  SilentDialogs dialogs;
  QRandomGenerator random(20261205);
  NextSongChooser chooser(list, host, dialogs, random);
  std::vector<double> choiceUs;
  for (int i = 0; i < kChoices; ++i) {
    QElapsedTimer timer;
    timer.start();
    chooser.ChooseNextSong();
    choiceUs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e3);
    list.PlayedList.prepend(chooser.NextFile());
  }
  std::sort(choiceUs.begin(), choiceUs.end());
  Print("choose_smartrandom_100k_us", choiceUs[choiceUs.size() / 2], "us");
  Print("choose_smartrandom_100k_max_us", choiceUs.back(), "us");

  // One LogTimer write into a log of 100,000 entries. The first write of a run reads and parses the log; later
  // ones reuse the parsed file.
  const QString logPath = folder + QStringLiteral("songs.log");
  const QByteArray logBytes = LogBytes(kEntries);
  WriteFileAtomically(logPath, logBytes);
  Print("baseline_atomic_write_log", Median(kRuns, [&] {
          WriteFileAtomically(folder + QStringLiteral("copy.log"), logBytes);
        }));
  SongLogOptions options;
  options.Logging = true;
  options.LogFile = logPath;
  SongLog log([&options] { return options; });
  const auto writeOne = [&log] {
    log.LogSong(QStringLiteral("/music/Artist - Title.mp3"), true);
    log.LogTimer_Timer();
  };
  // The first request of a run starts reading the log on a worker thread; the write comes 500 ms later.
  log.LogSong(QStringLiteral("/music/Artist - Title.mp3"), true);
  QThread::msleep(SongLog::kLogTimerInterval);
  Print("log_first_write_at_100k", Median(1, [&log] { log.LogTimer_Timer(); }));
  Print("log_write_at_100k", Median(9, writeOne));
  if (log.LogCount() != kEntries + 10) std::printf("log count %d\n", log.LogCount());
  std::printf("log_size_bytes: %lld bytes\n", static_cast<long long>(QFile(logPath).size()));
  return 0;
}
