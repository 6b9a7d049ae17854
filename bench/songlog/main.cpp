// Song-log window figures on a log of 100,000 entries, with the real windows on Qt's offscreen platform. Prints
// "name: value unit" lines:
//   viewer_refresh_100k_ms  opening the log viewer until its list holds every entry (median of the runs)
//   export_100k_ms          pressing Create in the export window until the text file is written (median)
//   ui_max_stall_ms         the longest time the windows' thread spent away from its event loop during both, seen
//                           as the longest gap between the ticks of a 1 ms probe timer, less its interval
//   ui_max_busy_cpu_ms      the most processor time that thread used between two ticks: its own work in the
//                           longest stall, without the time it waited for a core on a busy machine
//   read_file_ms            baseline: reading the log's bytes
//   parse_file_ms           baseline: reading and parsing the log with the profile-file engine
//
// Usage: bench_songlog [runs, default 5]

#include "common/dialogs.h"
#include "settings/profilefile.h"
#include "settings/settingsstore.h"
#include "songlog/output.h"
#include "songlog/songlog.h"
#include "songlog/songlogmodel.h"
#include "songlog/view.h"

#include "support/benchutil.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using marvane::bench::Median;
using marvane::bench::Print;
using marvane::bench::ThreadCpuMs;

using namespace marvane;

constexpr int kEntries = 100000;

// Every question is answered Yes or OK; no file dialog is asked for.
class AnsweringDialogs final : public Dialogs {
 public:
  MessageResult Message(const QString&, MessageButtons buttons, MessageIcon, const QString&) override {
    return buttons == MessageButtons::YesNo ? MessageResult::Yes : MessageResult::Ok;
  }
  std::optional<QString> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
};

double Ms(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

QByteArray LogBytes() {
  QByteArray bytes = "[Total]\r\nEntries=" + QByteArray::number(kEntries) + "\r\n[Songs]\r\n";
  for (int n = 1; n <= kEntries; ++n) {
    const QByteArray number = QByteArray::number(n);
    bytes += number + " File=Artist " + QByteArray::number(n % 977) + " - The Song Number " + number + "\r\n" +
             number + " Date=05/12/26\r\n" + number + " Time=" + QByteArray::number(10 + n % 14) + ":" +
             QByteArray::number(10 + n % 50) + ":" + QByteArray::number(10 + n % 49) + "\r\n";
  }
  return bytes;
}

// Runs the event loop until done() holds.
template <typename Done>
void RunUntil(Done done) {
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  poll.start(1);
  loop.exec();
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  QTemporaryDir dir;
  const QString logFile = dir.filePath(QStringLiteral("songs.log"));
  {
    QFile file(logFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(LogBytes()) < 0) return 1;
  }
  SettingsStore settings(dir.filePath(QStringLiteral("Marvane.ini")));
  AnsweringDialogs dialogs;
  SongLog log([&logFile] { return SongLogOptions{true, true, false, logFile}; });

  std::vector<double> readMs;
  std::vector<double> parseMs;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer timer;
    timer.start();
    QFile file(logFile);
    if (!file.open(QIODevice::ReadOnly) || file.readAll().isEmpty()) return 1;
    readMs.push_back(Ms(timer));
    timer.start();
    if (ProfileFile::Load(logFile).Keys(QStringLiteral("Songs")).size() != 3 * kEntries) return 1;
    parseMs.push_back(Ms(timer));
  }

  // The probe: a 1 ms timer whose late ticks show the thread away from its event loop.
  // The processor time the thread used in the same gaps tells its own work apart from waiting for a core on a
  // shared machine.
  QElapsedTimer sinceTick;
  double cpuAtTick = ThreadCpuMs();
  double maxStall = 0;
  double maxBusy = 0;
  QTimer probe;
  probe.setTimerType(Qt::PreciseTimer);
  QObject::connect(&probe, &QTimer::timeout, [&] {
    maxStall = std::max(maxStall, Ms(sinceTick) - probe.interval());
    const double cpu = ThreadCpuMs();
    maxBusy = std::max(maxBusy, cpu - cpuAtTick);
    cpuAtTick = cpu;
    sinceTick.start();
  });
  sinceTick.start();
  probe.start(1);

  std::vector<double> refreshMs;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer timer;
    timer.start();
    auto* view = new View(settings, dialogs, log);
    view->Load();
    RunUntil([view] { return !view->Loading(); });
    refreshMs.push_back(Ms(timer));
    if (view->Model()->rowCount() != kEntries) return 1;
    view->close();
    RunUntil([] { return true; });
  }

  auto* view = new View(settings, dialogs, log);
  view->Load();
  RunUntil([view] { return !view->Loading(); });
  std::vector<double> exportMs;
  const QString textFile = dir.filePath(QStringLiteral("night.txt"));
  for (int i = 0; i < runs; ++i) {
    QFile::remove(textFile);
    view->Command3()->click();
    Output* output = nullptr;
    for (Output* child : view->findChildren<Output*>())
      if (child->isVisible()) output = child;
    if (output == nullptr) return 1;
    output->Text1()->setText(textFile);
    bool written = false;
    QObject::connect(output, &Output::Created, [&written](bool ok) { written = ok; });
    QElapsedTimer timer;
    timer.start();
    output->Command2()->click();
    RunUntil([output] { return !output->Busy(); });
    exportMs.push_back(Ms(timer));
    if (!written || QFile(textFile).size() < kEntries * 30) return 1;
  }
  probe.stop();
  view->close();
  RunUntil([] { return true; });

  Print("viewer_refresh_100k_ms", Median(refreshMs), "ms");
  Print("export_100k_ms", Median(exportMs), "ms");
  Print("ui_max_stall_ms", maxStall, "ms");
  Print("ui_max_busy_cpu_ms", maxBusy, "ms");
  Print("read_file_ms", Median(readMs), "ms");
  Print("parse_file_ms", Median(parseMs), "ms");
  return 0;
}
