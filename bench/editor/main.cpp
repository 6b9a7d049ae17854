// Playlist Editor figures with the real window on Qt's offscreen platform. Prints "name: value unit" lines:
//   refresh_100k_ms                   Refresh1 of a list of 100,000 entries (median of the runs)
//   add_all_10k_files_ms              Add All over a folder of 10,000 sound files (median)
//   remove_selected_half_of_100k_ms   Remove Selected of the first 50,000 of 100,000 rows (median)
//   open_100k_ms                      Open of a ".m3u" of 100,000 entries, with the list rebuilt (median)
//   list_folder_10k_ms                showing the folder of 10,000 files in File1 (median)
//   ui_max_stall_ms                   the longest time the window's thread spent away from its event loop during
//                                     the refresh, Add All, Remove Selected and the folder listing, seen as the
//                                     longest gap between the ticks of a 1 ms probe timer, less its interval
//   ui_max_busy_cpu_ms                the most processor time that thread used between two ticks (same span)
//   open_stall_ms                     the same longest gap while the Open of 100,000 entries ran
//   load_playlist_100k_ms             baseline: LoadPlaylist of the same ".m3u" with no window
//
// Usage: bench_editor [runs, default 5]

#include "common/dialogs.h"
#include "playlist/listeditor.h"
#include "playlist/playlistfile.h"
#include "playlist/playlistmodel.h"
#include "settings/settingkeys.h"
#include "settings/settingsstore.h"

#include "support/benchutil.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <QTimer>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

using marvane::bench::Median;
using marvane::bench::Print;
using marvane::bench::ThreadCpuMs;

using namespace marvane;

constexpr int kEntries = 100000;
constexpr int kFiles = 10000;

// Questions are answered No; the open dialog gives the file set in open.
class AnsweringDialogs final : public Dialogs {
 public:
  QString open;
  MessageResult Message(const QString&, MessageButtons buttons, MessageIcon, const QString&) override {
    return buttons == MessageButtons::Ok ? MessageResult::Ok : MessageResult::No;
  }
  std::optional<QString> OpenFile(const FileDialogRequest&) override { return open; }
  std::optional<QString> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
};

double Ms(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

// Runs work from the event loop, as a click would, lets the window paint afterwards, and returns the time the
// work took.
double FromEventLoop(const std::function<void()>& work) {
  double took = 0;
  QEventLoop loop;
  QTimer::singleShot(0, &loop, [&] {
    QElapsedTimer timer;
    timer.start();
    work();
    took = Ms(timer);
    QTimer::singleShot(50, &loop, &QEventLoop::quit);
  });
  loop.exec();
  return took;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  QTemporaryDir dir;
  const QString songs = dir.filePath(QStringLiteral("songs"));
  const QString empty = dir.filePath(QStringLiteral("empty"));
  QDir().mkpath(songs);
  QDir().mkpath(empty);
  for (int i = 0; i < kFiles; ++i) {
    QFile file(QStringLiteral("%1/Artist %2 - Song %3.mp3").arg(songs).arg(i % 97).arg(i, 5, 10, QLatin1Char('0')));
    if (!file.open(QIODevice::WriteOnly)) return 1;
  }
  const QString listFile = dir.filePath(QStringLiteral("big.m3u"));
  {
    QByteArray bytes;
    for (int i = 0; i < kEntries; ++i) bytes += "/music/Artist " + QByteArray::number(i % 97) + "/Song " +
                                                QByteArray::number(i) + ".mp3\r\n";
    QFile file(listFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0) return 1;
  }
  SettingsStore settings(dir.filePath(QStringLiteral("Marvane.ini")));
  settings.WriteSetting(keys::kSongPath, empty);
  AnsweringDialogs dialogs;
  dialogs.open = listFile;

  std::vector<double> loadMs;
  Playlist big;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer timer;
    timer.start();
    if (!LoadPlaylist(big, dir.path() + QLatin1Char('/'), QStringLiteral("big.m3u"), true)) return 1;
    loadMs.push_back(Ms(timer));
  }

  QElapsedTimer sinceTick;
  double cpuAtTick = ThreadCpuMs();
  double maxStall = 0;
  double maxBusy = 0;
  double openStall = 0;
  bool opening = false;
  QTimer probe;
  probe.setTimerType(Qt::PreciseTimer);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    double& stall = opening ? openStall : maxStall;
    stall = std::max(stall, Ms(sinceTick) - probe.interval());
    const double cpu = ThreadCpuMs();
    if (!opening) maxBusy = std::max(maxBusy, cpu - cpuAtTick);
    cpuAtTick = cpu;
    sinceTick.start();
  });

  Playlist playlist;
  auto* editor = new ListEditor(playlist, settings, dialogs);
  editor->resize(900, 600);
  editor->Load();
  FromEventLoop([] {});
  sinceTick.start();
  probe.start(1);

  std::vector<double> refreshMs, addAllMs, removeMs, openMs, folderMs;
  for (int i = 0; i < runs; ++i) {
    playlist.ListItems = big.ListItems;
    refreshMs.push_back(FromEventLoop([&] { editor->Refresh1(); }));
    if (editor->Model()->rowCount() != kEntries) return 1;

    removeMs.push_back(FromEventLoop([&] {
      PlaylistModel* model = editor->Model();
      editor->List1()->selectionModel()->select(QItemSelection(model->index(0), model->index(kEntries / 2 - 1)),
                                                QItemSelectionModel::ClearAndSelect);
      editor->RemSel_Click();
    }));
    if (playlist.ListItems.size() != kEntries / 2) return 1;

    FromEventLoop([&] { editor->RemAll_Click(); });
    folderMs.push_back(FromEventLoop([&] { editor->SetFolder(songs); }));
    if (editor->Files().size() != kFiles) return 1;
    addAllMs.push_back(FromEventLoop([&] { editor->AddAll_Click(); }));
    if (playlist.ListItems.size() != kFiles) return 1;
    FromEventLoop([&] { editor->SetFolder(empty); });

    opening = true;
    openMs.push_back(FromEventLoop([&] { editor->OpenButt_Click(); }));
    opening = false;
    if (editor->Model()->rowCount() != kEntries) return 1;
  }
  probe.stop();
  editor->close();
  FromEventLoop([] {});

  Print("refresh_100k_ms", Median(refreshMs), "ms");
  Print("add_all_10k_files_ms", Median(addAllMs), "ms");
  Print("remove_selected_half_of_100k_ms", Median(removeMs), "ms");
  Print("open_100k_ms", Median(openMs), "ms");
  Print("list_folder_10k_ms", Median(folderMs), "ms");
  Print("ui_max_stall_ms", maxStall, "ms");
  Print("ui_max_busy_cpu_ms", maxBusy, "ms");
  Print("open_stall_ms", openStall, "ms");
  Print("load_playlist_100k_ms", Median(loadMs), "ms");
  return 0;
}
